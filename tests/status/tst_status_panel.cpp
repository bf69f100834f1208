#include "status/RecordingStatusView.h"
#include "status/StatusPanel.h"

#include <QtTest>

using namespace korva;
using korva::test::RecordingStatusView;

namespace {

constexpr std::uint8_t Stopped = 0;
constexpr std::uint8_t Machining = 2;

// A link as the connecting ticks leave it (three caches at 255), a recording view, CurrentFile and the
// panel over them.
struct PanelFixture {
    PanelFixture() {
        link.LinkStatus.ShownMachineState = 255;
        link.LinkStatus.ShownJobProgress = 255;
        link.LinkStatus.ShownJobCount = 255;
    }

    RefreshOutcome refresh() {
        view.log.clear();
        return panel.RefreshStatus(decoded);
    }

    LinkShared link;
    RecordingStatusView view;
    NC_File_To_Send_Structure currentFile;
    StatusPanel panel{link, view, currentFile};
    DecodedStatus decoded;
};

} // namespace

class TestStatusPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void identityIsWrittenToTheView();
    void firstRefreshAfterConnectingDrawsEverything_data();
    void firstRefreshAfterConnectingDrawsEverything();
    void refreshWithoutChangesDrawsNothing();
    void jobTimeIsDrawnOnlyWhenItDiffersFromTheLastDrawn();
    void jobProgressAbove100GoesToTheRingUnchanged();
    void knownAlarmShowsItsTextAndEndsTheRefresh_data();
    void knownAlarmShowsItsTextAndEndsTheRefresh();
    void unknownAlarmKeepsTheCaptionAndStillShowsToolChange_data();
    void unknownAlarmKeepsTheCaptionAndStillShowsToolChange();
    void clearedAlarmRedrawsMachineStateVisibleWithoutBlink();
    void toolChangeAppearsAndClears();
    void machineStateChangeReplacesChangeToolUntilRequestReturns();
    void machiningRefusesDropsAndShowsTheControllerFile();
    void stoppedShowsTheChosenFile();
    void stoppedWithoutValidFileEmptiesTheFileLine();
    void fileLineHeightFollowsScreenDensity();
    void beforeAnyStatusReplyNoAlarmIsShown();
};

void TestStatusPanel::identityIsWrittenToTheView() {
    PanelFixture f;
    {
        std::lock_guard lock(f.link.DataLock());
        f.link.LinkStatus.Decoded.IsK8 = true;
        f.link.LinkStatus.Decoded.SerialNumber = 7000;
        f.link.LinkStatus.Decoded.SoftwareName = "Mill 5-Axis";
        f.link.LinkStatus.Decoded.CoreVersion = 3.1f;
    }
    f.panel.ShowIdentity();
    QCOMPARE(f.view.identity, QStringLiteral("Serial No: K8-7000\nMill 5-Axis\nCore Version: 3.10"));
    QCOMPARE(f.view.log.size(), 1);
}

void TestStatusPanel::firstRefreshAfterConnectingDrawsEverything_data() {
    QTest::addColumn<int>("machineState");
    QTest::addColumn<QStringList>("expectedLog");

    // The steps run in their order: ring, jobs, job time, then the machine state.
    const QStringList common{QStringLiteral("ring 40"), QStringLiteral("jobs Jobs: 3"),
                             QStringLiteral("jobTime Job Time: 1:5:9")};
    QTest::newRow("machining") << int(Machining)
                               << common + QStringList{"blink 0",
                                                       "drops 0",
                                                       "status.visible 1",
                                                       "status.text Machining",
                                                       "status.colour #64E168",
                                                       "status.size 18",
                                                       "sendAndDrop.visible 0",
                                                       "file.colour #65E2FC",
                                                       "file.height 20",
                                                       "file.text PART1.NC"};
    QTest::newRow("stopped") << int(Stopped)
                             << common + QStringList{"blink 0",
                                                     "drops 1",
                                                     "status.visible 1",
                                                     "status.text Machine Stopped",
                                                     "status.colour #DBC2C2",
                                                     "status.size 12",
                                                     "sendAndDrop.visible 1",
                                                     "file.colour #F43D42",
                                                     "file.height 20",
                                                     "file.text "};
    QTest::newRow("other states count as stopped") << 7
                                                   << common + QStringList{"blink 0",
                                                                           "drops 1",
                                                                           "status.visible 1",
                                                                           "status.text Machine Stopped",
                                                                           "status.colour #DBC2C2",
                                                                           "status.size 12",
                                                                           "sendAndDrop.visible 1",
                                                                           "file.colour #F43D42",
                                                                           "file.height 20",
                                                                           "file.text "};
}

