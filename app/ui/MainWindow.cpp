#include "app/ui/MainWindow.h"

#include "app/SettingsRecord.h"
#include "app/ui/ClickableLabel.h"
#include "app/ui/ConnectWindow.h"
#include "app/ui/ErrorHandler.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageLists.h"
#include "app/ui/ImageView.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/ProgressRing.h"
#include "app/ui/StatusLineLabel.h"
#include "app/ui/TitleStrip.h"
#include "app/ui/ToolsPanel.h"
#include "app/ui/WindowChrome.h"
#include "app/ui/WindowLook.h"
#include "assets/Pictures.h"
#include "link/ConnectionController.h"
#include "link/LinkStatus.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

namespace korva {

namespace {

// Pictures of ImageList_Tools_Button: 0..2 with the panel closed, 3..5 with it open.
constexpr ButtonPictures ToolsButtonClosed{1, 0, 2, ButtonPictures::NoChange};
constexpr ButtonPictures ToolsButtonOpen{4, 3, 5, ButtonPictures::NoChange};
constexpr int ToolsClosedHover = 1;
constexpr int ToolsOpenNormal = 3;

constexpr int BlinkMs = 500;
constexpr int FileSentTickMs = 1000;

ImageView* MakePicture(QWidget* window, const char* name, QRect place) {
    auto* view = new ImageView(window);
    view->setObjectName(QLatin1String(name));
    view->SetPicture(assets::Picture(QLatin1String(name)));
    view->setGeometry(place);
    return view;
}

ImageButton* MakeButton(QWidget* window, const char* name, const QString& caption, const char* list,
                        const ButtonPictures& table, QRect place) {
    auto* button = new ImageButton(caption, window);
    button->setObjectName(QLatin1String(name));
    button->SetImageList(ImageListPictures(QLatin1String(list)));
    button->SetPictureTable(table);
    button->ShowPicture(0);
    button->setGeometry(place);
    return button;
}

// An image control used as a button that has one picture, stretched proportionally.
ImageButton* MakeIconButton(QWidget* window, const char* name, const QString& caption, QRect place) {
    auto* button = new ImageButton(caption, window);
    button->setObjectName(QLatin1String(name));
    button->SetImageList({assets::Picture(QLatin1String(name))});
    button->SetStretchToFill(false);
    button->ShowPicture(0);
    button->setGeometry(place);
    return button;
}

QLabel* MakeLabel(QWidget* window, const char* name, QRgb colour, int pixelSize, Qt::Alignment alignment,
                  QRect place) {
    auto* label = new QLabel(window);
    label->setObjectName(QLatin1String(name));
    look::StyleLabel(label, colour, pixelSize);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(place);
    return label;
}

OptimalFillLabel* MakeFillLabel(QWidget* window, const char* name, QRgb colour, int startPixelSize,
                                QRect place) {
    auto* label = new OptimalFillLabel(window);
    label->setObjectName(QLatin1String(name));
    look::StyleLabel(label, colour, startPixelSize);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(place);
    return label;
}

} // namespace

TfrmMain::TfrmMain(SettingsStore& settings, TfrmConnect& connectWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), settings_(settings),
      connectWindow_(connectWindow), link_(std::make_unique<LinkShared>()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("KORVA Rivo"));
    look::SetBackgroundColour(this, look::WindowBackground);
    setAcceptDrops(true);
    setFixedSize(NarrowWidth, DesignHeight);

    CreateControls();
    statusPanel_ = std::make_unique<StatusPanel>(*link_, *this, CurrentFile);
    controller_ = std::make_unique<ConnectionController>(*link_, *this);
    ConnectHandlers();
    CreationStep();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
}

