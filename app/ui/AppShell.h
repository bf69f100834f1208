#pragma once

#include <QString>
#include <memory>

namespace korva {

class SettingsStore;
class TfrmConnect;
class TfrmMain;
class TfrmMessage;
class TfrmStartup_Screen;

// Start-up and end of the program's windows.
//
// Create() makes the four windows in their fixed order: the splash (which loads the settings), the
// connect window, the main window (which fills the connect window and connects at once when
// AutoConnect is set) and the message window (which reports a missing or damaged settings file).
// Start() shows the splash; three seconds later it hands over to the main or the connect window.
// The destructor destroys the windows in the reverse order, running their destruction steps.
class AppShell {
public:
    // appDataFolder: where the settings file lives, ending in "/"; empty means the folder that
    // contains the application bundle.
    explicit AppShell(QString appDataFolder = {});
    ~AppShell();

    AppShell(const AppShell&) = delete;
    AppShell& operator=(const AppShell&) = delete;

    void Create();
    void Start();
    // Create, Start and run the event loop; returns its exit code.
    int Run();

    SettingsStore& Settings() { return *settings_; }
    TfrmStartup_Screen* frmStartup_Screen() const { return splash_; }
    TfrmConnect* frmConnect() const { return connect_; }
    TfrmMain* frmMain() const { return main_; }
    TfrmMessage* frmMessage() const { return message_; }

private:
    std::unique_ptr<SettingsStore> settings_;
    TfrmStartup_Screen* splash_ = nullptr;
    TfrmConnect* connect_ = nullptr;
    TfrmMain* main_ = nullptr;
    TfrmMessage* message_ = nullptr;
};

} // namespace korva
