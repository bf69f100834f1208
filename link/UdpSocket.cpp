#include "link/UdpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korva {
namespace {

constexpr std::uint64_t DestinationPresent = std::uint64_t{1} << 48;

bool ParsePort(const std::string& text, std::uint16_t& networkOrder) {
    int value = -1;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > 65535)
        return false;
    networkOrder = htons(static_cast<std::uint16_t>(value));
    return true;
}

} // namespace

bool ParseIpv4(const std::string& text, std::uint32_t& networkOrder) {
    in_addr addr{};
    if (inet_pton(AF_INET, text.c_str(), &addr) != 1)
        return false;
    networkOrder = addr.s_addr;
    return true;
}

UdpSocket::UdpSocket() = default;

UdpSocket::~UdpSocket() { Close(); }

int UdpSocket::EnsureOpen() {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd >= 0)
        return fd;
    std::lock_guard lock(openLock_);
    fd = fd_.load(std::memory_order_acquire);
    if (fd >= 0)
        return fd;
    fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        lastError_ = errno;
        return -1;
    }
    // Not inherited by programs started from here: a child must not keep the receive port bound.
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
#ifdef SO_NOSIGPIPE
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
    fd_.store(fd, std::memory_order_release);
    return fd;
}

bool UdpSocket::Bind(const std::string& address, const std::string& port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    if (!ParseIpv4(address, sa.sin_addr.s_addr) || !ParsePort(port, sa.sin_port)) {
        lastError_ = EINVAL;
        return false;
    }
    const int fd = EnsureOpen();
    if (fd < 0)
        return false;
    // No SO_REUSEADDR / SO_REUSEPORT: a port that another socket holds must fail to bind.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        lastError_ = errno;
        return false;
    }
    lastError_ = 0;
    return true;
}

int UdpSocket::Receive(std::uint8_t* buffer, int capacity, int timeoutMs) {
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0) {
        lastError_ = EBADF;
        return -1;
    }
    if (capacity < 0 || (buffer == nullptr && capacity > 0)) {
        lastError_ = EINVAL;
        return -1;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int waitMs = timeoutMs < 0 ? 0 : timeoutMs;
    for (;;) {
        pollfd pfd{fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, waitMs);
        if (ready > 0)
            break;
        if (ready == 0) {
            lastError_ = ETIMEDOUT;
            return -1;
        }
        if (errno != EINTR) {
            lastError_ = errno;
            return -1;
        }
        // Interrupted by a signal: wait for the rest of the time.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        waitMs = left > 0 ? static_cast<int>(left) : 0;
    }
    sockaddr_in from{};
    iovec iov{buffer, static_cast<size_t>(capacity)};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    ssize_t got;
    do {
        got = ::recvmsg(fd, &msg, MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        lastError_ = errno;
        return -1;
    }
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    senderAddress_ = text;
    senderPort_ = ntohs(from.sin_port);
    lastError_ = 0;
    // A datagram larger than the buffer reports its size beyond the capacity so callers can drop it.
    if (msg.msg_flags & MSG_TRUNC)
        return capacity + 1;
    return static_cast<int>(got);
}

bool UdpSocket::SetDestination(const std::string& address, const std::string& port) {
    std::uint32_t a = 0;
    std::uint16_t p = 0;
    if (!ParseIpv4(address, a) || !ParsePort(port, p)) {
        lastError_ = EINVAL;
        destination_ = 0;
        return false;
    }
    if (EnsureOpen() < 0)
        return false;
    destination_ = DestinationPresent | (std::uint64_t{p} << 32) | a;
    lastError_ = 0;
    return true;
}

int UdpSocket::SendDatagram(int fd, const std::uint8_t* data, int length, std::uint32_t address,
                            std::uint16_t port) {
    if (length < 0 || (data == nullptr && length > 0)) {
        lastError_ = EINVAL;
        return -1;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = port;
    ssize_t sent;
    do {
        sent = ::sendto(fd, data, static_cast<size_t>(length), 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
    } while (sent < 0 && errno == EINTR);
    lastError_ = sent < 0 ? errno : 0;
    return static_cast<int>(sent);
}

int UdpSocket::Send(const std::uint8_t* data, int length) {
    const std::uint64_t dest = destination_.load();
    const int fd = fd_.load(std::memory_order_acquire);
    if (!(dest & DestinationPresent) || fd < 0) {
        lastError_ = EDESTADDRREQ;
        return -1;
    }
    return SendDatagram(fd, data, length, static_cast<std::uint32_t>(dest & 0xFFFFFFFFu),
                        static_cast<std::uint16_t>((dest >> 32) & 0xFFFFu));
}

int UdpSocket::SendTo(const std::uint8_t* data, int length, const std::string& address, int port) {
    std::uint32_t a = 0;
    if (!ParseIpv4(address, a) || port < 0 || port > 65535) {
        lastError_ = EINVAL;
        return -1;
    }
    const int fd = EnsureOpen();
    if (fd < 0)
        return -1;
    return SendDatagram(fd, data, length, a, htons(static_cast<std::uint16_t>(port)));
}

int UdpSocket::LocalPort() const {
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return 0;
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

void UdpSocket::Close() {
    std::lock_guard lock(openLock_);
    const int fd = fd_.exchange(-1);
    if (fd >= 0)
        ::close(fd);
    destination_ = 0;
}

} // namespace korva
