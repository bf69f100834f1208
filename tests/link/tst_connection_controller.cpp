// The connection controller: the connecting and connected views, the order and the requests of
// each tick, the watchdog, the clicks and the disconnect. Ticks are driven by the test.
#include "link/ConnectionController.h"
#include "link/ReceiverThread.h"

#include "RecordingConnectionView.h"
#include "ReceivePortHolder.h"
#include "ScriptedController.h"

#include <QElapsedTimer>
#include <QTest>

using namespace korva;
using namespace korva::test;

namespace {

std::array<std::uint8_t, 4> Octets(const std::string& address) {
    std::array<std::uint8_t, 4> o{};
    const QStringList parts = QString::fromStdString(address).split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i)
        o[size_t(i)] = std::uint8_t(parts.value(i).toInt());
    return o;
}

// A controller driven by hand, a recording view and a scripted controller on one loopback address.
struct ControllerRig {
    explicit ControllerRig(const std::string& address)
        : peer(address), controller(link, view, ConnectionController::TickDrive::Manual) {
        link.SetAllToolNames("-");
    }
    // Starts a connection and waits until the receive port is bound.
    bool Connect(const QString& machineName = QStringLiteral("Mill One")) {
        controller.StartConnection(false, Octets(peer.Address()), machineName);
        QElapsedTimer t;
        t.start();
        while (!link.ReceiverRunning.load() && t.elapsed() < 10000)
            QTest::qWait(5);
        peer.SetReplyTarget("127.0.0.1", link.Network.LocalPort.load());
        return link.ReceiverRunning.load();
    }
    // Runs one tick and returns the requests it sent, waiting for `expected` of them.
    QList<QByteArray> Tick(int expected) {
        const int before = peer.Total();
        controller.UiTick();
        peer.WaitForTotal(before + expected, 10000);
        return peer.Requests().mid(before);
    }
    // Goes from connecting to the connected view: Identify answered, the state-2 tick done.
    bool ReachConnectedView(std::int32_t serial = 5000) {
        Tick(1);
        peer.Send(IdentityReply(serial, 2.5f, "Mill"));
        QElapsedTimer t;
        t.start();
        while (link.LinkStatus.LinkState.load() != LinkIdentified && t.elapsed() < 10000)
            QTest::qWait(2);
        if (link.LinkStatus.LinkState.load() != LinkIdentified)
            return false;
        Tick(1); // shows the identity and the connected view, sends the first SetClock
        return link.LinkStatus.LinkState.load() == LinkSettingClock;
    }

    LinkShared link;
    RecordingConnectionView view;
    ScriptedController peer;
    ConnectionController controller;
};

int CommandOf(const QByteArray& request) {
    return request.size() > 4 ? std::uint8_t(request[4]) : -1;
}

QList<int> Commands(const QList<QByteArray>& requests) {
    QList<int> c;
    for (const QByteArray& r : requests)
        c << CommandOf(r);
    return c;
}

// Lets requests that a faulty tick might have sent arrive before counting them.
void SettleNetwork() {
    QTest::qWait(100);
}

} // namespace

class ConnectionControllerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controllerAddressText_data();
    void controllerAddressText();
    void timersStartDisabledWithTheirIntervals();
    void connectingViewShowsAddressAndMachineName();
    void connectSequenceReachesPolling();
    void pollingSendsTwoStatusRequestsOnlyAfterAnAnsweredTick();
    void jobCountResetIsSentUntilAcknowledged();
    void lostToolNameRequestIsResentAfter500ms();
    void watchdogExpiresOn101stTickAndLinkReconnects();
    void watchdogReloadedByAValidDatagramStartsCountingAgain();
    void watchdogDuringFileTransferKeepsTheTransfer();
    void disconnectJoinsReceiverAndStopsTheLink();
    void busyReceivePortIsSkippedAndNextIsAnnounced();
    void clicksDuringTransferOrFetchChangeNothing_data();
    void clicksDuringTransferOrFetchChangeNothing();
    void getToolsDuringPendingResetStartsTheFetch();
    void tickAfterSuccessfulTransferStartsFileSentLineAndPolls();
    void failedTransferShowsItsMessageOnce();
    void tickDuringTransferOnlyShowsProgress();
    void tickAfterCompletedFetchReturnsToPolling();
};

