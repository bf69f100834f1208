#pragma once

#include "link/LinkPacket.h"
#include "sim/SimulatorOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>

namespace korva {
class UdpSocket;
}

namespace korva::sim {

struct DecodedRequest;
class FileSink;
class JobCycle;

// True for a dotted IPv4 address text in 127.0.0.0/8.
bool IsLoopbackAddress(const std::string& address);

// A stand-in for the controller on a loopback address: answers every request with the
// controller's reply layouts, keeps a machine status, serves a tool table and writes received
// files into a folder that plays the USB flash drive. Faults (loss, duplicates, silence, delays,
// write failures, cancels) can be switched on for tests.
//
// Replies go to the address a request came from, at the port announced by the latest Identify
// request; before any Identify nothing is answered. Datagrams with a bad CRC or a malformed
// layout are dropped. The simulator runs its own receive thread; every setter and getter may be
// called from any thread.
class ControllerSimulator {
public:
    explicit ControllerSimulator(SimulatorOptions options);
    ~ControllerSimulator(); // stops and joins
    ControllerSimulator(const ControllerSimulator&) = delete;
    ControllerSimulator& operator=(const ControllerSimulator&) = delete;

    // Binds the address and port and starts answering. Returns false with a readable error when
    // the address is not a loopback address, the port is taken or the USB folder cannot be made.
    bool Start(QString* error = nullptr);
    void Stop();
    bool IsRunning() const;
    int Port() const; // the bound port (useful with port 0); 0 before Start

    void SetAlarm(std::uint8_t code); // 255 = none
    void SetToolChangeRequest(bool pending);
    void SetMachineState(std::uint8_t state); // 2 = machining
    void SetJobProgress(int percent);
    void SetJobCount(std::int32_t count);
    void SetJobTimeSeconds(std::int32_t seconds);
    void SetControllerFileName(QByteArray name);
    void SetSilent(bool silent); // stop answering (to test the program's watchdog)
    void SetIdentity(std::int32_t serial, float coreVersion, QByteArray softwareName);
    void SetToolName(int toolNumber, QByteArray name); // 1 to 118

    int RequestCount(LinkCommand command) const; // requests received (valid CRC and layout) per command
    int AnnouncedPort() const;                   // port from the latest Identify; 0 before any
    std::int32_t JobCount() const;
    StatusReply Status() const;
    std::optional<ClockReading> LastClock() const; // fields of the latest SetClock
    int CompletedFileCount() const;
    QString LastCompletedFile() const; // path of the latest file received whole

    // One readable line per event, called from the receive thread and from setters, never from
    // two threads at once. Set it before Start.
    std::function<void(const QString&)> onEvent;

private:
    using Clock = std::chrono::steady_clock;
    struct PendingReply {
        Clock::time_point due;
        QByteArray bytes;
        std::string address;
        int port = 0;
    };

    void Run();
    void HandleDatagram(const std::uint8_t* datagram, int length, const std::string& sender, int senderPort);
    std::optional<QByteArray> Answer(const DecodedRequest& request, const std::string& sender,
                                     int senderPort);
    void SendDueReplies(Clock::time_point now);
    int MillisecondsToNextReply(Clock::time_point now, int atMost) const;
    void AdvanceJob(Clock::time_point now);
    bool Happens(double probability);
    void Emit(const QString& line);
    // Logs what the file sink reported and remembers a file it has just completed.
    void NoteFileOutcome(const QStringList& events, const QString& completedPath);

    const SimulatorOptions options_;

    mutable std::mutex mutex_; // guards the machine data below
    IdentifyReply identity_;
    StatusReply status_;
    ToolNames toolNames_;
    std::optional<ClockReading> clock_;
    QString lastCompletedFile_;

    std::mutex eventMutex_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> silent_{false};
    std::atomic<int> boundPort_{0};
    std::atomic<int> announcedPort_{0};
    std::atomic<int> completedFiles_{0};
    std::array<std::atomic<int>, 256> requestCounts_{};

    // Owned by the receive thread while it runs.
    std::unique_ptr<UdpSocket> socket_;
    std::thread thread_;
    std::mt19937 random_;
    std::deque<PendingReply> pending_;
    std::unique_ptr<FileSink> sink_;
    std::unique_ptr<JobCycle> job_;
    int requestsAnswerable_ = 0;
    bool silenceReported_ = false;
    bool noPortReported_ = false;
    std::string identifiedAddress_;
};

} // namespace korva::sim
