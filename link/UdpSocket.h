#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace korva {

// A small blocking IPv4 UDP socket over the POSIX socket API.
//
// Binding is exclusive (no address or port reuse), so a port held by another program fails to
// bind. Receive waits at most a given time. Send and SendTo may be called from several threads at
// once, also while another thread changes the destination; each datagram leaves whole.
// Receive, SenderAddress and SenderPort belong to the one thread that reads the socket. Close must
// not run while another thread is still inside Send or Receive on the same socket (the owner closes
// it once the other users have stopped). Error codes are errno values, 0 meaning success.
class UdpSocket {
public:
    UdpSocket();
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Binds to a dotted IPv4 address text ("0.0.0.0" for all local addresses) and a decimal port text.
    bool Bind(const std::string& address, const std::string& port);

    // The error code of the last operation on this socket: 0 for success.
    int LastError() const { return lastError_.load(std::memory_order_relaxed); }

    // Receives one datagram, waiting at most timeoutMs. Returns the datagram's full length, or
    // capacity + 1 when the datagram did not fit (only capacity bytes are stored, the rest is
    // discarded), or -1 on a time-out or error (LastError() is then non-zero).
    int Receive(std::uint8_t* buffer, int capacity, int timeoutMs);

    // Sender of the last datagram received, as dotted decimal text, and its port.
    std::string SenderAddress() const { return senderAddress_; }
    int SenderPort() const { return senderPort_; }

    // Sets the destination that Send uses. Returns false for an address or port text that is not
    // a dotted IPv4 address or a port number.
    bool SetDestination(const std::string& address, const std::string& port);

    // Sends one datagram to the destination; returns the bytes sent or -1.
    int Send(const std::uint8_t* data, int length);

    // Sends one datagram to the given address and port.
    int SendTo(const std::uint8_t* data, int length, const std::string& address, int port);

    // The local port this socket is bound to (0 when not bound).
    int LocalPort() const;

    bool IsOpen() const { return fd_.load(std::memory_order_acquire) >= 0; }
    void Close();

private:
    // Creates the descriptor when there is none yet; returns it, or -1 on failure.
    int EnsureOpen();
    int SendDatagram(int fd, const std::uint8_t* data, int length, std::uint32_t address, std::uint16_t port);

    std::mutex openLock_; // serialises creating and closing the descriptor
    std::atomic<int> fd_{-1};
    std::atomic<int> lastError_{0};
    std::string senderAddress_;
    int senderPort_ = 0;
    // Destination for Send, read in one piece: bit 48 set when present, bits 32-47 the port and
    // bits 0-31 the address (both in network byte order).
    std::atomic<std::uint64_t> destination_{0};
};

// Parses a dotted IPv4 address text strictly (four decimal numbers 0-255).
bool ParseIpv4(const std::string& text, std::uint32_t& networkOrder);

} // namespace korva