void ConnectionControllerTest::controllerAddressText_data() {
    QTest::addColumn<bool>("ownNetwork");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("d");
    QTest::addColumn<QString>("text");
    QTest::newRow("octets without leading zeros") << false << 10 << 0 << 0 << 7 << "10.0.0.7";
    QTest::newRow("largest octets") << false << 255 << 255 << 255 << 255 << "255.255.255.255";
    QTest::newRow("own network ignores the octets") << true << 10 << 0 << 0 << 7 << "192.168.4.1";
}

void ConnectionControllerTest::controllerAddressText() {
    QFETCH(bool, ownNetwork);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, d);
    QFETCH(QString, text);
    const std::array<std::uint8_t, 4> ip{std::uint8_t(a), std::uint8_t(b), std::uint8_t(c), std::uint8_t(d)};
    QCOMPARE(ControllerAddressText(ownNetwork, ip), text);
    // The connecting view's file line for this address.
    QCOMPARE(QString::fromLatin1(ConnectionLook::TryingToConnectPrefix) +
                 ControllerAddressText(ownNetwork, ip),
             QStringLiteral("Trying to connect to\nIP: ") + text);
}

void ConnectionControllerTest::timersStartDisabledWithTheirIntervals() {
    LinkShared link;
    RecordingConnectionView view;
    ConnectionController controller(link, view);
    QCOMPARE(controller.tmr_Get_KORVA_Info.objectName(), QStringLiteral("tmr_Get_KORVA_Info"));
    QCOMPARE(controller.tmr_Get_KORVA_Info.interval(), 200);
    QVERIFY(!controller.tmr_Get_KORVA_Info.isActive());
    QCOMPARE(controller.tmr_Connection_Timeout.objectName(), QStringLiteral("tmr_Connection_Timeout"));
    QCOMPARE(controller.tmr_Connection_Timeout.interval(), 100);
    QVERIFY(!controller.tmr_Connection_Timeout.isActive());
    QCOMPARE(MachineNameCaption(QString()), QStringLiteral("KORVA"));
    QCOMPARE(MachineNameCaption(QStringLiteral("Router A")), QStringLiteral("Router A"));
    controller.Shutdown(); // nothing to stop
    QVERIFY(view.log.isEmpty());
}

void ConnectionControllerTest::connectingViewShowsAddressAndMachineName() {
    ControllerRig rig("127.0.0.61");
    QVERIFY(rig.Connect(QString()));
    QCOMPARE(rig.view.log,
             QStringList({"HideConnectedControls", "ShowStatusLine Connecting... 12 #64E168",
                          "SetStatusBlink 1", "ShowFileLine Trying to connect to\nIP: 127.0.0.61 #65E2FC",
                          "ApplyNarrowLayout", "ShowProgressRing 100", "SetMachineNameCaption KORVA"}));
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkConnecting));
    QVERIFY(rig.controller.tmr_Get_KORVA_Info.isActive());
    QVERIFY(!rig.controller.tmr_Connection_Timeout.isActive());
    QVERIFY(rig.link.Sender.HasTxSocket());
    QCOMPARE(rig.controller.ControllerAddress(), QStringLiteral("127.0.0.61"));
}