void TfrmMain::CreateControls() {
    ImgMain_Window_Normal =
        MakePicture(this, "ImgMain_Window_Normal", QRect(0, 0, NarrowWidth, DesignHeight));
    ImgMain_Window_Normal->SetStretchToFill(true);
    ImgMain_Window_With_Tools =
        MakePicture(this, "ImgMain_Window_With_Tools", QRect(0, 0, WideWidth, DesignHeight));
    ImgMain_Window_With_Tools->SetStretchToFill(true);
    ImgMain_Window_With_Tools->hide();

    Chrome = new WindowChrome(this, WindowChrome::MinimiseRelease::ReleaseKeepsPictures);
    Img_Close_Window = Chrome->Img_Close_Window;
    Img_Minimize_Window = Chrome->Img_Minimize_Window;
    lbl_Form_Titlebar_Move = Chrome->lbl_Form_Titlebar_Move;
    Img_Titlebar_Icon = Chrome->Img_Titlebar_Icon;
    lbl_Window_Title = Chrome->lbl_Window_Title;

    Img_Settings_ICON =
        MakeIconButton(this, "Img_Settings_ICON", QStringLiteral("Map a folder"), QRect(6, 24, 18, 24));

    lbl_Machine_Name =
        MakeLabel(this, "lbl_Machine_Name", look::MachineName, 30, Qt::AlignCenter, QRect(26, 25, 205, 34));
    Img_Button_Disconnect =
        MakeButton(this, "Img_Button_Disconnect", QStringLiteral("Disconnect"), "ImageList_Disconnect_Button",
                   {1, 0, ButtonPictures::NoChange, ButtonPictures::NoChange}, QRect(41, 72, 187, 20));

    Ring = new ProgressRing(this);
    Img_ProgressBar = Ring->Img_ProgressBar;
    lbl_Progress_Bar_Percentage = Ring->lbl_Progress_Bar_Percentage;

    Img_Drop_NC_File = MakePicture(this, "Img_Drop_NC_File", QRect(115, 193, 39, 40));
    Img_Drop_NC_File->setAccessibleName(QStringLiteral("Drop a G-code file here"));

    // The status line keeps the point size of each look; a text too wide for the box breaks at its
    // spaces, or is shortened where that would make it too tall.
    lbl_Machine_Status = new StatusLineLabel(this);
    lbl_Machine_Status->setObjectName(QStringLiteral("lbl_Machine_Status"));
    look::StyleLabel(lbl_Machine_Status, look::Text, 16);
    lbl_Machine_Status->setGeometry(70, 159, 128, 41);

    lbl_NC_File_Name = MakeFillLabel(this, "lbl_NC_File_Name", look::Accent, 15,
                                     QRect(17, FileLineTop, 234, FileLineTwoLineHeight));
    lbl_NC_File_Sent_Time =
        MakeLabel(this, "lbl_NC_File_Sent_Time", look::Text, 11, Qt::AlignCenter, QRect(17, 268, 234, 16));

    Img_Editbox_KORVA_Folder_Name =
        MakePicture(this, "Img_Editbox_KORVA_Folder_Name", QRect(40, 283, 187, 20));
    Edit_KORVA_Folder = new QLineEdit(this);
    Edit_KORVA_Folder->setObjectName(QStringLiteral("Edit_KORVA_Folder"));
    Edit_KORVA_Folder->setAccessibleName(QStringLiteral("Folder on the USB drive"));
    look::StyleEditBox(Edit_KORVA_Folder, 11);
    Edit_KORVA_Folder->setGeometry(44, 285, 155, 16);
    // Files dropped on the box go to the window like anywhere else.
    Edit_KORVA_Folder->setAcceptDrops(false);

    Img_Send_File_Connect =
        MakeButton(this, "Img_Send_File_Connect", QStringLiteral("Send File"), "ImageList_Send_File_Button",
                   ButtonPictures::Ordinary(), QRect(41, 309, 187, 20));
    Img_Button_Tools = MakeButton(this, "Img_Button_Tools", QStringLiteral("Tools"), "ImageList_Tools_Button",
                                  ToolsButtonClosed, QRect(41, 337, 187, 20));

    lbl_Jobs = MakeLabel(this, "lbl_Jobs", look::Text, 17, Qt::AlignLeft | Qt::AlignVCenter,
                         QRect(41, 362, 105, 20));
    lbl_Jobs->setText(QStringLiteral("Jobs:"));
    Img_Button_Parts_Reset =
        MakeButton(this, "Img_Button_Parts_Reset", QStringLiteral("Reset"), "ImageList_Reset_Button",
                   ButtonPictures::Ordinary(), QRect(155, 364, 73, 18));

    lbl_KORVA_Info = MakeFillLabel(this, "lbl_KORVA_Info", look::Text, 14, QRect(30, 392, 209, 49));
    Img_QR_Code_ICON =
        MakeIconButton(this, "Img_QR_Code_ICON", QStringLiteral("Save QR code"), QRect(6, 405, 25, 25));

    Tools = new ToolsPanel(this, *link_);

    // Held only for the QR picture; it lies outside the window's visible area.
    Img_MAKE_WITH_KORVA_LOGO = MakePicture(this, "Img_MAKE_WITH_KORVA_LOGO", QRect(560, 140, 160, 33));

    tmr_Messgae_Blink = new QTimer(this);
    tmr_Messgae_Blink->setObjectName(QStringLiteral("tmr_Messgae_Blink"));
    tmr_Messgae_Blink->setInterval(BlinkMs);
    tmr_File_Sent_Time = new QTimer(this);
    tmr_File_Sent_Time->setObjectName(QStringLiteral("tmr_File_Sent_Time"));
    tmr_File_Sent_Time->setInterval(FileSentTickMs);
}

