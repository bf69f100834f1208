#pragma once

#include "link/LinkPacket.h"
#include "link/UdpSocket.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace korva::sim::test {

// Generous for a loaded 2-core machine and sanitizer builds.
inline constexpr int ReplyWaitMs = 3000;
// How long a test listens before it takes "no reply" for an answer.
inline constexpr int SilenceWaitMs = 300;

// One received datagram, laid into a LastPacket-sized buffer so the codec's decoders can read it.
struct Reply {
    std::array<std::uint8_t, LinkPacket::LastPacketSize> packet{};
    int length = 0;

    std::uint8_t Command() const { return packet[LinkPacket::CommandPos]; }
    const std::uint8_t* Data() const { return packet.data(); }
};

// The program's side of the link in its simplest form: one socket on a loopback address that
// sends requests built with the codec and receives the replies at its own port.
class SimTestClient {
public:
    bool Open(const std::string& address) {
        address_ = address;
        return socket_.Bind(address, "0");
    }
    int Port() const { return socket_.LocalPort(); }
    void Aim(int simulatorPort) { simulatorPort_ = simulatorPort; }

    template <typename Build> int Send(Build&& build) {
        const int lengthValue = build(buffer_);
        return SendRaw(buffer_.data(), FinishRequest(buffer_, lengthValue));
    }
    int SendRaw(const std::uint8_t* datagram, int length) {
        return socket_.SendTo(datagram, length, address_, simulatorPort_);
    }

    // The next datagram, or nothing after `timeoutMs`.
    std::optional<Reply> Receive(int timeoutMs = ReplyWaitMs) {
        QElapsedTimer clock;
        clock.start();
        Reply reply;
        for (;;) {
            const int left = timeoutMs - static_cast<int>(clock.elapsed());
            if (left < 0)
                return std::nullopt;
            const int n = socket_.Receive(reply.packet.data(), static_cast<int>(reply.packet.size()), left);
            if (n >= 0) {
                reply.length = std::min(n, static_cast<int>(reply.packet.size()));
                return reply;
            }
        }
    }

    // The next datagram with this command byte; other datagrams (late duplicates) are skipped.
    std::optional<Reply> ReceiveCommand(LinkCommand command, int timeoutMs = ReplyWaitMs) {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            const int left = timeoutMs - static_cast<int>(clock.elapsed());
            if (left < 0)
                return std::nullopt;
            std::optional<Reply> reply = Receive(left);
            if (reply && reply->Command() == static_cast<std::uint8_t>(command))
                return reply;
        }
    }

private:
    UdpSocket socket_;
    RequestBuffer buffer_{};
    std::string address_;
    int simulatorPort_ = 0;
};

} // namespace korva::sim::test
