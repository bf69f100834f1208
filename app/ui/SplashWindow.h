#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QTimer;

namespace korva {

class ImageView;
class OptimalFillLabel;
class SettingsStore;

// The splash window `frmStartup_Screen`: borderless, 439 x 95, shown for three seconds at start.
//
// Its creation step loads the settings (into the store, whose folder is the application data
// folder), starts the one-shot hand-over timer and writes the version text. When the timer fires
// it shows the main window (AutoConnect set) or the connect window and hides itself.
class TfrmStartup_Screen : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 439;
    static constexpr int DesignHeight = 95;
    static constexpr int HandOverMs = 3000;

    explicit TfrmStartup_Screen(SettingsStore& settings, QWidget* parent = nullptr);

    // "KORVA Rivo v<version>\nBuild: 7 March 2024".
    static QString VersionText(const QString& productVersion);

    // The windows the hand-over shows; set by the start-up once they exist.
    void SetHandOverWindows(QWidget* mainWindow, QWidget* connectWindow);

    ImageView* imgStartup;
    OptimalFillLabel* lbl_VersionInfo;
    QTimer* tmrStartup_Time;

    // Handlers.
    void FormShow();
    void FormWindowStateChange();
    void tmrStartup_TimeTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    SettingsStore& settings_;
    QPointer<QWidget> mainWindow_;
    QPointer<QWidget> connectWindow_;
};

} // namespace korva
