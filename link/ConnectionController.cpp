#include "link/ConnectionController.h"

#include "link/LinkPacket.h"
#include "link/ReceiverThread.h"

#include <QStringList>

namespace korva {
namespace {

constexpr std::uint8_t RedrawMarker = 255;

// Moves LinkState from one value to another unless another thread has changed it meanwhile.
void MoveState(std::atomic<std::int32_t>& state, std::int32_t from, std::int32_t to) {
    state.compare_exchange_strong(from, to);
}

void EnableTimer(QTimer& timer) {
    // Enabling a running timer leaves it running without restarting its interval.
    if (!timer.isActive())
        timer.start();
}

} // namespace

QString ControllerAddressText(bool useOwnNetwork, const std::array<std::uint8_t, 4>& controllerIp) {
    if (useOwnNetwork)
        return QStringLiteral("192.168.4.1");
    QStringList octets;
    for (const std::uint8_t octet : controllerIp)
        octets << QString::number(octet);
    return octets.join(QLatin1Char('.'));
}

QString MachineNameCaption(const QString& machineName) {
    return machineName.isEmpty() ? QString::fromLatin1(ConnectionLook::DefaultMachineName) : machineName;
}

ConnectionController::ConnectionController(LinkShared& link, ConnectionView& view, TickDrive drive,
                                           QObject* parent)
    : QObject(parent), link_(link), view_(view) {
    tmr_Get_KORVA_Info.setObjectName(QStringLiteral("tmr_Get_KORVA_Info"));
    tmr_Get_KORVA_Info.setInterval(UiTickPollingMs);
    tmr_Connection_Timeout.setObjectName(QStringLiteral("tmr_Connection_Timeout"));
    tmr_Connection_Timeout.setInterval(ConnectionTimeoutTickMs);
    if (drive == TickDrive::Timers) {
        connect(&tmr_Get_KORVA_Info, &QTimer::timeout, this, &ConnectionController::tmr_Get_KORVA_InfoTimer);
        connect(&tmr_Connection_Timeout, &QTimer::timeout, this,
                &ConnectionController::tmr_Connection_TimeoutTimer);
    }
}

ConnectionController::~ConnectionController() {
    tmr_Get_KORVA_Info.stop();
    tmr_Connection_Timeout.stop();
    // The transfer side stops its own thread at the window's destruction (Shutdown); here only the
    // receiver thread, which this object owns, must have ended before it is released.
    StopReceiver();
}

QString ConnectionController::ControllerAddress() const {
    return QString::fromStdString(link_.Network.ControllerAddress);
}

void ConnectionController::SetTransferStopper(std::function<void()> stopAndJoinTransfer) {
    stopTransfer_ = std::move(stopAndJoinTransfer);
}

void ConnectionController::StartConnection(bool useOwnNetwork, std::array<std::uint8_t, 4> controllerIp,
                                           QString machineName) {
    // One receiver at a time: a connection that was not ended first is ended now.
    StopReceiver();
    link_.Network.ControllerAddress = ControllerAddressText(useOwnNetwork, controllerIp).toStdString();
    machineName_ = std::move(machineName);
    receiver_ = std::make_unique<UDP_Server_Thread_Class>(link_);
    receiver_->start();
    ShowConnectingView();
}

void ConnectionController::ShowConnectingView() {
    KORVA_Status_Structure& status = link_.LinkStatus;
    if (status.LinkState.load() == LinkSendingFile)
        return;
    const QString address = ControllerAddress();
    view_.HideConnectedControls();
    view_.ShowStatusLine(QString::fromLatin1(ConnectionLook::ConnectingText),
                         ConnectionLook::ConnectingFontSize, ConnectionLook::ConnectingColour);
    view_.SetStatusBlink(true);
    view_.ShowFileLine(QString::fromLatin1(ConnectionLook::TryingToConnectPrefix) + address,
                       ConnectionLook::FileLineColour);
    view_.ApplyNarrowLayout();
    EnableTimer(tmr_Get_KORVA_Info);
    tmr_Connection_Timeout.stop();
    view_.ShowProgressRing(100);
    status.LinkState.store(LinkConnecting);
    view_.SetMachineNameCaption(MachineNameCaption(machineName_));
    link_.Sender.OpenTxSocket(link_.Network.ControllerAddress);
}

void ConnectionController::ShowConnectedView() {
    view_.ShowConnectedControls();
    view_.SetFileLineText(QString());
    link_.LinkStatus.ConnectionWatchdog.store(WatchdogReloadMs);
    EnableTimer(tmr_Connection_Timeout);
    view_.ApplyToolsPanelLayout();
}

void ConnectionController::tmr_Connection_TimeoutTimer() {
    std::atomic<std::int32_t>& watchdog = link_.LinkStatus.ConnectionWatchdog;
    std::int32_t left = watchdog.load();
    while (left > 0) {
        // A reload by the receiver thread between the read and the write is kept, not overwritten.
        if (watchdog.compare_exchange_weak(left, left - ConnectionTimeoutTickMs))
            return;
    }
    ShowConnectingView();
}

void ConnectionController::UiTick() {
    KORVA_Status_Structure& status = link_.LinkStatus;

    // Tool fetch: resend the current ToolName request after 500 ms without a reply.
    if (status.LinkState.load() == LinkFetchingTools) {
        if (status.ToolResendClock.load() >= ToolResendAfterMs) {
            status.ToolResendClock.store(0);
            SendToolName(status.RequestedTool.load());
        } else {
            status.ToolResendClock.fetch_add(tmr_Get_KORVA_Info.interval());
        }
    }

    // A transfer has just succeeded: start the "File sent" line and go back to polling.
    if (status.LinkState.load() == LinkFileSent) {
        view_.StartFileSentLine();
        MoveState(status.LinkState, LinkFileSent, LinkPolling);
    }

    // A transfer has failed: show its message once.
    for (std::int32_t code = TransferNoResponse; code <= TransferWriteFailed; ++code) {
        std::int32_t expected = code;
        if (status.TransferResult.compare_exchange_strong(expected, TransferNone))
            view_.ShowTransferOutcome(code);
    }

    // A transfer runs: only its progress is shown, nothing is sent.
    if (status.LinkState.load() == LinkSendingFile) {
        view_.ShowTransferProgress();
        SetTickInterval(UiTickTransferMs);
        return;
    }

    DoStateDuties();
}

void ConnectionController::DoStateDuties() {
    KORVA_Status_Structure& status = link_.LinkStatus;

    if (status.LinkState.load() == LinkConnecting) {
        status.ShownMachineState = RedrawMarker;
        status.ShownJobProgress = RedrawMarker;
        status.ShownJobCount = RedrawMarker;
        SendIdentify();
    }

    if (status.LinkState.load() == LinkIdentified) {
        view_.ShowIdentity(link_.DecodedSnapshot());
        view_.SetToolListCount(status.ToolCount.load());
        MoveState(status.LinkState, LinkIdentified, LinkSettingClock);
        ShowConnectedView();
    }

    if (status.LinkState.load() == LinkSettingClock)
        SendSetClock();

    if (status.LinkState.load() == LinkResettingJobCount)
        SendResetJobCount();

    if (status.LinkState.load() == LinkPolling) {
        SetTickInterval(UiTickPollingMs);
        // Two requests when the last poll was answered, one otherwise.
        if (link_.ReplyFlag.exchange(false))
            SendStatus();
        SendStatus();
        if (view_.RefreshStatus(link_))
            return; // a known alarm is shown
    }

    if (status.LinkState.load() == LinkFetchingTools)
        view_.ShowToolFetchProgress(status.RequestedTool.load(), status.ToolCount.load());

    if (status.LinkState.load() == LinkToolsFetched) {
        MoveState(status.LinkState, LinkToolsFetched, LinkPolling);
        status.ShownMachineState = RedrawMarker;
        status.ShownJobProgress = RedrawMarker;
        view_.ShowToolFetchEnd();
    }
}

void ConnectionController::Img_Get_Tools_DataClick() {
    KORVA_Status_Structure& status = link_.LinkStatus;
    const std::int32_t state = status.LinkState.load();
    if (state == LinkFetchingTools || state == LinkSendingFile)
        return;
    view_.SetFileDropsAccepted(false);
    view_.ShowStatusLine(QString::fromLatin1(ConnectionLook::GettingToolsText),
                         ConnectionLook::GettingToolsFontSize, ConnectionLook::GettingToolsColour);
    view_.SetSendAndDropPicturesVisible(false);
    SetTickInterval(UiTickToolFetchMs);
    // RequestedTool first, so that a reply arriving at once chains from tool 1.
    status.RequestedTool.store(1);
    status.LinkState.store(LinkFetchingTools);
    link_.ReplyFlag.store(false);
    SendToolName(1);
    status.ToolResendClock.store(0);
}

void ConnectionController::Img_Button_Parts_ResetClick() {
    std::atomic<std::int32_t>& state = link_.LinkStatus.LinkState;
    const std::int32_t now = state.load();
    if (now == LinkSendingFile || now == LinkFetchingTools)
        return;
    MoveState(state, now, LinkResettingJobCount);
}

void ConnectionController::Img_Button_DisconnectClick() {
    StopTransfer();
    StopReceiver();
    link_.Sender.CloseTxSocket();
    tmr_Get_KORVA_Info.stop();
    tmr_Connection_Timeout.stop();
}

void ConnectionController::Shutdown() {
    StopTransfer();
    StopReceiver();
    tmr_Get_KORVA_Info.stop();
    tmr_Connection_Timeout.stop();
}

void ConnectionController::StopTransfer() {
    if (stopTransfer_)
        stopTransfer_();
}

void ConnectionController::StopReceiver() {
    if (!receiver_)
        return;
    // Also a thread that is still binding, or that has already ended because no port was free:
    // the join then returns at once.
    receiver_->requestInterruption();
    receiver_->wait();
    receiver_.reset();
}

void ConnectionController::SetTickInterval(int ms) {
    if (tmr_Get_KORVA_Info.interval() != ms)
        tmr_Get_KORVA_Info.setInterval(ms);
}

void ConnectionController::SendIdentify() {
    const std::int32_t port = link_.Network.LocalPort.load();
    link_.ReplyFlag.store(false);
    link_.Sender.Send([port](RequestBuffer& buffer) { return BuildIdentify(buffer, port); });
}

void ConnectionController::SendSetClock() {
    const ClockReading clock = ReadLocalClock();
    link_.ReplyFlag.store(false);
    link_.Sender.Send([&clock](RequestBuffer& buffer) { return BuildSetClock(buffer, clock); });
}

void ConnectionController::SendResetJobCount() {
    link_.ReplyFlag.store(false);
    link_.Sender.Send([](RequestBuffer& buffer) { return BuildResetJobCount(buffer); });
}

void ConnectionController::SendStatus() {
    link_.Sender.Send([](RequestBuffer& buffer) { return BuildStatus(buffer); });
}

void ConnectionController::SendToolName(int toolNumber) {
    link_.Sender.Send([toolNumber](RequestBuffer& buffer) { return BuildToolName(buffer, toolNumber); });
}

} // namespace korva
