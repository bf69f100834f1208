#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;

namespace korva {

class ClickableLabel;
class ImageButton;
class ImageView;
class OptimalFillLabel;
class SettingsStore;
class TitleStrip;
class WindowChrome;

// The connect window `frmConnect`: borderless, 268 x 435 window points, with the window chrome.
//
// The user types the controller's address into four octet boxes or ticks the controller's own
// network, names the machine and presses Connect. Connect stores the address, sets AutoConnect,
// stores this window's position, saves, hides this window, shows the main window and emits
// StartConnectionRequested() (the main window connects it to StartConnection).
//
// The controls are filled from the settings by FillFromSettings(), which the main window's creation
// step calls (the tick pictures belong to the main window's artwork).
class TfrmConnect : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 268;
    static constexpr int DesignHeight = 435;
    static constexpr int StripWidth = 233;

    // versionText: the splash window's version text.
    TfrmConnect(SettingsStore& settings, const QString& versionText, QWidget* parent = nullptr);
    // Runs the destruction step (stores the position when AutoConnect is clear).
    ~TfrmConnect() override;

    // The window the Connect button shows.
    void SetMainWindow(QWidget* mainWindow);

    // The own-network look without saving: tick picture 1 and the address boxes hidden when on,
    // tick picture 0 and the boxes shown when off.
    void ShowOwnNetwork(bool on);

    // Tick and address boxes from UseOwnNetwork, machine name from MachineName, the octet boxes
    // from ControllerIp (decimal, no leading zeros). Saves nothing.
    void FillFromSettings();

    // Controls, under the program's names.
    ImageView* ImgMain_Window;
    WindowChrome* Chrome;
    ImageButton* Img_Close_Window;
    ImageButton* Img_Minimize_Window;
    TitleStrip* lbl_Form_Titlebar_Move;
    ImageView* Img_Titlebar_Icon;
    ClickableLabel* lbl_Window_Title;
    ImageButton* Img_My_KORVA_Network_Tick;
    QLabel* lbl_Connected_To_My_KORVA;
    ImageView* Img_IP_Addr_Boxes;
    QLineEdit* Edit_IP0;
    QLineEdit* Edit_IP1;
    QLineEdit* Edit_IP2;
    QLineEdit* Edit_IP3;
    ImageButton* Img_Button_Connect;
    QLineEdit* Edit_Machine_Name;
    QLabel* lbl_Machine_Name_Hint;
    ClickableLabel* Label_Docs_Link;
    OptimalFillLabel* lbl_VersionInfo;

    std::array<QLineEdit*, 4> OctetBoxes() const { return {Edit_IP0, Edit_IP1, Edit_IP2, Edit_IP3}; }

    // Handlers. Those that save or convert stop at an error and show it (general error handler).
    void FormShow();
    void FormClose();
    void FormDestroy();
    void Img_Close_WindowClick();
    void Img_Minimize_WindowClick();
    void Img_My_KORVA_Network_TickClick();
    void Edit_Machine_NameChange();
    void Img_Button_ConnectClick();
    void Label_Docs_LinkClick();

Q_SIGNALS:
    void StartConnectionRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    SettingsStore& settings_;
    QPointer<QWidget> mainWindow_;
    bool destroyed_ = false;
};

} // namespace korva
