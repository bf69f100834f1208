// The main window against the controller simulator, with its own timers ticking: connecting, the
// identity of both generations, the status line's looks, the job counter reset, a silent
// controller, a tool fetch, Disconnect, and the texts under a German locale.

#include "MainWindowFixture.h"
#include "WidgetEvents.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageView.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/ProgressRing.h"
#include "app/ui/ToolsPanel.h"
#include "link/ConnectionController.h"
#include "link/LinkStatus.h"
#include "sim/ControllerSimulator.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <string>

using namespace korva;
using namespace korva::test;

namespace {

constexpr int Patience = 30000; // ms; generous for a loaded machine

// A simulated controller on 127.0.0.<last> and the two windows, connected through the connect
// window's Connect button.
struct Rig {
    explicit Rig(int last, sim::SimulatorOptions options = {},
                 const std::function<void(SettingsRecord&)>& prepare = {})
        : windows(prepare), simulator([&] {
              options.address = "127.0.0." + std::to_string(last);
              return options;
          }()),
          last_(last) {}

    bool Start() {
        QString error;
        if (!simulator.Start(&error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        return true;
    }

    // Types the address into the connect window and presses Connect.
    void Connect() {
        TfrmConnect& c = *windows.connectWindow;
        c.show();
        const QStringList octets{"127", "0", "0", QString::number(last_)};
        for (int i = 0; i < 4; ++i)
            c.OctetBoxes()[size_t(i)]->setText(octets[i]);
        Click(c.Img_Button_Connect);
    }

    TfrmMain& Main() { return *windows.main; }
    int State() { return Main().Link().LinkStatus.LinkState.load(); }

    MainWindowFixture windows;
    sim::ControllerSimulator simulator;

private:
    int last_;
};

QList<QWidget*> ConnectedControls(TfrmMain& w) {
    return {w.lbl_Progress_Bar_Percentage,
            w.Img_Drop_NC_File,
            w.lbl_NC_File_Name,
            w.lbl_NC_File_Sent_Time,
            w.Img_Send_File_Connect,
            w.Img_Button_Tools,
            w.lbl_Jobs,
            w.Img_Button_Parts_Reset,
            w.lbl_KORVA_Info,
            w.Tools->Img_Get_Tools_Data,
            w.Tools->Img_Generate_Text_File,
            w.Edit_KORVA_Folder,
            w.Img_Editbox_KORVA_Folder_Name};
}

void VerifyStatusLine(TfrmMain& w, const QString& text, int points, QRgb colour, bool blinking) {
    QCOMPARE(w.lbl_Machine_Status->text(), text);
    QCOMPARE(w.lbl_Machine_Status->font().pointSize(), points);
    QCOMPARE(TextColour(w.lbl_Machine_Status), colour);
    QCOMPARE(w.tmr_Messgae_Blink->isActive(), blinking);
    if (!blinking)
        QVERIFY(Shown(w.lbl_Machine_Status));
}

// Switches the program's and the C library's locale to German for one test.
class GermanLocale {
public:
    GermanLocale() : previous_(QLocale()) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (const char* old = std::setlocale(LC_ALL, nullptr))
            oldC_ = old;
        // The C locale may not be installed; Qt's default locale is German in any case.
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            std::setlocale(LC_ALL, "de_DE");
    }
    ~GermanLocale() {
        QLocale::setDefault(previous_);
        std::setlocale(LC_ALL, oldC_.c_str());
    }

private:
    QLocale previous_;
    std::string oldC_ = "C";
};

} // namespace

class LinkWithWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void connectShowsTheIdentityAndTheStoppedMachine_data();
    void connectShowsTheIdentityAndTheStoppedMachine();
    void runningJobShowsMachiningAndTheRing();
    void alarmAndToolChangeLooks();
    void resetClickSetsTheJobCountToZero();
    void silentControllerBringsBackTheConnectingView();
    void toolFetchShowsProgressAndTheFirstTenTools();
    void disconnectReturnsToTheConnectWindow();
    void germanLocaleKeepsThePointAndTheColons();
};

void LinkWithWindowTest::connectShowsTheIdentityAndTheStoppedMachine_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("serial");
    QTest::addColumn<float>("coreVersion");
    QTest::addColumn<QByteArray>("software");
    QTest::addColumn<QString>("identity");
    QTest::addColumn<int>("toolCount");
    QTest::addColumn<int>("thumbHeight");
    QTest::newRow("K7") << 85 << 4000 << 2.5f << QByteArray("Mill")
                        << "Serial No: K7-4000\nMill\nCore Version: 2.50" << 32 << 100;
    QTest::newRow("K8") << 86 << 7000 << 3.1f << QByteArray("Mill 5-Axis")
                        << "Serial No: K8-7000\nMill 5-Axis\nCore Version: 3.10" << 100 << 30;
}

