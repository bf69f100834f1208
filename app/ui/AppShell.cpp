#include "app/ui/AppShell.h"

#include "app/AppDataFolder.h"
#include "app/SettingsRecord.h"
#include "app/ui/ConnectWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MessageWindow.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/SplashWindow.h"

#include <QApplication>

namespace korva {

AppShell::AppShell(QString appDataFolder) {
    if (appDataFolder.isEmpty())
        appDataFolder = CurrentAppDataFolder();
    settings_ = std::make_unique<SettingsStore>(appDataFolder);
}

AppShell::~AppShell() {
    // The reverse of the creation order; the main and connect windows run their destruction steps.
    delete message_;
    delete main_;
    delete connect_;
    delete splash_;
}

void AppShell::Create() {
    splash_ = new TfrmStartup_Screen(*settings_);
    connect_ = new TfrmConnect(*settings_, splash_->lbl_VersionInfo->text());
    main_ = new TfrmMain(*settings_, *connect_);
    connect_->SetMainWindow(main_);
    splash_->SetHandOverWindows(main_, connect_);
    message_ = new TfrmMessage(settings_->LoadStatus(), main_);
}

void AppShell::Start() {
    splash_->show();
    // The message window, when the settings notice is up, stays in front of the splash.
    if (message_->isVisible())
        message_->raise();
}

int AppShell::Run() {
    Create();
    Start();
    return QApplication::exec();
}

} // namespace korva