void TestStatusPanel::firstRefreshAfterConnectingDrawsEverything() {
    QFETCH(int, machineState);
    QFETCH(QStringList, expectedLog);

    PanelFixture f;
    f.view.statusVisible = false; // the connecting view's blink may have left it hidden
    f.decoded.MachineState = static_cast<std::uint8_t>(machineState);
    f.decoded.JobProgress = 40;
    f.decoded.JobCount = 3;
    f.decoded.JobTimeSeconds = 3909;
    f.decoded.ControllerFileName = "PART1.NC";

    QCOMPARE(f.refresh(), RefreshOutcome::Completed);
    QCOMPARE(f.view.log, expectedLog);
    QCOMPARE(f.link.LinkStatus.ShownMachineState, static_cast<std::uint8_t>(machineState));
    QCOMPARE(f.link.LinkStatus.ShownJobProgress, 40);
    QCOMPARE(f.link.LinkStatus.ShownJobCount, 3);
    QCOMPARE(f.link.LinkStatus.ShownJobTime, 3909);
    QVERIFY(f.view.statusVisible);
}

void TestStatusPanel::refreshWithoutChangesDrawsNothing() {
    PanelFixture f;
    f.decoded.MachineState = Machining;
    f.decoded.JobProgress = 55;
    f.decoded.JobCount = 9;
    f.decoded.JobTimeSeconds = 120;
    f.decoded.ToolChangeRequest = true;
    f.refresh();
    QVERIFY(!f.view.log.isEmpty());

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(f.refresh(), RefreshOutcome::Completed);
        QVERIFY2(f.view.log.isEmpty(), qPrintable(f.view.log.join(QLatin1Char('|'))));
    }

    // A change of one value redraws that value only.
    f.decoded.JobCount = 10;
    f.refresh();
    QCOMPARE(f.view.log, QStringList{"jobs Jobs: 10"});
}

void TestStatusPanel::jobTimeIsDrawnOnlyWhenItDiffersFromTheLastDrawn() {
    PanelFixture f;
    f.view.jobTime = QString();

    // First connection of the run: 0 equals the start value of the cache, the line stays empty.
    f.refresh();
    QVERIFY(!f.view.log.join(QLatin1Char('|')).contains(QStringLiteral("jobTime")));
    QCOMPARE(f.view.jobTime, QString());

    f.decoded.JobTimeSeconds = 59;
    f.refresh();
    QCOMPARE(f.view.jobTime, QStringLiteral("Job Time: 0:0:59"));

    // A reconnection resets three caches but not the job time: the same time is not written again.
    f.link.LinkStatus.ShownMachineState = 255;
    f.link.LinkStatus.ShownJobProgress = 255;
    f.link.LinkStatus.ShownJobCount = 255;
    f.refresh();
    QVERIFY(!f.view.log.join(QLatin1Char('|')).contains(QStringLiteral("jobTime")));
}

void TestStatusPanel::jobProgressAbove100GoesToTheRingUnchanged() {
    PanelFixture f;
    f.decoded.JobProgress = 150;
    f.refresh();
    QCOMPARE(f.view.ring, 150);
    QCOMPARE(f.link.LinkStatus.ShownJobProgress, 150);

    // Once drawn, 150 is not drawn again; the cache's redraw marker forces it.
    f.refresh();
    QVERIFY(!f.view.log.contains(QStringLiteral("ring 150")));
    f.link.LinkStatus.ShownJobProgress = 255;
    f.refresh();
    QCOMPARE(f.view.log.first(), QStringLiteral("ring 150"));
}

void TestStatusPanel::knownAlarmShowsItsTextAndEndsTheRefresh_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("7 hard limit") << 7 << "X HARD LIMIT\nALARM";
    QTest::newRow("0 motor") << 0 << "X MOTOR ALARM";
    QTest::newRow("21 torch") << 21 << "TORCH HIT\nALARM";
}

