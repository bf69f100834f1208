#pragma once

#include "app/ui/StatusLineLabel.h"
#include "link/ConnectionView.h"
#include "status/StatusPanel.h"
#include "status/StatusView.h"
#include "transfer/CurrentFile.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QTimer;

namespace korva {

class ClickableLabel;
class ConnectionController;
class ImageButton;
class ImageView;
class LinkShared;
class OptimalFillLabel;
class ProgressRing;
class SettingsStore;
class TfrmConnect;
class TitleStrip;
class ToolsPanel;
class WindowChrome;

// The main window `frmMain`: borderless, 268 x 435 window points, 536 wide while the tools panel is
// open. It shows the connected controller (identity, status line, job counter and time, progress
// ring), the file line, and the tools panel; it accepts dropped files.
//
// The start-up creates it hidden, after the connect window. Its creation step fills the connect
// window from the settings and, when AutoConnect is set, starts connecting at once. It owns the
// program's link state (LinkShared), the connection controller that runs the link from its timers,
// and the chosen file (CurrentFile). The controller and the status panel draw into it through the
// ConnectionView and StatusView interfaces. Closing it ends the program; its destruction stops the
// worker threads and, while connected (AutoConnect), stores its position.
class TfrmMain : public QWidget, public ConnectionView, public StatusView {
    Q_OBJECT

public:
    static constexpr int NarrowWidth = 268;
    static constexpr int WideWidth = 536;
    static constexpr int DesignHeight = 435;
    static constexpr int DesignWidth = NarrowWidth;
    // The file line: one line (20 points) once the status panel or the file intake writes it, two
    // lines before (the connecting view's "Trying to connect to" text needs both).
    static constexpr int FileLineTop = 245;
    static constexpr int FileLineTwoLineHeight = 40;

    TfrmMain(SettingsStore& settings, TfrmConnect& connectWindow, QWidget* parent = nullptr);
    // Runs the destruction step.
    ~TfrmMain() override;

    TfrmMain(const TfrmMain&) = delete;
    TfrmMain& operator=(const TfrmMain&) = delete;

    LinkShared& Link() { return *link_; }
    ConnectionController& Controller() { return *controller_; }
    NC_File_To_Send_Structure CurrentFile;

    // Controls, under the program's names (the tool rows are in Tools).
    ImageView* ImgMain_Window_Normal;
    ImageView* ImgMain_Window_With_Tools;
    WindowChrome* Chrome;
    ImageButton* Img_Close_Window;
    ImageButton* Img_Minimize_Window;
    TitleStrip* lbl_Form_Titlebar_Move;
    ImageView* Img_Titlebar_Icon;
    ClickableLabel* lbl_Window_Title;
    ImageButton* Img_Settings_ICON;
    QLabel* lbl_Machine_Name;
    ImageButton* Img_Button_Disconnect;
    ProgressRing* Ring;
    ImageView* Img_ProgressBar;
    QLabel* lbl_Progress_Bar_Percentage;
    StatusLineLabel* lbl_Machine_Status;
    ImageView* Img_Drop_NC_File;
    OptimalFillLabel* lbl_NC_File_Name;
    QLabel* lbl_NC_File_Sent_Time;
    ImageView* Img_Editbox_KORVA_Folder_Name;
    QLineEdit* Edit_KORVA_Folder;
    ImageButton* Img_Send_File_Connect;
    ImageButton* Img_Button_Tools;
    QLabel* lbl_Jobs;
    ImageButton* Img_Button_Parts_Reset;
    OptimalFillLabel* lbl_KORVA_Info;
    ImageButton* Img_QR_Code_ICON;
    ImageView* Img_MAKE_WITH_KORVA_LOGO;
    ToolsPanel* Tools;
    QTimer* tmr_Messgae_Blink;
    QTimer* tmr_File_Sent_Time;

    // Starts a connection to the controller the settings name (the connect window's Connect button
    // and, with AutoConnect, the creation step).
    void StartConnection();

    // Handlers.
    void FormShow();
    void FormWindowStateChange();
    void FormClose();
    void FormDestroy();
    void Img_Close_WindowClick();
    void Img_Minimize_WindowClick();
    void Img_Button_DisconnectClick();
    void Img_Button_Parts_ResetClick();
    void Img_Get_Tools_DataClick();
    void Img_Button_ToolsClick();
    void tmr_Messgae_BlinkTimer();
    void FormDropFiles(const QStringList& paths);

    // Whether a file dropped now would be taken: drops are switched on and no file is being sent.
    bool FileDropsAllowed() const;

    // ---- ConnectionView
    void HideConnectedControls() override;
    void ShowStatusLine(const QString& text, int fontSize, std::uint32_t colour) override;
    void SetStatusBlink(bool enabled) override;
    void ShowFileLine(const QString& text, std::uint32_t colour) override;
    void ApplyNarrowLayout() override;
    void ShowProgressRing(std::int32_t percent) override;
    void SetMachineNameCaption(const QString& caption) override;
    void ShowConnectedControls() override;
    void SetFileLineText(const QString& text) override;
    void ApplyToolsPanelLayout() override;
    void ShowIdentity(const DecodedStatus& identity) override;
    void SetToolListCount(int toolCount) override;
    bool RefreshStatus(LinkShared& link) override;
    void SetFileDropsAccepted(bool accepted) override;
    void SetSendAndDropPicturesVisible(bool visible) override;
    void ShowToolFetchProgress(int requestedTool, int toolCount) override;
    void ShowToolFetchEnd() override;
    void StartFileSentLine() override;
    void ShowTransferOutcome(int transferResult) override;
    void ShowTransferProgress() override;

    // ---- StatusView
    void SetJobsText(const QString& text) override;
    void SetJobTimeText(const QString& text) override;
    void SetIdentityText(const QString& text) override;
    void SetStatusText(const QString& text) override;
    void SetStatusFontSize(int points) override;
    void SetStatusColour(std::uint32_t rgb) override;
    void SetStatusVisible(bool visible) override;
    void SetBlinkEnabled(bool enabled) override;
    void SetSendAndDropVisible(bool visible) override;
    void SetFileLineColour(std::uint32_t rgb) override;
    void SetFileLineHeight(int pixels) override;
    double ScreenDpi() const override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void CreationStep();
    void ConnectHandlers();
    void ShowToolsButtonPictures();
    void CentreTitleAndStrip();
    QList<QWidget*> ConnectedControls() const;

    SettingsStore& settings_;
    TfrmConnect& connectWindow_;
    std::unique_ptr<LinkShared> link_;
    std::unique_ptr<StatusPanel> statusPanel_;
    std::unique_ptr<ConnectionController> controller_;
    bool minimisedByButton_ = false;
    bool destroyed_ = false;
};

} // namespace korva
