#pragma once

// A scripted stand-in for the controller on a loopback address: it records every request that
// reaches its port 65535 and answers through a responder the test gives it, so a test can count
// requests and send exactly the replies (or faults) it needs.

#include "link/LinkPacket.h"
#include "link/UdpSocket.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korva::test {

inline const std::uint8_t* Bytes(const QByteArray& d) {
    return reinterpret_cast<const std::uint8_t*>(d.constData());
}

// A reply datagram: CRC, header bytes 3 and 0, the command and the payload from position 5.
inline QByteArray MakeReply(LinkCommand command, const QByteArray& payload = {}) {
    QByteArray d(5, '\0');
    d[2] = 3;
    d[4] = static_cast<char>(command);
    d += payload;
    StoreCrc(reinterpret_cast<std::uint8_t*>(d.data()), int(d.size()));
    return d;
}

inline QByteArray Int32Bytes(std::int32_t v) {
    QByteArray b(4, '\0');
    WriteInt32(reinterpret_cast<std::uint8_t*>(b.data()), 0, v);
    return b;
}

inline QByteArray IdentityReply(std::int32_t serial, float coreVersion, const QByteArray& name) {
    QByteArray payload = Int32Bytes(serial);
    QByteArray core(4, '\0');
    WriteFloat32(reinterpret_cast<std::uint8_t*>(core.data()), 0, coreVersion);
    payload += core;
    payload += name.left(29).leftJustified(29, '\0');
    return MakeReply(LinkCommand::Identify, payload);
}

inline QByteArray StatusReplyBytes(std::uint8_t progress, std::uint8_t machineState, std::uint8_t alarm,
                                   std::int32_t jobCount, std::uint8_t toolChange, std::int32_t jobTime,
                                   const QByteArray& fileName) {
    QByteArray payload;
    payload += char(progress);
    payload += char(machineState);
    payload += char(alarm);
    payload += Int32Bytes(jobCount);
    payload += char(toolChange);
    payload += Int32Bytes(jobTime);
    payload += fileName.left(33).leftJustified(33, '\0');
    return MakeReply(LinkCommand::Status, payload);
}

inline QByteArray ToolNameReplyBytes(int toolNumber, const QByteArray& name) {
    QByteArray payload;
    payload += char(toolNumber);
    payload += name.left(33).leftJustified(33, '\0');
    return MakeReply(LinkCommand::ToolName, payload);
}

inline QByteArray ToolNameFor(int n) {
    return "Tool " + QByteArray::number(n);
}

class ScriptedController {
public:
    // Replies the controller sends for one request (empty: the request goes unanswered).
    using Responder = std::function<QList<QByteArray>(const QByteArray& request)>;

    explicit ScriptedController(std::string address) : address_(std::move(address)) {
        bound_ = socket_.Bind(address_, std::to_string(LinkPacket::ControllerPort));
        if (bound_)
            thread_ = std::thread([this] { Loop(); });
    }
    ~ScriptedController() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    ScriptedController(const ScriptedController&) = delete;
    ScriptedController& operator=(const ScriptedController&) = delete;

    bool Bound() const { return bound_; }
    const std::string& Address() const { return address_; }

    void SetResponder(Responder responder) {
        std::lock_guard lock(mutex_);
        responder_ = std::move(responder);
    }

    // Where replies go when no Identify request has announced a port yet.
    void SetReplyTarget(const std::string& host, int port) {
        std::lock_guard lock(mutex_);
        replyHost_ = host;
        replyPort_ = port;
    }
    int AnnouncedPort() const {
        std::lock_guard lock(mutex_);
        return announcedPort_;
    }

    // Sends a datagram from the controller's address to the program's receive port.
    void Send(const QByteArray& datagram) {
        std::string host;
        int port = 0;
        {
            std::lock_guard lock(mutex_);
            host = replyHost_;
            port = replyPort_;
        }
        socket_.SendTo(Bytes(datagram), int(datagram.size()), host, port);
    }

    QList<QByteArray> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int Count(LinkCommand command) const {
        std::lock_guard lock(mutex_);
        return int(std::count_if(requests_.begin(), requests_.end(), [command](const QByteArray& r) {
            return r.size() > 4 && std::uint8_t(r[4]) == std::uint8_t(command);
        }));
    }
    int Total() const {
        std::lock_guard lock(mutex_);
        return int(requests_.size());
    }

    // The next request not yet taken, waiting up to timeoutMs; empty on a time-out.
    QByteArray Take(int timeoutMs = 5000) {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [this] { return taken_ < requests_.size(); }))
            return {};
        return requests_[taken_++];
    }
    // Waits until the program has sent `count` requests in all (replies may still be in flight).
    bool WaitForTotal(int count, int timeoutMs = 5000) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return requests_.size() >= count; });
    }
    // Skips every request received so far.
    void TakeAll() {
        std::lock_guard lock(mutex_);
        taken_ = requests_.size();
    }

private:
    void Loop() {
        std::vector<std::uint8_t> buffer(2048);
        while (!stop_) {
            const int got = socket_.Receive(buffer.data(), int(buffer.size()), 20);
            if (got < 0)
                continue;
            const QByteArray request(reinterpret_cast<const char*>(buffer.data()),
                                     std::min(got, int(buffer.size())));
            Responder responder;
            {
                std::lock_guard lock(mutex_);
                replyHost_ = socket_.SenderAddress();
                if (request.size() >= 9 && std::uint8_t(request[4]) == std::uint8_t(LinkCommand::Identify)) {
                    announcedPort_ = ReadInt32(Bytes(request), 5);
                    replyPort_ = announcedPort_;
                }
                requests_.push_back(request);
                responder = responder_;
            }
            arrived_.notify_all();
            if (responder)
                for (const QByteArray& reply : responder(request))
                    Send(reply);
        }
    }

    std::string address_;
    UdpSocket socket_;
    bool bound_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    QList<QByteArray> requests_;
    qsizetype taken_ = 0;
    Responder responder_;
    std::string replyHost_ = "127.0.0.1";
    int replyPort_ = 0;
    int announcedPort_ = 0;
};

} // namespace korva::test