void TestStatusPanel::knownAlarmShowsItsTextAndEndsTheRefresh() {
    QFETCH(int, code);
    QFETCH(QString, text);

    PanelFixture f;
    f.refresh(); // stopped drawn
    f.decoded.AlarmCode = static_cast<std::uint8_t>(code);
    f.decoded.ToolChangeRequest = true;
    f.decoded.JobCount = 4;

    for (int i = 0; i < 2; ++i) {
        QCOMPARE(f.refresh(), RefreshOutcome::EndedOnKnownAlarm);
        // The values before the alarm step are still drawn; the look is set again on every refresh.
        const QStringList expected =
            (i == 0 ? QStringList{"jobs Jobs: 4"} : QStringList{}) +
            QStringList{"status.size 11", "status.colour #F43D42", "blink 1", "status.text " + text};
        QCOMPARE(f.view.log, expected);
        QCOMPARE(f.view.statusText, text);
        QVERIFY(!f.link.LinkStatus.ToolChangeShown);
        QCOMPARE(f.link.LinkStatus.ShownMachineState, std::uint8_t(255));
    }
}

void TestStatusPanel::unknownAlarmKeepsTheCaptionAndStillShowsToolChange_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("6") << 6;
    QTest::newRow("13") << 13;
    QTest::newRow("254") << 254;
}

void TestStatusPanel::unknownAlarmKeepsTheCaptionAndStillShowsToolChange() {
    QFETCH(int, code);

    PanelFixture f;
    f.refresh(); // "Machine Stopped"
    f.decoded.AlarmCode = static_cast<std::uint8_t>(code);

    QCOMPARE(f.refresh(), RefreshOutcome::Completed);
    QCOMPARE(f.view.log, (QStringList{"status.size 11", "status.colour #F43D42", "blink 1"}));
    QCOMPARE(f.view.statusText, QStringLiteral("Machine Stopped"));

    // A tool change requested meanwhile still reaches the line.
    f.decoded.ToolChangeRequest = true;
    QCOMPARE(f.refresh(), RefreshOutcome::Completed);
    QCOMPARE(f.view.statusText, QStringLiteral("Change Tool"));
    QCOMPARE(f.view.statusSize, 16);
    QCOMPARE(f.view.statusColour, StatusColour::Red);
    QVERIFY(f.view.blink);
    QVERIFY(f.link.LinkStatus.ToolChangeShown);
}

void TestStatusPanel::clearedAlarmRedrawsMachineStateVisibleWithoutBlink() {
    PanelFixture f;
    f.decoded.MachineState = Machining;
    f.refresh();
    f.decoded.AlarmCode = 9;
    f.refresh();
    f.view.blinkTick(); // the blink left the line hidden
    QVERIFY(!f.view.statusVisible);

    f.decoded.AlarmCode = 255;
    QCOMPARE(f.refresh(), RefreshOutcome::Completed);
    QCOMPARE(f.view.statusText, QStringLiteral("Machining"));
    QCOMPARE(f.view.statusSize, 18);
    QCOMPARE(f.view.statusColour, StatusColour::Green);
    QVERIFY(!f.view.blink);
    QVERIFY(f.view.statusVisible);
}

void TestStatusPanel::toolChangeAppearsAndClears() {
    PanelFixture f;
    f.refresh(); // "Machine Stopped"

    f.decoded.ToolChangeRequest = true;
    f.refresh();
    QCOMPARE(f.view.log,
             (QStringList{"status.text Change Tool", "status.size 16", "status.colour #F43D42", "blink 1"}));
    f.view.blinkTick();
    QVERIFY(!f.view.statusVisible);
    f.refresh();
    QVERIFY(f.view.log.isEmpty());

    // The request clears: the blink stops at once, the next refresh redraws the machine state.
    f.decoded.ToolChangeRequest = false;
    f.refresh();
    QCOMPARE(f.view.log, QStringList{"blink 0"});
    QVERIFY(!f.link.LinkStatus.ToolChangeShown);
    QCOMPARE(f.link.LinkStatus.ShownMachineState, std::uint8_t(255));

    f.refresh();
    QCOMPARE(f.view.statusText, QStringLiteral("Machine Stopped"));
    QVERIFY(f.view.statusVisible);
    QVERIFY(!f.view.blink);
}