void ConnectionControllerTest::connectSequenceReachesPolling() {
    ControllerRig rig("127.0.0.62");
    QVERIFY(rig.Connect());
    rig.view.log.clear();

    // Connecting: Identify announces the receive port, every tick, with the display caches reset.
    rig.link.LinkStatus.ShownMachineState = 2;
    rig.link.LinkStatus.ShownJobProgress = 40;
    rig.link.LinkStatus.ShownJobCount = 9;
    for (int i = 0; i < 2; ++i) {
        const QList<QByteArray> sent = rig.Tick(1);
        QCOMPARE(Commands(sent), QList<int>{2});
        QCOMPARE(sent[0].size(), 10);
        QCOMPARE(ReadInt32(Bytes(sent[0]), 5), rig.link.Network.LocalPort.load());
    }
    QCOMPARE(rig.link.LinkStatus.ShownMachineState, std::uint8_t(255));
    QCOMPARE(rig.link.LinkStatus.ShownJobProgress, 255);
    QCOMPARE(rig.link.LinkStatus.ShownJobCount, 255);
    QCOMPARE(rig.peer.AnnouncedPort(), rig.link.Network.LocalPort.load());

    // Identity: the same tick shows it, shows the connected view and sends the first SetClock.
    rig.peer.Send(IdentityReply(5001, 2.5f, "Mill"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkIdentified), 10000);
    rig.link.LinkStatus.ConnectionWatchdog = 0;
    rig.view.log.clear();
    QCOMPARE(Commands(rig.Tick(1)), QList<int>{3});
    QCOMPARE(rig.view.log,
             QStringList({"ShowIdentity 5001 Mill", "SetToolListCount 100", "ShowConnectedControls",
                          "SetFileLineText ", "ApplyToolsPanelLayout"}));
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkSettingClock));
    QCOMPARE(rig.link.LinkStatus.ConnectionWatchdog.load(), WatchdogReloadMs);
    QVERIFY(rig.controller.tmr_Connection_Timeout.isActive());

    // SetClock until acknowledged, then polling.
    const QList<QByteArray> clock = rig.Tick(1);
    QCOMPARE(Commands(clock), QList<int>{3});
    QCOMPARE(clock[0].size(), 14);
    rig.peer.Send(MakeReply(LinkCommand::SetClock));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 10000);
    rig.view.log.clear();
    QCOMPARE(Commands(rig.Tick(2)), QList<int>({1, 1})); // the acknowledgement set ReplyFlag
    QCOMPARE(rig.view.log, QStringList({"RefreshStatus"}));
    SettleNetwork();
    QCOMPARE(rig.peer.Count(LinkCommand::Identify), 2);
    QCOMPARE(rig.peer.Count(LinkCommand::SetClock), 2);
    QCOMPARE(rig.peer.Count(LinkCommand::Status), 2);
}

void ConnectionControllerTest::pollingSendsTwoStatusRequestsOnlyAfterAnAnsweredTick() {
    ControllerRig rig("127.0.0.63");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = LinkPolling;
    rig.link.ReplyFlag = false;
    rig.controller.tmr_Get_KORVA_Info.setInterval(10); // a fetch's interval; polling sets 200 again

    QCOMPARE(Commands(rig.Tick(1)), QList<int>{1}); // unanswered
    QCOMPARE(rig.controller.tmr_Get_KORVA_Info.interval(), 200);
    QCOMPARE(Commands(rig.Tick(1)), QList<int>{1});

    rig.peer.Send(StatusReplyBytes(10, 0, 255, 4, 1, 60, "a.nc"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.link.ReplyFlag.load(), 10000);
    QCOMPARE(Commands(rig.Tick(2)), QList<int>({1, 1})); // answered
    QVERIFY(!rig.link.ReplyFlag.load());
    QCOMPARE(Commands(rig.Tick(1)), QList<int>{1}); // unanswered again
    SettleNetwork();
    QCOMPARE(rig.peer.Count(LinkCommand::Status), 5);
    QCOMPARE(rig.peer.Total(), 5);
    QCOMPARE(rig.view.Count("RefreshStatus"), 4);
}

void ConnectionControllerTest::jobCountResetIsSentUntilAcknowledged() {
    ControllerRig rig("127.0.0.64");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = LinkPolling;
    rig.controller.Img_Button_Parts_ResetClick();
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkResettingJobCount));

    for (int i = 0; i < 3; ++i) {
        const QList<QByteArray> sent = rig.Tick(1);
        QCOMPARE(Commands(sent), QList<int>{5});
        QCOMPARE(sent[0], QByteArray::fromHex("296403000500"));
    }
    QCOMPARE(rig.view.Count("RefreshStatus"), 0);
    rig.peer.Send(MakeReply(LinkCommand::ResetJobCount));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 10000);
    QCOMPARE(Commands(rig.Tick(2)), QList<int>({1, 1}));
    SettleNetwork();
    QCOMPARE(rig.peer.Count(LinkCommand::ResetJobCount), 3);
}

