#pragma once

#include "AppTestSupport.h"
#include "app/ui/ConnectWindow.h"
#include "app/ui/MainWindow.h"

#include <QPalette>
#include <functional>
#include <memory>

namespace korva::test {

// A connect window and a main window over fresh settings, with the error box replaced. The settings
// can be prepared before the main window's creation step reads them.
struct MainWindowFixture {
    explicit MainWindowFixture(const std::function<void(SettingsRecord&)>& prepare = {}) {
        if (prepare) {
            prepare(settings.Record());
            settings.Store().SaveSettings();
        }
        connectWindow = std::make_unique<TfrmConnect>(settings.Store(), QStringLiteral("KORVA Rivo v2.12"));
        main = std::make_unique<TfrmMain>(settings.Store(), *connectWindow);
        connectWindow->SetMainWindow(main.get());
    }

    SettingsRecord& Record() { return settings.Record(); }

    TempSettings settings;
    ErrorCapture errors;
    std::unique_ptr<TfrmConnect> connectWindow;
    std::unique_ptr<TfrmMain> main; // destroyed first
};

inline QRgb TextColour(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText).rgb();
}

// Shown in the window (whether or not the window itself is on screen).
inline bool Shown(const QWidget* widget) {
    return !widget->isHidden();
}

} // namespace korva::test