void TestStatusPanel::machineStateChangeReplacesChangeToolUntilRequestReturns() {
    PanelFixture f;
    f.decoded.ToolChangeRequest = true;
    f.refresh();
    QCOMPARE(f.view.statusText, QStringLiteral("Change Tool"));

    f.decoded.MachineState = Machining;
    f.refresh();
    QCOMPARE(f.view.statusText, QStringLiteral("Machining"));
    QVERIFY(!f.view.blink);

    // Still requested: "Change Tool" stays off until the request has cleared and come back.
    f.refresh();
    QCOMPARE(f.view.statusText, QStringLiteral("Machining"));
    f.decoded.ToolChangeRequest = false;
    f.refresh();
    f.refresh();
    QCOMPARE(f.view.statusText, QStringLiteral("Machining"));
    f.decoded.ToolChangeRequest = true;
    f.refresh();
    QCOMPARE(f.view.statusText, QStringLiteral("Change Tool"));
    QVERIFY(f.view.blink);
}

void TestStatusPanel::machiningRefusesDropsAndShowsTheControllerFile() {
    PanelFixture f;
    f.currentFile.Valid = true;
    f.currentFile.Name = QStringLiteral("local.nc");
    f.refresh();
    QVERIFY(f.view.dropsAccepted);
    QVERIFY(f.view.sendAndDropVisible);

    f.decoded.MachineState = Machining;
    f.decoded.ControllerFileName = "Fr\xc3\xa4sen.tap";
    f.refresh();
    QVERIFY(!f.view.dropsAccepted);
    QVERIFY(!f.view.sendAndDropVisible);
    QCOMPARE(f.view.fileLine, QStringLiteral("Fr\u00e4sen.tap"));
    QCOMPARE(f.view.fileLineColour, StatusColour::Accent);
    QCOMPARE(f.view.fileLineHeight, 20);
    QCOMPARE(f.currentFile.Name, QStringLiteral("local.nc"));

    f.decoded.MachineState = Stopped;
    f.refresh();
    QVERIFY(f.view.dropsAccepted);
    QVERIFY(f.view.sendAndDropVisible);
    QCOMPARE(f.view.fileLine, QStringLiteral("local.nc"));
}

void TestStatusPanel::stoppedShowsTheChosenFile() {
    PanelFixture f;
    f.currentFile.Valid = true;
    f.currentFile.Name = QStringLiteral("Part1.Tap");
    f.refresh();
    QCOMPARE(f.view.fileLine, QStringLiteral("Part1.Tap"));
    QCOMPARE(f.view.fileLineColour, StatusColour::Accent);
    QCOMPARE(f.currentFile.Name, QStringLiteral("Part1.Tap"));
}

void TestStatusPanel::stoppedWithoutValidFileEmptiesTheFileLine() {
    PanelFixture f;
    f.currentFile.Valid = false;
    f.currentFile.Name = QStringLiteral("Not a gcode file");
    f.refresh();
    QCOMPARE(f.view.fileLine, QString());
    QCOMPARE(f.view.fileLineColour, StatusColour::Red);
    QVERIFY(f.currentFile.Name.isEmpty());
}

void TestStatusPanel::fileLineHeightFollowsScreenDensity() {
    PanelFixture f;
    f.view.dpi = 144.0;
    f.refresh();
    QCOMPARE(f.view.fileLineHeight, 30);
}

void TestStatusPanel::beforeAnyStatusReplyNoAlarmIsShown() {
    // A fresh link: nothing decoded yet. The refresh reads the shared record itself.
    PanelFixture f;
    f.view.log.clear();
    QCOMPARE(f.panel.RefreshStatus(), RefreshOutcome::Completed);
    QVERIFY(!f.view.log.contains(QStringLiteral("status.size 11")));
    QCOMPARE(f.view.statusText, QStringLiteral("Machine Stopped"));
    QCOMPARE(f.view.ring, 0);
    QCOMPARE(f.view.jobs, QStringLiteral("Jobs: 0"));
}

QTEST_GUILESS_MAIN(TestStatusPanel)
#include "tst_status_panel.moc"