void ConnectionControllerTest::lostToolNameRequestIsResentAfter500ms() {
    ControllerRig rig("127.0.0.65");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = LinkPolling;
    rig.link.LinkStatus.ToolCount = 32;
    rig.view.log.clear();

    const int before = rig.peer.Total();
    rig.controller.Img_Get_Tools_DataClick();
    QVERIFY(rig.peer.WaitForTotal(before + 1, 10000));
    QCOMPARE(rig.view.log,
             QStringList({"SetFileDropsAccepted 0", "ShowStatusLine Getting Tools\nData 12 #64E168",
                          "SetSendAndDropPicturesVisible 0"}));
    QCOMPARE(rig.controller.tmr_Get_KORVA_Info.interval(), 10);
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkFetchingTools));
    QCOMPARE(rig.link.LinkStatus.RequestedTool.load(), 1);
    QCOMPARE(CommandOf(rig.peer.Requests().last()), 8);
    QCOMPARE(int(std::uint8_t(rig.peer.Requests().last()[5])), 1);

    // The request is lost: 50 ticks of 10 ms count up to 500, the 51st resends it.
    rig.view.log.clear();
    for (int i = 0; i < 50; ++i)
        rig.controller.UiTick();
    SettleNetwork();
    QCOMPARE(rig.peer.Count(LinkCommand::ToolName), 1);
    QCOMPARE(rig.link.LinkStatus.ToolResendClock.load(), 500);
    QCOMPARE(rig.view.Count("ShowToolFetchProgress 1 32"), 50);
    const QList<QByteArray> resent = rig.Tick(1);
    QCOMPARE(Commands(resent), QList<int>{8});
    QCOMPARE(int(std::uint8_t(resent[0][5])), 1);
    QCOMPARE(rig.link.LinkStatus.ToolResendClock.load(), 0);

    // The reply chains tool 2 at once and restarts the resend clock.
    rig.controller.UiTick();
    QCOMPARE(rig.link.LinkStatus.ToolResendClock.load(), 10);
    rig.peer.Send(ToolNameReplyBytes(1, "Drill 3"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.RequestedTool.load(), 2, 10000);
    QVERIFY(rig.peer.WaitForTotal(before + 3, 10000));
    QCOMPARE(int(std::uint8_t(rig.peer.Requests().last()[5])), 2);
    QCOMPARE(rig.link.ToolName(1), QByteArray("Drill 3"));
    QCOMPARE(rig.link.LinkStatus.ToolResendClock.load(), 0);
}

void ConnectionControllerTest::watchdogExpiresOn101stTickAndLinkReconnects() {
    ControllerRig rig("127.0.0.66");
    QVERIFY(rig.Connect());
    QVERIFY(rig.ReachConnectedView());
    rig.view.log.clear();

    for (int i = 0; i < 100; ++i)
        rig.controller.tmr_Connection_TimeoutTimer();
    QCOMPARE(rig.link.LinkStatus.ConnectionWatchdog.load(), 0);
    QVERIFY(rig.view.log.isEmpty()); // still connected after 100 ticks
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkSettingClock));

    rig.controller.tmr_Connection_TimeoutTimer(); // the 101st
    QCOMPARE(rig.view.log.value(1), QStringLiteral("ShowStatusLine Connecting... 12 #64E168"));
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkConnecting));
    QVERIFY(!rig.controller.tmr_Connection_Timeout.isActive());
    QVERIFY(rig.controller.tmr_Get_KORVA_Info.isActive());
    QVERIFY(rig.link.ReceiverRunning.load()); // the receiver and its port stay

    // The controller answers again: identity, connected view, watchdog armed.
    rig.view.log.clear();
    QVERIFY(rig.ReachConnectedView(5001));
    QVERIFY(rig.view.log.contains(QStringLiteral("ShowConnectedControls")));
    QCOMPARE(rig.link.LinkStatus.ConnectionWatchdog.load(), WatchdogReloadMs);
    QVERIFY(rig.controller.tmr_Connection_Timeout.isActive());
}

void ConnectionControllerTest::watchdogReloadedByAValidDatagramStartsCountingAgain() {
    ControllerRig rig("127.0.0.67");
    QVERIFY(rig.Connect());
    QVERIFY(rig.ReachConnectedView());
    for (int i = 0; i < 60; ++i)
        rig.controller.tmr_Connection_TimeoutTimer();
    QCOMPARE(rig.link.LinkStatus.ConnectionWatchdog.load(), 4000);
    rig.peer.Send(MakeReply(LinkCommand::SetClock));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.ConnectionWatchdog.load(), WatchdogReloadMs, 10000);
    rig.view.log.clear();
    for (int i = 0; i < 100; ++i)
        rig.controller.tmr_Connection_TimeoutTimer();
    QVERIFY(rig.view.log.isEmpty());
    rig.controller.tmr_Connection_TimeoutTimer();
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkConnecting));
}

