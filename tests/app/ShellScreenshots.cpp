// Pictures of the shell's windows for people to look at:
//   korva_shell_screenshots <folder>
// writes splash.png, connect.png, connect_hover.png, connect_own_network.png, message.png and
// message_long.png (each at the screen's density; run with QT_SCALE_FACTOR=2 for the 2x look).

#include "app/SettingsRecord.h"
#include "app/ui/ConnectWindow.h"
#include "app/ui/ErrorHandler.h"
#include "app/ui/ImageButton.h"
#include "app/ui/MessageWindow.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/WindowChrome.h"

#include <QDir>
#include <QEnterEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

using namespace korva;

namespace {

bool Save(QWidget* window, const QString& folder, const QString& name) {
    const QString path = folder + QLatin1Char('/') + name;
    const bool ok = window->grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "could not write ") << path << '\n';
    return ok;
}

void Enter(QWidget* widget) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(widget, &event);
}

} // namespace

int main(int argc, char** argv) {
    KorvaApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: korva_shell_screenshots <folder>\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    QTemporaryDir settingsFolder;
    SettingsStore settings(settingsFolder.path() + QLatin1Char('/'));

    TfrmStartup_Screen splash(settings);
    TfrmConnect connectWindow(settings, splash.lbl_VersionInfo->text());
    connectWindow.FillFromSettings();
    connectWindow.Edit_Machine_Name->setText(QStringLiteral("My Mill - Main Workshop"));
    const QStringList octets{"192", "168", "1", "20"};
    for (int i = 0; i < 4; ++i)
        connectWindow.OctetBoxes()[i]->setText(octets[i]);
    QWidget mainWindow(nullptr, Qt::Window | Qt::FramelessWindowHint);
    mainWindow.setGeometry(100, 100, 268, 435);
    TfrmMessage message(SettingsLoadStatus::Verified, &mainWindow);
    message.ShowMessage(QStringLiteral("Settings data file not found.\nResetting to defaults"));

    bool ok = Save(&splash, folder, QStringLiteral("splash.png"));
    ok &= Save(&connectWindow, folder, QStringLiteral("connect.png"));
    Enter(connectWindow.Img_Close_Window);
    Enter(connectWindow.Img_Button_Connect);
    ok &= Save(&connectWindow, folder, QStringLiteral("connect_hover.png"));
    connectWindow.ShowOwnNetwork(true);
    connectWindow.Chrome->ShowNormalPair();
    ok &= Save(&connectWindow, folder, QStringLiteral("connect_own_network.png"));
    ok &= Save(&message, folder, QStringLiteral("message.png"));
    message.ShowMessage(
        QStringLiteral("A rather long message that does not fit on one line of the message box "
                       "and goes on and on until it runs out of the box at the bottom"));
    ok &= Save(&message, folder, QStringLiteral("message_long.png"));
    return ok ? 0 : 1;
}
