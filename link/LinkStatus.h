#pragma once

#include "link/LinkPacket.h"
#include "link/RequestSender.h"

#include <QByteArray>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace korva {

// Link states, shared by the UI thread, the receiver thread and the transfer thread.
enum LinkStateValue : std::int32_t {
    LinkNeverConnected = 0,
    LinkConnecting = 1,
    LinkIdentified = 2,
    LinkSettingClock = 3,
    LinkPolling = 5,
    LinkResettingJobCount = 6,
    LinkSendingFile = 7,
    LinkFileSent = 8,
    LinkFetchingTools = 9,
    LinkToolsFetched = 10,
};

// Outcome of the last file transfer.
enum TransferResultValue : std::int32_t {
    TransferNone = 0,
    TransferNoResponse = 1,
    TransferNoUsbDrive = 2,
    TransferStartFailed = 3,
    TransferCanceledOnController = 4,
    TransferWriteFailed = 5,
};

inline constexpr int WatchdogReloadMs = 10000;
inline constexpr int MaxToolNumber = 118;

// The controller data decoded from identity and status replies. Written by the receiver thread under
// the data lock; readers take a copy under the same lock (LinkShared::DecodedSnapshot).
struct DecodedStatus {
    bool IsK8 = false;
    std::int32_t SerialNumber = 0;
    float CoreVersion = 0.0f;
    QByteArray SoftwareName;
    std::uint8_t MachineState = 0;
    std::uint8_t AlarmCode = LinkPacket::NoAlarm; // nothing reports an alarm before the first status reply
    QByteArray ControllerFileName;
    std::int32_t JobProgress = 0;
    bool ToolChangeRequest = false;
    std::int32_t JobTimeSeconds = 0;
    std::int32_t JobCount = 0;
};

// The link's shared record. Single values that several threads touch are atomic; the decoded
// controller data sits in `Decoded` under the data lock; the status panel's remembered values are
// touched by the UI thread only. Never cleared as a whole: a new connection overwrites the fields
// as its replies arrive.
struct KORVA_Status_Structure {
    std::atomic<std::int32_t> LinkState{LinkNeverConnected};
    std::atomic<std::int32_t> ConnectionWatchdog{0};

    DecodedStatus Decoded; // guarded by LinkShared::dataLock

    // Display caches of the status panel (UI thread only). 255 means: draw again on the next refresh.
    std::uint8_t ShownMachineState = 0;
    std::int32_t ShownJobProgress = 0;
    bool ToolChangeShown = false;
    std::int32_t ShownJobTime = 0;
    std::int32_t ShownJobCount = 0;

    std::atomic<std::int32_t> TransferResult{TransferNone};
    std::atomic<std::int32_t> ToolCount{0}; // 32, 100 or 118; 0 before the first identity reply
    std::atomic<std::int32_t> RequestedTool{0};
    std::atomic<std::int32_t> ToolResendClock{0};
};

struct Network_Structure {
    // Set by StartConnection before the receiver thread starts; not changed while it runs.
    std::string ControllerAddress;
    std::atomic<std::int32_t> LocalPort{0};
};

// Tool names, entries 1 to 118 (entry 0 unused).
using ToolTable = std::array<QByteArray, MaxToolNumber + 1>;

using LastPacketBuffer = std::array<std::uint8_t, LinkPacket::LastPacketSize>;

// Everything the three threads share about one controller link: the status record, the network
// record, LastPacket, the tool table, the flags, the data lock and the send path. The program has
// one; tests make as many as they need.
class LinkShared {
public:
    LinkShared();

    KORVA_Status_Structure LinkStatus;
    Network_Structure Network;
    RequestSender Sender; // RequestBuffer, the send lock and TxSocket

    std::atomic<bool> ReplyFlag{false};
    std::atomic<bool> AnyPacketFlag{false};
    std::atomic<bool> ReceiverRunning{false};

    // The data lock guards LastPacket, ToolTable and LinkStatus.Decoded.
    std::mutex& DataLock() const { return dataLock_; }
    LastPacketBuffer& LastPacket() { return lastPacket_; }
    ToolTable& Tools() { return tools_; }

    // Copies taken under the data lock.
    DecodedStatus DecodedSnapshot() const;
    LastPacketBuffer LastPacketSnapshot() const;
    QByteArray ToolName(int toolNumber) const;
    void SetAllToolNames(const QByteArray& name);

private:
    mutable std::mutex dataLock_;
    LastPacketBuffer lastPacket_{};
    ToolTable tools_{};
};

} // namespace korva