void TfrmMain::ConnectHandlers() {
    connect(Chrome, &WindowChrome::CloseClicked, this, &TfrmMain::Img_Close_WindowClick);
    connect(Chrome, &WindowChrome::MinimiseClicked, this, &TfrmMain::Img_Minimize_WindowClick);
    connect(Img_Button_Disconnect, &ImageButton::Clicked, this, &TfrmMain::Img_Button_DisconnectClick);
    connect(Img_Button_Parts_Reset, &ImageButton::Clicked, this, &TfrmMain::Img_Button_Parts_ResetClick);
    connect(Tools->Img_Get_Tools_Data, &ImageButton::Clicked, this, &TfrmMain::Img_Get_Tools_DataClick);
    connect(Img_Button_Tools, &ImageButton::Clicked, this, &TfrmMain::Img_Button_ToolsClick);
    connect(tmr_Messgae_Blink, &QTimer::timeout, this, &TfrmMain::tmr_Messgae_BlinkTimer);
    connect(&connectWindow_, &TfrmConnect::StartConnectionRequested, this, &TfrmMain::StartConnection);
}

void TfrmMain::CreationStep() {
    const SettingsRecord& record = settings_.Record();

    // Starting fonts of the two fitted labels; both fit their text to their boxes from here on.
    look::SetPixelFont(lbl_KORVA_Info, 14);
    look::SetPixelFont(lbl_NC_File_Name, 15);

    // Close and minimise show the connect window's normal pair; the strip and the title.
    Chrome->ShowNormalPair();
    Img_Close_Window->move(3, 3);
    Img_Minimize_Window->move(42, 3);
    lbl_Form_Titlebar_Move->move(WindowChrome::StripLeft, 0);
    lbl_Form_Titlebar_Move->setText(QString());
    look::SetBackgroundColour(lbl_Form_Titlebar_Move, look::TitleStrip);
    lbl_Window_Title->setText(QStringLiteral("KORVA Rivo"));
    lbl_Window_Title->raise();

    Tools->ListToolCount = 100;
    Tools->ListVisibleRows = toollist::VisibleRows;
    Tools->ChooseToolThumb();

    link_->SetAllToolNames("-");

    ShowToolsButtonPictures();
    ApplyToolsPanelLayout();

    Tools->lbl_Tools_Sliderbar_Back->setText(QString());
    Tools->lbl_Tools_Sliderbar_Back->setAutoFillBackground(false);

    Edit_KORVA_Folder->setText(record.MappedFolder.Text());

    connectWindow_.FillFromSettings();
    lbl_Machine_Name->setText(record.MachineName.Text());

    lbl_NC_File_Sent_Time->setText(QString());

    // Start where the window will be shown, so that a notice at start-up is centred over the place
    // the user works in rather than over the screen's corner.
    move(record.WindowLeft, record.WindowTop);

    if (record.AutoConnect.IsSet())
        StartConnection();
}

void TfrmMain::StartConnection() {
    const SettingsRecord& record = settings_.Record();
    controller_->StartConnection(record.UseOwnNetwork.IsSet(), record.ControllerIp,
                                 record.MachineName.Text());
}

// ---- Lifecycle

void TfrmMain::FormShow() {
    ImgMain_Window_With_Tools->update();
    const SettingsRecord& record = settings_.Record();
    move(record.WindowLeft, record.WindowTop);
}

