#include "link/ReceiverThread.h"

#include "link/GenerationRule.h"
#include "link/UdpSocket.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <string>

namespace korva {

UDP_Server_Thread_Class::UDP_Server_Thread_Class(LinkShared& link, ReceivePortRange ports, QObject* parent)
    : QThread(parent), link_(link), controllerAddress_(link.Network.ControllerAddress), ports_(ports) {
    setObjectName(QStringLiteral("UDP_Server_Thread_Class"));
    setStackSize(StackSize);
}

UDP_Server_Thread_Class::~UDP_Server_Thread_Class() {
    // The owner joins before releasing; this only guards against a missed join.
    requestInterruption();
    wait();
    (void)runEnded_.load(std::memory_order_acquire);
}

void UDP_Server_Thread_Class::run() {
    Run();
    runEnded_.store(true, std::memory_order_release);
}

void UDP_Server_Thread_Class::Run() {
    UdpSocket socket;
    int bound = 0;
    for (int port = ports_.first; port <= ports_.last; ++port) {
        if (socket.Bind("0.0.0.0", std::to_string(port)) && socket.LastError() == 0) {
            bound = port;
            break;
        }
    }
    if (bound == 0)
        return; // no free port: nothing is reported, ReceiverRunning stays false

    link_.Network.LocalPort.store(bound);
    link_.ReceiverRunning.store(true);
    try {
        ReceiveLoop(socket);
    } catch (...) {
        // An error that escapes the loop ends the thread like a stop request.
    }
    socket.Close();
    link_.ReceiverRunning.store(false);
}

void UDP_Server_Thread_Class::ReceiveLoop(UdpSocket& socket) {
    // A datagram that does not fit is reported longer than the buffer and dropped below.
    std::array<std::uint8_t, LinkPacket::LastPacketSize> datagram{};
    while (!isInterruptionRequested()) {
        const int length =
            socket.Receive(datagram.data(), static_cast<int>(datagram.size()), ReceiveTimeoutMs);
        if (length < 0 || socket.LastError() != 0)
            continue;
        if (socket.SenderAddress() != controllerAddress_)
            continue;
        // Too short to carry a command byte, or longer than LastPacket: dropped.
        if (length < MinDatagramLength || length > LinkPacket::LastPacketSize)
            continue;
        if (!HasValidCrc(datagram.data(), length))
            continue;
        HandleDatagram(datagram.data(), length);
    }
}

void UDP_Server_Thread_Class::HandleDatagram(const std::uint8_t* datagram, int length) {
    KORVA_Status_Structure& status = link_.LinkStatus;
    const std::uint8_t command = datagram[LinkPacket::CommandPos];
    ToolNameReply toolReply;
    {
        std::lock_guard lock(link_.DataLock());
        LastPacketBuffer& last = link_.LastPacket();
        std::copy(datagram, datagram + length, last.begin());
        // LastPacket is complete before the flag is seen.
        link_.AnyPacketFlag.store(true);

        // Fields are read at their fixed positions from LastPacket, whatever this datagram's length.
        DecodedStatus& decoded = status.Decoded;
        switch (command) {
        case static_cast<std::uint8_t>(LinkCommand::Identify): {
            const IdentifyReply id = DecodeIdentify(last.data());
            decoded.SerialNumber = id.serialNumber;
            decoded.CoreVersion = id.coreVersion;
            decoded.SoftwareName = id.softwareName;
            const ControllerGeneration generation = GenerationFor(id.serialNumber, id.softwareName);
            decoded.IsK8 = generation.isK8;
            status.ToolCount.store(generation.toolCount);
            status.LinkState.store(LinkIdentified);
            break;
        }
        case static_cast<std::uint8_t>(LinkCommand::SetClock):
        case static_cast<std::uint8_t>(LinkCommand::ResetJobCount):
            status.LinkState.store(LinkPolling);
            break;
        case static_cast<std::uint8_t>(LinkCommand::Status): {
            StatusReply reply = DecodeStatus(last.data());
            decoded.JobProgress = reply.jobProgress;
            decoded.MachineState = reply.machineState;
            decoded.AlarmCode = reply.alarmCode;
            decoded.JobCount = reply.jobCount;
            decoded.ToolChangeRequest = reply.toolChangeRequest;
            decoded.JobTimeSeconds = reply.jobTimeSeconds;
            decoded.ControllerFileName = std::move(reply.controllerFileName);
            break;
        }
        case static_cast<std::uint8_t>(LinkCommand::ToolName):
            toolReply = DecodeToolName(last.data());
            break;
        default:
            break;
        }
    }
    // The decoded fields and the state change are in place before these two.
    link_.ReplyFlag.store(true);
    status.ConnectionWatchdog.store(WatchdogReloadMs);

    // Tool-fetch chaining: only during a fetch. The next number asked for is always RequestedTool + 1,
    // whatever number the reply carried, so a duplicate or stray reply also moves the fetch on.
    if (command != static_cast<std::uint8_t>(LinkCommand::ToolName) ||
        status.LinkState.load() != LinkFetchingTools)
        return;
    status.ToolResendClock.store(0);
    if (toolReply.toolNumber >= 1 && toolReply.toolNumber <= MaxToolNumber) {
        std::lock_guard lock(link_.DataLock());
        link_.Tools()[static_cast<size_t>(toolReply.toolNumber)] = toolReply.toolName;
    }
    const int requested = status.RequestedTool.load();
    if (requested < status.ToolCount.load()) {
        const int next = requested + 1;
        status.RequestedTool.store(next);
        // Sent under the send lock only; the data lock has been released above.
        link_.ReplyFlag.store(false);
        link_.Sender.Send([next](RequestBuffer& buffer) { return BuildToolName(buffer, next); });
    } else {
        status.LinkState.store(LinkToolsFetched);
    }
}

} // namespace korva
