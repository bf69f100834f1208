// korva_screenshots <folder>: pictures of the program's windows, for people to look at.
//
// Writes splash.png, connect.png, main_connecting.png, main_running_job.png, main_alarm.png,
// main_tools.png and message.png. The main window talks to a simulated controller on 127.0.0.98
// inside this process (nothing else is ever addressed). Runs on any platform plugin; use
// QT_QPA_PLATFORM=offscreen without a display and QT_SCALE_FACTOR=2 for pictures at twice the size.

#include "app/SettingsRecord.h"
#include "app/ui/ConnectWindow.h"
#include "app/ui/ErrorHandler.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MessageWindow.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/ProgressRing.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/ToolsPanel.h"
#include "link/LinkStatus.h"
#include "sim/ControllerSimulator.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <functional>

using namespace korva;

namespace {

constexpr std::uint8_t ControllerOctet = 98;
constexpr int WaitMs = 20000;

bool Save(QWidget* window, const QString& folder, const QString& name) {
    // No text cursor in the pictures.
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
    const QString path = folder + QLatin1Char('/') + name;
    const bool ok = window->grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "could not write ") << path << Qt::endl;
    return ok;
}

// Lets the program run until the condition holds; false when it did not within the time.
bool WaitFor(const std::function<bool()>& condition, const char* what) {
    QDeadlineTimer deadline(WaitMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            QTextStream(stderr) << "timed out waiting for " << what << Qt::endl;
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void Settle(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// A blinking status line may be off at the moment of the picture; show it for the picture.
bool SaveMain(TfrmMain& main, const QString& folder, const QString& name) {
    main.lbl_Machine_Status->show();
    return Save(&main, folder, name);
}

} // namespace

int main(int argc, char** argv) {
    KorvaApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: korva_screenshots <folder>" << Qt::endl;
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot make " << folder << Qt::endl;
        return 1;
    }

    QTemporaryDir settingsFolder;
    SettingsStore settings(settingsFolder.path() + QLatin1Char('/'));
    TfrmStartup_Screen splash(settings); // loads (here: makes) the settings
    SettingsRecord& record = settings.Record();
    record.WindowLeft = 40;
    record.WindowTop = 40;
    record.MachineName.Assign(QStringLiteral("My Mill"));
    record.MappedFolder.Assign(QStringLiteral("JOBS"));
    record.ControllerIp = {127, 0, 0, ControllerOctet};
    Guarded([&] { settings.SaveSettings(); });

    TfrmConnect connectWindow(settings, splash.lbl_VersionInfo->text());
    TfrmMain mainWindow(settings, connectWindow);
    connectWindow.SetMainWindow(&mainWindow);
    TfrmMessage message(SettingsLoadStatus::Verified, &mainWindow);

    bool ok = true;
    splash.show();
    Settle(100);
    ok &= Save(&splash, folder, QStringLiteral("splash.png"));
    splash.hide();
    connectWindow.show();
    Settle(100);
    ok &= Save(&connectWindow, folder, QStringLiteral("connect.png"));

    // Connect before the controller is there: the connecting view.
    connectWindow.Img_Button_ConnectClick();
    Settle(300);
    ok &= SaveMain(mainWindow, folder, QStringLiteral("main_connecting.png"));

    sim::SimulatorOptions options;
    options.address = "127.0.0." + std::to_string(ControllerOctet);
    options.serialNumber = 7000;
    options.coreVersion = 3.1f;
    options.softwareName = "Mill 5-Axis";
    sim::ControllerSimulator controller(options);
    QString error;
    if (!controller.Start(&error)) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    controller.SetJobCount(42);
    controller.SetJobTimeSeconds(12 * 3600 + 31 * 60 + 7);
    controller.SetControllerFileName("bracket_left_v2.nc");
    controller.SetJobProgress(65);
    controller.SetMachineState(2);
    ok &= WaitFor(
        [&] {
            return mainWindow.lbl_Machine_Status->text() == QStringLiteral("Machining") &&
                   mainWindow.Ring->ShownPicture() == 65 &&
                   mainWindow.lbl_Jobs->text() == QStringLiteral("Jobs: 42");
        },
        "the running job");
    Settle(100);
    ok &= SaveMain(mainWindow, folder, QStringLiteral("main_running_job.png"));

    controller.SetAlarm(12);
    ok &= WaitFor([&] { return mainWindow.lbl_Machine_Status->text().startsWith(QStringLiteral("SPINDLE")); },
                  "the alarm");
    ok &= SaveMain(mainWindow, folder, QStringLiteral("main_alarm.png"));

    controller.SetAlarm(LinkPacket::NoAlarm);
    controller.SetMachineState(0);
    controller.SetJobProgress(100);
    ok &= WaitFor([&] { return mainWindow.lbl_Machine_Status->text() == QStringLiteral("Machine Stopped"); },
                  "the stopped machine");
    mainWindow.Img_Button_ToolsClick();
    mainWindow.Img_Get_Tools_DataClick();
    ok &= WaitFor(
        [&] {
            return mainWindow.Link().LinkStatus.LinkState.load() == LinkPolling &&
                   mainWindow.Tools->lbl_Tool_Name_Row[0]->text() != QStringLiteral("-") &&
                   mainWindow.lbl_Machine_Status->text() == QStringLiteral("Machine Stopped");
        },
        "the tool table");
    Settle(300);
    ok &= SaveMain(mainWindow, folder, QStringLiteral("main_tools.png"));

    message.ShowMessage(QStringLiteral("Settings data file not found.\nResetting to defaults"));
    Settle(100);
    ok &= Save(&message, folder, QStringLiteral("message.png"));
    return ok ? 0 : 1;
}