void LinkWithWindowTest::connectShowsTheIdentityAndTheStoppedMachine() {
    QFETCH(int, address);
    QFETCH(int, serial);
    QFETCH(float, coreVersion);
    QFETCH(QByteArray, software);
    QFETCH(QString, identity);
    QFETCH(int, toolCount);
    QFETCH(int, thumbHeight);
    sim::SimulatorOptions options;
    options.serialNumber = serial;
    options.coreVersion = coreVersion;
    options.softwareName = software;
    Rig rig(address, options, [](SettingsRecord& r) { r.MachineName.Assign(QStringLiteral("Shop Mill")); });
    QVERIFY(rig.Start());
    rig.simulator.SetJobCount(42);
    rig.Connect();
    TfrmMain& w = rig.Main();
    QVERIFY(w.isVisible());
    QVERIFY(!rig.windows.connectWindow->isVisible());
    QVERIFY(rig.windows.settings.OnDisk().AutoConnect.IsSet());

    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);
    VerifyStatusLine(w, QStringLiteral("Machine Stopped"), 12, 0xFFDBC2C2, false);
    QCOMPARE(w.lbl_KORVA_Info->text(), identity);
    QCOMPARE(w.lbl_Machine_Name->text(), QStringLiteral("Shop Mill"));
    for (QWidget* control : ConnectedControls(w))
        QVERIFY2(Shown(control), qPrintable(control->objectName()));
    QVERIFY(w.Controller().tmr_Connection_Timeout.isActive());
    QCOMPARE(w.Tools->ListToolCount, toolCount);
    QCOMPARE(w.Tools->Img_Tools_Scrollbar->height(), thumbHeight);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Jobs->text(), QStringLiteral("Jobs: 42"), Patience);
    // No file chosen: the stopped machine's file line is empty and one line high.
    QCOMPARE(w.lbl_NC_File_Name->text(), QString());
    QCOMPARE(w.lbl_NC_File_Name->height(), 20);
    QCOMPARE(TextColour(w.lbl_NC_File_Name), QRgb(0xFFF43D42));
    QVERIFY(w.acceptDrops());
    // The job time line stays empty while the controller's job time is 0.
    QCOMPARE(w.lbl_NC_File_Sent_Time->text(), QString());
    QCOMPARE(w.Ring->ShownPicture(), 0);
    QCOMPARE(w.lbl_Progress_Bar_Percentage->text(), QStringLiteral("0%"));
    QVERIFY(rig.windows.errors.Texts().isEmpty());
}

void LinkWithWindowTest::runningJobShowsMachiningAndTheRing() {
    Rig rig(87);
    QVERIFY(rig.Start());
    rig.Connect();
    TfrmMain& w = rig.Main();
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);

    rig.simulator.SetControllerFileName("bracket_left_v2.nc");
    rig.simulator.SetJobProgress(65);
    rig.simulator.SetJobTimeSeconds(3909);
    rig.simulator.SetMachineState(2);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machining"), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(w.Ring->ShownPicture(), 65, Patience);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_NC_File_Sent_Time->text(), QStringLiteral("Job Time: 1:5:9"), Patience);
    VerifyStatusLine(w, QStringLiteral("Machining"), 18, 0xFF64E168, false);
    QCOMPARE(w.lbl_Progress_Bar_Percentage->text(), QStringLiteral("65%"));
    QVERIFY(!Shown(w.Img_Drop_NC_File));
    QVERIFY(!Shown(w.Img_Send_File_Connect));
    QVERIFY(!w.acceptDrops());
    QCOMPARE(w.lbl_NC_File_Name->text(), QStringLiteral("bracket_left_v2.nc"));
    QCOMPARE(TextColour(w.lbl_NC_File_Name), QRgb(0xFF65E2FC));
    QCOMPARE(w.lbl_NC_File_Name->height(), 20);

    rig.simulator.SetMachineState(0);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);
    QVERIFY(Shown(w.Img_Drop_NC_File));
    QVERIFY(Shown(w.Img_Send_File_Connect));
    QVERIFY(w.acceptDrops());
    QCOMPARE(w.lbl_NC_File_Name->text(), QString());
}