void TfrmMain::FormWindowStateChange() {
    const Qt::WindowStates sizeStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    const Qt::WindowStates state = windowState() & sizeStates;
    if (state == Qt::WindowNoState) {
        minimisedByButton_ = false;
        return;
    }
    // The minimise button's own minimising stays until the user restores the window.
    if (state == Qt::WindowMinimized && minimisedByButton_)
        return;
    minimisedByButton_ = false;
    setWindowState(windowState() & ~sizeStates);
}

void TfrmMain::FormClose() {
    QCoreApplication::exit(0);
}

void TfrmMain::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    tmr_Messgae_Blink->stop();
    tmr_File_Sent_Time->stop();
    controller_->Shutdown();
    Guarded([this] {
        SettingsRecord& record = settings_.Record();
        if (!record.AutoConnect.IsSet())
            return; // the connect window stores its own position
        record.WindowLeft = x();
        record.WindowTop = y();
        settings_.SaveSettings();
    });
}

void TfrmMain::Img_Close_WindowClick() {
    FormClose();
}

void TfrmMain::Img_Minimize_WindowClick() {
    minimisedByButton_ = true;
    setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FormWindowStateChange();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    FormClose();
}

// ---- Clicks

void TfrmMain::Img_Button_DisconnectClick() {
    controller_->Img_Button_DisconnectClick();
    const bool saved = Guarded([this] {
        SettingsRecord& record = settings_.Record();
        record.AutoConnect.Set(false);
        record.WindowLeft = x();
        record.WindowTop = y();
        settings_.SaveSettings();
    });
    if (!saved)
        return;
    connectWindow_.show();
    hide();
}

void TfrmMain::Img_Button_Parts_ResetClick() {
    controller_->Img_Button_Parts_ResetClick();
}

void TfrmMain::Img_Get_Tools_DataClick() {
    controller_->Img_Get_Tools_DataClick();
}

void TfrmMain::Img_Button_ToolsClick() {
    Guarded([this] {
        SettingsFlag& panelOpen = settings_.Record().ToolsPanelOpen;
        const bool open = !panelOpen.IsSet();
        panelOpen.Set(open);
        try {
            settings_.SaveSettings();
        } catch (...) {
            // Not saved: the panel stays as it was, in the window and in the record.
            panelOpen.Set(!open);
            throw;
        }
        Img_Button_Tools->ShowPicture(open ? ToolsOpenNormal : ToolsClosedHover);
        ShowToolsButtonPictures();
        ApplyToolsPanelLayout();
    });
}

void TfrmMain::tmr_Messgae_BlinkTimer() {
    lbl_Machine_Status->setVisible(lbl_Machine_Status->isHidden());
}

void TfrmMain::ShowToolsButtonPictures() {
    Img_Button_Tools->SetPictureTable(settings_.Record().ToolsPanelOpen.IsSet() ? ToolsButtonOpen
                                                                                : ToolsButtonClosed);
}

// ---- Layout

void TfrmMain::ApplyToolsPanelLayout() {
    if (!settings_.Record().ToolsPanelOpen.IsSet()) {
        ApplyNarrowLayout();
        return;
    }
    Img_Button_Tools->ShowPicture(ToolsOpenNormal);
    ImgMain_Window_With_Tools->show();
    setFixedSize(ImgMain_Window_With_Tools->size());
    CentreTitleAndStrip();
}

void TfrmMain::ApplyNarrowLayout() {
    ImgMain_Window_With_Tools->hide();
    setFixedSize(ImgMain_Window_Normal->size());
    CentreTitleAndStrip();
}

void TfrmMain::CentreTitleAndStrip() {
    Chrome->CentreTitle();
    Chrome->SetStripWidth(width());
}

// ---- File drops

bool TfrmMain::FileDropsAllowed() const {
    return acceptDrops() && link_->LinkStatus.LinkState.load() != LinkSendingFile;
}

void TfrmMain::FormDropFiles(const QStringList& paths) {
    // Taking the dropped file in belongs to the file intake, which hooks in here.
    Q_UNUSED(paths);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (FileDropsAllowed() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* event) {
    if (FileDropsAllowed() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfrmMain::dropEvent(QDropEvent* event) {
    QStringList paths;
    if (FileDropsAllowed()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile())
                paths << url.toLocalFile();
        }
    }
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    FormDropFiles(paths);
}

} // namespace korva