void ConnectionControllerTest::watchdogDuringFileTransferKeepsTheTransfer() {
    ControllerRig rig("127.0.0.68");
    QVERIFY(rig.Connect());
    QVERIFY(rig.ReachConnectedView());
    rig.link.LinkStatus.LinkState = LinkSendingFile;
    rig.link.LinkStatus.ConnectionWatchdog = 0;
    rig.view.log.clear();
    for (int i = 0; i < 5; ++i)
        rig.controller.tmr_Connection_TimeoutTimer();
    QVERIFY(rig.view.log.isEmpty());
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkSendingFile));
    QVERIFY(rig.controller.tmr_Connection_Timeout.isActive());

    // The transfer ends with a failure: the next watchdog tick shows the connecting view.
    rig.link.LinkStatus.LinkState = LinkPolling;
    rig.controller.tmr_Connection_TimeoutTimer();
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkConnecting));
}

void ConnectionControllerTest::disconnectJoinsReceiverAndStopsTheLink() {
    ControllerRig rig("127.0.0.69");
    int transferStops = 0;
    rig.controller.SetTransferStopper([&] { ++transferStops; });
    QVERIFY(rig.Connect());
    QVERIFY(rig.ReachConnectedView());
    rig.link.LinkStatus.LinkState = LinkPolling;

    QElapsedTimer t;
    t.start();
    rig.controller.Img_Button_DisconnectClick();
    // At most one receive timeout (1000 ms); generous for a loaded machine.
    QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(transferStops, 1);
    QVERIFY(rig.controller.Receiver() == nullptr);
    QVERIFY(!rig.link.ReceiverRunning.load());
    QVERIFY(!rig.link.Sender.HasTxSocket());
    QVERIFY(!rig.controller.tmr_Get_KORVA_Info.isActive());
    QVERIFY(!rig.controller.tmr_Connection_Timeout.isActive());
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkPolling)); // left as it was

    // A new connection starts again in state 1 with a new receiver.
    QVERIFY(rig.Connect());
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkConnecting));
    QVERIFY(rig.controller.Receiver() != nullptr);
    rig.controller.Shutdown();
    QCOMPARE(transferStops, 2);
    QVERIFY(!rig.link.ReceiverRunning.load());
    rig.controller.Shutdown(); // twice is harmless
}

void ConnectionControllerTest::busyReceivePortIsSkippedAndNextIsAnnounced() {
    // Other test programs may hold ports of the range at the same time: hold the first free one.
    UdpSocket holder;
    const int held = test::HoldFirstFreeReceivePort(holder);
    QVERIFY(held != 0);
    ControllerRig rig("127.0.0.70");
    QVERIFY(rig.Connect());
    const int bound = rig.link.Network.LocalPort.load();
    QVERIFY(bound != held);
    QVERIFY(bound >= LinkPacket::FirstLocalPort && bound <= LinkPacket::LastLocalPort);
    const QList<QByteArray> sent = rig.Tick(1);
    QCOMPARE(ReadInt32(Bytes(sent.value(0)), 5), bound);
    // The reply to the announced port arrives.
    rig.peer.Send(IdentityReply(5000, 1.0f, "Mill"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkIdentified), 10000);
}

void ConnectionControllerTest::clicksDuringTransferOrFetchChangeNothing_data() {
    QTest::addColumn<int>("state");
    QTest::newRow("file transfer") << int(LinkSendingFile);
    QTest::newRow("tool fetch") << int(LinkFetchingTools);
}

void ConnectionControllerTest::clicksDuringTransferOrFetchChangeNothing() {
    QFETCH(int, state);
    ControllerRig rig("127.0.0.71");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = state;
    rig.link.LinkStatus.RequestedTool = 7;
    rig.link.LinkStatus.ToolCount = 32;
    rig.link.LinkStatus.ToolResendClock = 120;
    rig.controller.tmr_Get_KORVA_Info.setInterval(100);
    rig.view.log.clear();

    rig.controller.Img_Button_Parts_ResetClick();
    rig.controller.Img_Get_Tools_DataClick();
    rig.controller.Img_Get_Tools_DataClick();
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), state);
    QCOMPARE(rig.link.LinkStatus.RequestedTool.load(), 7);
    QCOMPARE(rig.link.LinkStatus.ToolResendClock.load(), 120);
    QCOMPARE(rig.controller.tmr_Get_KORVA_Info.interval(), 100);
    QVERIFY(rig.view.log.isEmpty());
    SettleNetwork();
    QCOMPARE(rig.peer.Total(), 0);
}