void LinkWithWindowTest::alarmAndToolChangeLooks() {
    Rig rig(88);
    QVERIFY(rig.Start());
    rig.Connect();
    TfrmMain& w = rig.Main();
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);

    rig.simulator.SetAlarm(7);
    rig.simulator.SetToolChangeRequest(true); // not shown while a known alarm lasts
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("X HARD LIMIT\nALARM"), Patience);
    VerifyStatusLine(w, QStringLiteral("X HARD LIMIT\nALARM"), 11, 0xFFF43D42, true);
    const bool before = Shown(w.lbl_Machine_Status);
    QTRY_COMPARE_WITH_TIMEOUT(Shown(w.lbl_Machine_Status), !before, 5000);
    QTest::qWait(600);
    QCOMPARE(w.lbl_Machine_Status->text(), QStringLiteral("X HARD LIMIT\nALARM"));

    // The alarm clears: the machine state is drawn, then the pending tool change.
    rig.simulator.SetAlarm(255);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Change Tool"), Patience);
    VerifyStatusLine(w, QStringLiteral("Change Tool"), 16, 0xFFF43D42, true);

    rig.simulator.SetToolChangeRequest(false);
    QTRY_VERIFY_WITH_TIMEOUT(w.lbl_Machine_Status->text() == QStringLiteral("Machine Stopped") &&
                                 Shown(w.lbl_Machine_Status),
                             Patience);
    VerifyStatusLine(w, QStringLiteral("Machine Stopped"), 12, 0xFFDBC2C2, false);
}

void LinkWithWindowTest::resetClickSetsTheJobCountToZero() {
    Rig rig(89);
    QVERIFY(rig.Start());
    rig.simulator.SetJobCount(12);
    rig.Connect();
    TfrmMain& w = rig.Main();
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Jobs->text(), QStringLiteral("Jobs: 12"), Patience);
    Click(w.Img_Button_Parts_Reset);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Jobs->text(), QStringLiteral("Jobs: 0"), Patience);
    QCOMPARE(rig.simulator.JobCount(), 0);
    QVERIFY(rig.simulator.RequestCount(LinkCommand::ResetJobCount) >= 1);
    QTRY_COMPARE_WITH_TIMEOUT(rig.State(), int(LinkPolling), Patience);
}

void LinkWithWindowTest::silentControllerBringsBackTheConnectingView() {
    Rig rig(90, {}, [](SettingsRecord& r) { r.ToolsPanelOpen.Set(true); });
    QVERIFY(rig.Start());
    rig.Connect();
    TfrmMain& w = rig.Main();
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);
    QCOMPARE(w.width(), 536);

    rig.simulator.SetSilent(true);
    QTest::qWait(500); // replies already on their way arrive
    // The watchdog runs out: its next tick brings back the connecting view.
    w.Link().LinkStatus.ConnectionWatchdog.store(0);
    w.Controller().tmr_Connection_TimeoutTimer();
    QCOMPARE(rig.State(), int(LinkConnecting));
    QCOMPARE(w.lbl_Machine_Status->text(), QStringLiteral("Connecting..."));
    QCOMPARE(w.lbl_NC_File_Name->text(), QStringLiteral("Trying to connect to\nIP: 127.0.0.90"));
    QVERIFY(w.tmr_Messgae_Blink->isActive());
    QVERIFY(!w.Controller().tmr_Connection_Timeout.isActive());
    QCOMPARE(w.width(), 268);
    for (QWidget* control : ConnectedControls(w))
        if (control != w.lbl_NC_File_Name)
            QVERIFY2(!Shown(control), qPrintable(control->objectName()));
    QTest::qWait(400);
    QCOMPARE(rig.State(), int(LinkConnecting)); // still nobody answers

    rig.simulator.SetSilent(false);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);
    QCOMPARE(w.width(), 536);
    QVERIFY(!w.tmr_Messgae_Blink->isActive());
    QVERIFY(Shown(w.lbl_Jobs));
}

