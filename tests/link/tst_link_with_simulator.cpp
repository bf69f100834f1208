// The whole link against the controller simulator, with the controller's own timers ticking:
// connecting, polling, the job-count reset, tool fetches over a lossy link and a silent controller.
#include "link/ConnectionController.h"
#include "sim/ControllerSimulator.h"

#include "RecordingConnectionView.h"

#include <QTest>

#include <memory>

using namespace korva;
using namespace korva::test;

namespace {

std::array<std::uint8_t, 4> LoopbackOctets(int last) {
    return {127, 0, 0, std::uint8_t(last)};
}

struct SimRig {
    explicit SimRig(sim::SimulatorOptions options) : simulator(std::move(options)), controller(link, view) {
        link.SetAllToolNames("-");
    }
    LinkShared link;
    RecordingConnectionView view;
    sim::ControllerSimulator simulator;
    ConnectionController controller;
};

} // namespace

class LinkWithSimulatorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void connectPollAndResetJobCount();
    void toolFetchCompletesOverLossyLink_data();
    void toolFetchCompletesOverLossyLink();
    void silentControllerBringsBackConnectingViewUntilItAnswers();
};

void LinkWithSimulatorTest::connectPollAndResetJobCount() {
    sim::SimulatorOptions options;
    options.address = "127.0.0.76";
    options.serialNumber = 7000;
    options.softwareName = "Mill 5-Axis";
    options.duplicateReplies = true;
    SimRig rig(options);
    QString error;
    QVERIFY2(rig.simulator.Start(&error), qPrintable(error));
    rig.simulator.SetJobCount(7);

    rig.controller.StartConnection(false, LoopbackOctets(76), QStringLiteral("Bench"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.DecodedSnapshot().JobCount, 7, 30000);
    QCOMPARE(rig.simulator.AnnouncedPort(), rig.link.Network.LocalPort.load());
    QVERIFY(rig.simulator.LastClock().has_value());
    const DecodedStatus d = rig.link.DecodedSnapshot();
    QCOMPARE(d.SerialNumber, 7000);
    QVERIFY(d.IsK8);
    QCOMPARE(rig.link.LinkStatus.ToolCount.load(), 100);
    QVERIFY(rig.view.log.contains(QStringLiteral("ShowIdentity 7000 Mill 5-Axis")));
    QVERIFY(rig.view.log.contains(QStringLiteral("ShowConnectedControls")));
    QTRY_VERIFY_WITH_TIMEOUT(rig.view.Count("RefreshStatus") >= 3, 30000);
    QVERIFY(rig.controller.tmr_Connection_Timeout.isActive());

    rig.controller.Img_Button_Parts_ResetClick();
    QTRY_COMPARE_WITH_TIMEOUT(rig.simulator.JobCount(), 0, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.DecodedSnapshot().JobCount, 0, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 30000);
    QVERIFY(rig.simulator.RequestCount(LinkCommand::ResetJobCount) >= 1);

    rig.controller.Img_Button_DisconnectClick();
    QVERIFY(!rig.link.ReceiverRunning.load());
    QVERIFY(!rig.controller.tmr_Get_KORVA_Info.isActive());
}

void LinkWithSimulatorTest::toolFetchCompletesOverLossyLink_data() {
    QTest::addColumn<int>("serial");
    QTest::addColumn<QByteArray>("software");
    QTest::addColumn<int>("toolCount");
    QTest::newRow("K7, 32 tools") << 4000 << QByteArray("Mill") << 32;
    QTest::newRow("K8 Mill, 100 tools") << 7000 << QByteArray("Mill") << 100;
    QTest::newRow("K8 Lathe, 118 tools") << 7000 << QByteArray("Lathe") << 118;
}

void LinkWithSimulatorTest::toolFetchCompletesOverLossyLink() {
    QFETCH(int, serial);
    QFETCH(QByteArray, software);
    QFETCH(int, toolCount);
    sim::SimulatorOptions options;
    options.address = "127.0.0.77";
    options.serialNumber = serial;
    options.softwareName = software;
    options.seed = 7;
    options.requestLoss = 0.05;
    options.replyLoss = 0.05;
    for (int n = 1; n <= sim::MaxToolNumber; ++n)
        options.toolNames[size_t(n)] = "Tool #" + QByteArray::number(n) + " " + software;
    SimRig rig(options);
    QString error;
    QVERIFY2(rig.simulator.Start(&error), qPrintable(error));

    rig.controller.StartConnection(false, LoopbackOctets(77), QString());
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 30000);
    QCOMPARE(rig.link.LinkStatus.ToolCount.load(), toolCount);

    rig.view.log.clear();
    rig.controller.Img_Get_Tools_DataClick();
    QCOMPARE(rig.controller.tmr_Get_KORVA_Info.interval(), 10);
    QTRY_VERIFY_WITH_TIMEOUT(rig.view.Count("ShowToolFetchEnd") == 1, 180000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.controller.tmr_Get_KORVA_Info.interval(), 200, 30000);
    QVERIFY(rig.view.Count("ShowToolFetchProgress") > 0);

    for (int n = 1; n <= toolCount; ++n)
        QCOMPARE(rig.link.ToolName(n), options.toolNames[size_t(n)]);
    for (int n = toolCount + 1; n <= MaxToolNumber; ++n)
        QCOMPARE(rig.link.ToolName(n), QByteArray("-"));
    QVERIFY(rig.simulator.RequestCount(LinkCommand::ToolName) >= toolCount);
}

void LinkWithSimulatorTest::silentControllerBringsBackConnectingViewUntilItAnswers() {
    sim::SimulatorOptions options;
    options.address = "127.0.0.78";
    SimRig rig(options);
    QString error;
    QVERIFY2(rig.simulator.Start(&error), qPrintable(error));
    rig.controller.StartConnection(false, LoopbackOctets(78), QString());
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 30000);

    rig.view.log.clear();
    rig.simulator.SetSilent(true);
    // About 10.1 s without a valid datagram.
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkConnecting), 60000);
    QVERIFY(rig.view.log.contains(QStringLiteral("ShowStatusLine Connecting... 12 #64E168")));
    QVERIFY(!rig.controller.tmr_Connection_Timeout.isActive());

    const int identifies = rig.simulator.RequestCount(LinkCommand::Identify);
    rig.simulator.SetSilent(false);
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 30000);
    QVERIFY(rig.simulator.RequestCount(LinkCommand::Identify) > identifies);
    QVERIFY(rig.controller.tmr_Connection_Timeout.isActive());
}

QTEST_GUILESS_MAIN(LinkWithSimulatorTest)
#include "tst_link_with_simulator.moc"