void ConnectionControllerTest::getToolsDuringPendingResetStartsTheFetch() {
    ControllerRig rig("127.0.0.72");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = LinkPolling;
    rig.link.LinkStatus.ToolCount = 118;
    rig.controller.Img_Button_Parts_ResetClick();
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkResettingJobCount));

    rig.controller.Img_Get_Tools_DataClick();
    QVERIFY(rig.peer.WaitForTotal(1, 10000));
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkFetchingTools));
    QCOMPARE(Commands(rig.peer.Requests()), QList<int>{8});
    rig.view.log.clear();
    for (int i = 0; i < 3; ++i)
        rig.controller.UiTick();
    SettleNetwork();
    QCOMPARE(rig.peer.Count(LinkCommand::ResetJobCount), 0);
    QCOMPARE(rig.peer.Total(), 1);
    QCOMPARE(rig.view.log, QStringList(3, QStringLiteral("ShowToolFetchProgress 1 118")));
}

void ConnectionControllerTest::tickAfterSuccessfulTransferStartsFileSentLineAndPolls() {
    ControllerRig rig("127.0.0.73");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = LinkFileSent;
    rig.link.ReplyFlag = false;
    rig.controller.tmr_Get_KORVA_Info.setInterval(100);
    rig.view.log.clear();
    QCOMPARE(Commands(rig.Tick(1)), QList<int>{1}); // the same tick already polls
    QCOMPARE(rig.view.log, QStringList({"StartFileSentLine", "RefreshStatus"}));
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkPolling));
    QCOMPARE(rig.controller.tmr_Get_KORVA_Info.interval(), 200);
}

void ConnectionControllerTest::failedTransferShowsItsMessageOnce() {
    ControllerRig rig("127.0.0.74");
    QVERIFY(rig.Connect());
    for (int code = TransferNoResponse; code <= TransferWriteFailed; ++code) {
        rig.link.LinkStatus.LinkState = LinkPolling;
        rig.link.LinkStatus.TransferResult = code;
        rig.view.log.clear();
        rig.Tick(1);
        QCOMPARE(rig.view.log,
                 QStringList({QStringLiteral("ShowTransferOutcome %1").arg(code), "RefreshStatus"}));
        QCOMPARE(rig.link.LinkStatus.TransferResult.load(), int(TransferNone));
        rig.view.log.clear();
        rig.Tick(1);
        QCOMPARE(rig.view.log, QStringList({"RefreshStatus"}));
    }
}

void ConnectionControllerTest::tickDuringTransferOnlyShowsProgress() {
    ControllerRig rig("127.0.0.75");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = LinkSendingFile;
    rig.link.ReplyFlag = true;
    rig.view.log.clear();
    for (int i = 0; i < 3; ++i)
        rig.controller.UiTick();
    QCOMPARE(rig.view.log, QStringList(3, QStringLiteral("ShowTransferProgress")));
    QCOMPARE(rig.controller.tmr_Get_KORVA_Info.interval(), 100);
    QVERIFY(rig.link.ReplyFlag.load());
    SettleNetwork();
    QCOMPARE(rig.peer.Total(), 0);

    // The connecting view is refused while a file is sent.
    rig.view.log.clear();
    rig.controller.ShowConnectingView();
    QVERIFY(rig.view.log.isEmpty());
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkSendingFile));
}

void ConnectionControllerTest::tickAfterCompletedFetchReturnsToPolling() {
    ControllerRig rig("127.0.0.61");
    QVERIFY(rig.Connect());
    rig.link.LinkStatus.LinkState = LinkToolsFetched;
    rig.link.LinkStatus.ShownMachineState = 0;
    rig.link.LinkStatus.ShownJobProgress = 50;
    rig.link.LinkStatus.ShownJobCount = 12;
    rig.view.log.clear();
    rig.controller.UiTick();
    QCOMPARE(rig.view.log, QStringList({"ShowToolFetchEnd"}));
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkPolling));
    QCOMPARE(rig.link.LinkStatus.ShownMachineState, std::uint8_t(255));
    QCOMPARE(rig.link.LinkStatus.ShownJobProgress, 255);
    QCOMPARE(rig.link.LinkStatus.ShownJobCount, 12);
    SettleNetwork();
    QCOMPARE(rig.peer.Total(), 0); // polling resumes on the next tick
}

QTEST_GUILESS_MAIN(ConnectionControllerTest)
#include "tst_connection_controller.moc"