void LinkWithWindowTest::toolFetchShowsProgressAndTheFirstTenTools() {
    sim::SimulatorOptions options;
    for (int n = 1; n <= sim::MaxToolNumber; ++n)
        options.toolNames[size_t(n)] = "End Mill " + QByteArray::number(n) + "mm";
    options.replyDelayMs = 5; // a fetch that lasts long enough for the ring to count it
    Rig rig(91, options, [](SettingsRecord& r) { r.ToolsPanelOpen.Set(true); });
    QVERIFY(rig.Start());
    rig.simulator.SetJobProgress(40);
    rig.Connect();
    TfrmMain& w = rig.Main();
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(w.Ring->ShownPicture(), 40, Patience);
    w.Tools->PositionToolList(300);
    QVERIFY(w.Tools->FirstShownTool() > 1);

    QStringList percentages;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&] {
        const QString text = w.lbl_Progress_Bar_Percentage->text();
        if (percentages.isEmpty() || percentages.last() != text)
            percentages << text;
    });
    sampler.start(1);

    Click(w.Tools->Img_Get_Tools_Data);
    QCOMPARE(rig.State(), int(LinkFetchingTools));
    VerifyStatusLine(w, QStringLiteral("Getting Tools\nData"), 12, 0xFF64E168, false);
    QVERIFY(!Shown(w.Img_Send_File_Connect));
    QVERIFY(!Shown(w.Img_Drop_NC_File));
    QVERIFY(!w.acceptDrops());
    QCOMPARE(w.Controller().tmr_Get_KORVA_Info.interval(), 10);
    QTRY_COMPARE_WITH_TIMEOUT(w.Tools->lbl_Tool_Name_Row[0]->text(), QStringLiteral("End Mill 1mm"), 120000);
    sampler.stop();
    QTRY_COMPARE_WITH_TIMEOUT(rig.State(), int(LinkPolling), Patience);
    QCOMPARE(w.Tools->Img_Tools_Scrollbar->y(), 34);
    for (int row = 0; row < 10; ++row) {
        QCOMPARE(w.Tools->lbl_Tool_No_Row[size_t(row)]->text(), QString::number(row + 1));
        QCOMPARE(w.Tools->lbl_Tool_Name_Row[size_t(row)]->text(),
                 QStringLiteral("End Mill %1mm").arg(row + 1));
    }
    // The ring counted the tools asked for: rising percentages between the job's 40%.
    int fetchShown = 0;
    int previous = 0;
    for (const QString& text : percentages) {
        const int value = text.chopped(1).toInt();
        if (text == QStringLiteral("40%") && fetchShown == 0)
            continue;
        if (text == QStringLiteral("40%"))
            break; // the job progress is back
        QVERIFY2(value >= previous, qPrintable(percentages.join(QLatin1Char(' '))));
        previous = value;
        ++fetchShown;
    }
    QVERIFY2(fetchShown > 0, qPrintable(percentages.join(QLatin1Char(' '))));
    QVERIFY(previous <= 100);

    // Polling resumes and redraws the status line, the pictures, the drop switch and the ring.
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Progress_Bar_Percentage->text(), QStringLiteral("40%"), Patience);
    QVERIFY(Shown(w.Img_Send_File_Connect));
    QVERIFY(w.acceptDrops());
    QTRY_COMPARE_WITH_TIMEOUT(w.Controller().tmr_Get_KORVA_Info.interval(), 200, Patience);
}

void LinkWithWindowTest::disconnectReturnsToTheConnectWindow() {
    Rig rig(92);
    QVERIFY(rig.Start());
    rig.Connect();
    TfrmMain& w = rig.Main();
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Machine_Status->text(), QStringLiteral("Machine Stopped"), Patience);
    w.move(210, 220);
    Click(w.Img_Button_Disconnect);
    QVERIFY(rig.windows.errors.Texts().isEmpty());
    QVERIFY(!w.isVisible());
    QVERIFY(rig.windows.connectWindow->isVisible());
    QCOMPARE(rig.windows.connectWindow->pos(), QPoint(210, 220));
    QVERIFY(!rig.windows.Record().AutoConnect.IsSet());
    const SettingsRecord disk = rig.windows.settings.OnDisk();
    QVERIFY(!disk.AutoConnect.IsSet());
    QCOMPARE(QPoint(disk.WindowLeft, disk.WindowTop), QPoint(210, 220));
    QVERIFY(!w.Link().ReceiverRunning.load());
    QVERIFY(!w.Controller().tmr_Get_KORVA_Info.isActive());

    // Nothing more is asked of the controller.
    const int polls = rig.simulator.RequestCount(LinkCommand::Status);
    QTest::qWait(600);
    QCOMPARE(rig.simulator.RequestCount(LinkCommand::Status), polls);

    // Connect again: the main window comes back where the connect window was.
    rig.windows.connectWindow->move(230, 240);
    rig.Connect();
    QVERIFY(w.isVisible());
    QCOMPARE(w.pos(), QPoint(230, 240));
    QTRY_COMPARE_WITH_TIMEOUT(rig.State(), int(LinkPolling), Patience);
}

void LinkWithWindowTest::germanLocaleKeepsThePointAndTheColons() {
    GermanLocale german;
    sim::SimulatorOptions options;
    options.serialNumber = 7000;
    options.coreVersion = 3.1f;
    options.softwareName = "Mill 5-Axis";
    Rig rig(93, options);
    QVERIFY(rig.Start());
    rig.simulator.SetJobTimeSeconds(3909);
    rig.simulator.SetJobCount(1234);
    rig.Connect();
    TfrmMain& w = rig.Main();
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_NC_File_Sent_Time->text(), QStringLiteral("Job Time: 1:5:9"), Patience);
    QCOMPARE(w.lbl_KORVA_Info->text(), QStringLiteral("Serial No: K8-7000\nMill 5-Axis\nCore Version: 3.10"));
    QTRY_COMPARE_WITH_TIMEOUT(w.lbl_Jobs->text(), QStringLiteral("Jobs: 1234"), Patience);
}

QTEST_MAIN(LinkWithWindowTest)
#include "tst_link_with_window.moc"
