#include "app/ui/ConnectWindow.h"

#include "app/SettingsRecord.h"
#include "app/ui/ClickableLabel.h"
#include "app/ui/DesktopOpener.h"
#include "app/ui/ErrorHandler.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageLists.h"
#include "app/ui/OctetInput.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/Placement.h"
#include "app/ui/TitleStrip.h"
#include "app/ui/WindowChrome.h"
#include "app/ui/WindowLook.h"
#include "assets/Pictures.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QShowEvent>

namespace korva {

namespace {

constexpr int TickEmpty = 0;
constexpr int TickTicked = 1;

QLineEdit* MakeEditBox(QWidget* parent, const char* name, const QString& accessibleName, QRect place) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessibleName);
    look::StyleEditBox(edit, 11);
    edit->setGeometry(place);
    return edit;
}

} // namespace

TfrmConnect::TfrmConnect(SettingsStore& settings, const QString& versionText, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), settings_(settings) {
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("KORVA Rivo"));
    look::SetBackgroundColour(this, look::WindowBackground);

    ImgMain_Window = new ImageView(this);
    ImgMain_Window->setObjectName(QStringLiteral("ImgMain_Window"));
    ImgMain_Window->setGeometry(0, 0, DesignWidth, DesignHeight);
    ImgMain_Window->SetPicture(assets::Picture(QStringLiteral("ImgMain_Window")));

    // The window's size is that of its background picture.
    resize(ImgMain_Window->size());

    Chrome = new WindowChrome(this, WindowChrome::MinimiseRelease::ReleaseShowsNormalPair);
    Img_Close_Window = Chrome->Img_Close_Window;
    Img_Minimize_Window = Chrome->Img_Minimize_Window;
    lbl_Form_Titlebar_Move = Chrome->lbl_Form_Titlebar_Move;
    Img_Titlebar_Icon = Chrome->Img_Titlebar_Icon;
    lbl_Window_Title = Chrome->lbl_Window_Title;
    Chrome->SetStripWidth(StripWidth);
    lbl_Window_Title->SetClickable(true);

    Img_My_KORVA_Network_Tick = new ImageButton(QStringLiteral("Connected to My KORVA network"), this);
    Img_My_KORVA_Network_Tick->setObjectName(QStringLiteral("Img_My_KORVA_Network_Tick"));
    Img_My_KORVA_Network_Tick->SetImageList(ImageListPictures(QStringLiteral("ImageList_Tickbox")));
    Img_My_KORVA_Network_Tick->SetCheckable(true);
    Img_My_KORVA_Network_Tick->ShowPicture(TickEmpty);
    Img_My_KORVA_Network_Tick->setGeometry(41, 171, 14, 14);

    lbl_Connected_To_My_KORVA = new QLabel(QStringLiteral("Connected to My KORVA network"), this);
    lbl_Connected_To_My_KORVA->setObjectName(QStringLiteral("lbl_Connected_To_My_KORVA"));
    look::StyleLabel(lbl_Connected_To_My_KORVA, look::Text, 11);
    lbl_Connected_To_My_KORVA->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl_Connected_To_My_KORVA->setGeometry(60, 171, 169, 13);

    Img_IP_Addr_Boxes = new ImageView(this);
    Img_IP_Addr_Boxes->setObjectName(QStringLiteral("Img_IP_Addr_Boxes"));
    Img_IP_Addr_Boxes->SetPicture(assets::Picture(QStringLiteral("Img_IP_Addr_Boxes")));
    Img_IP_Addr_Boxes->setGeometry(55, 194, 159, 20);

    const char* octetNames[4] = {"Edit_IP0", "Edit_IP1", "Edit_IP2", "Edit_IP3"};
    QLineEdit** octetBoxes[4] = {&Edit_IP0, &Edit_IP1, &Edit_IP2, &Edit_IP3};
    const auto* digitsOnly =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < 4; ++i) {
        QLineEdit* edit = MakeEditBox(this, octetNames[i], QStringLiteral("Address number %1").arg(i + 1),
                                      QRect(56 + 42 * i, 196, 31, 16));
        edit->setAlignment(Qt::AlignCenter);
        edit->setMaxLength(3);
        edit->setValidator(digitsOnly);
        edit->setText(QStringLiteral("0"));
        *octetBoxes[i] = edit;
    }

    Img_Button_Connect = new ImageButton(QStringLiteral("Connect"), this);
    Img_Button_Connect->setObjectName(QStringLiteral("Img_Button_Connect"));
    Img_Button_Connect->SetImageList(ImageListPictures(QStringLiteral("ImageList_Connect_Button")));
    Img_Button_Connect->SetPictureTable(ButtonPictures::Ordinary());
    Img_Button_Connect->ShowPicture(0);
    Img_Button_Connect->setGeometry(41, 224, 187, 20);

    Edit_Machine_Name =
        MakeEditBox(this, "Edit_Machine_Name", QStringLiteral("Machine name"), QRect(48, 298, 180, 16));
    Edit_Machine_Name->setMaxLength(32767);

    lbl_Machine_Name_Hint = new QLabel(
        QStringLiteral("Give a name of your machine for your reference.\nExample: My Mill - Main Workshop"),
        this);
    lbl_Machine_Name_Hint->setObjectName(QStringLiteral("lbl_Machine_Name_Hint"));
    look::StyleLabel(lbl_Machine_Name_Hint, look::Text, 9);
    lbl_Machine_Name_Hint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl_Machine_Name_Hint->setGeometry(0, 320, 267, 22);

    Label_Docs_Link = new ClickableLabel(this);
    Label_Docs_Link->setObjectName(QStringLiteral("Label_Docs_Link"));
    Label_Docs_Link->setText(QStringLiteral("KORVA Documentation"));
    look::StyleLabel(Label_Docs_Link, look::Accent, 11);
    Label_Docs_Link->setAlignment(Qt::AlignCenter);
    Label_Docs_Link->setCursor(Qt::PointingHandCursor);
    Label_Docs_Link->move(62, 367);
    Label_Docs_Link->adjustSize();

    // The creation step.
    lbl_VersionInfo = new OptimalFillLabel(this);
    lbl_VersionInfo->setObjectName(QStringLiteral("lbl_VersionInfo"));
    look::StyleLabel(lbl_VersionInfo, look::Text, 11);
    lbl_VersionInfo->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lbl_VersionInfo->setGeometry(154, 405, 110, 28);
    lbl_VersionInfo->SetClickable(true);
    move(settings_.Record().WindowLeft, settings_.Record().WindowTop);
    lbl_VersionInfo->setText(versionText);
    Chrome->ShowNormalPair();
    Chrome->CentreTitle();
    lbl_Window_Title->raise();

    connect(Chrome, &WindowChrome::CloseClicked, this, &TfrmConnect::Img_Close_WindowClick);
    connect(Chrome, &WindowChrome::MinimiseClicked, this, &TfrmConnect::Img_Minimize_WindowClick);
    connect(Img_My_KORVA_Network_Tick, &ImageButton::Clicked, this,
            &TfrmConnect::Img_My_KORVA_Network_TickClick);
    connect(Edit_Machine_Name, &QLineEdit::textEdited, this, &TfrmConnect::Edit_Machine_NameChange);
    connect(Img_Button_Connect, &ImageButton::Clicked, this, &TfrmConnect::Img_Button_ConnectClick);
    connect(Label_Docs_Link, &ClickableLabel::Clicked, this, &TfrmConnect::Label_Docs_LinkClick);
    connect(lbl_VersionInfo, &ClickableLabel::Clicked, this, &TfrmConnect::Label_Docs_LinkClick);
    connect(lbl_Window_Title, &ClickableLabel::Clicked, this, &TfrmConnect::Label_Docs_LinkClick);
}

TfrmConnect::~TfrmConnect() {
    FormDestroy();
}

void TfrmConnect::SetMainWindow(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
}

void TfrmConnect::ShowOwnNetwork(bool on) {
    Img_My_KORVA_Network_Tick->ShowPicture(on ? TickTicked : TickEmpty);
    Img_My_KORVA_Network_Tick->SetChecked(on);
    Img_IP_Addr_Boxes->setVisible(!on);
    for (QLineEdit* box : OctetBoxes())
        box->setVisible(!on);
}

void TfrmConnect::FillFromSettings() {
    const SettingsRecord& record = settings_.Record();
    ShowOwnNetwork(record.UseOwnNetwork.IsSet());
    Edit_Machine_Name->setText(record.MachineName.Text());
    const auto boxes = OctetBoxes();
    for (int i = 0; i < 4; ++i)
        boxes[i]->setText(QString::number(record.ControllerIp[i]));
}

void TfrmConnect::FormShow() {
    ImgMain_Window->update();
    const SettingsRecord& record = settings_.Record();
    const QPoint stored(record.WindowLeft, record.WindowTop);
    move(stored);
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (!primary || screens.isEmpty())
        return;
    move(
        placement::ConnectPlacement(stored, size(), primary->virtualGeometry(), screens.first()->geometry()));
}

void TfrmConnect::FormClose() {
    QCoreApplication::exit(0);
}

void TfrmConnect::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    Guarded([this] {
        SettingsRecord& record = settings_.Record();
        if (record.AutoConnect.IsSet())
            return;
        record.WindowLeft = x();
        record.WindowTop = y();
        settings_.SaveSettings();
    });
}

void TfrmConnect::Img_Close_WindowClick() {
    FormClose();
}

void TfrmConnect::Img_Minimize_WindowClick() {
    setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

void TfrmConnect::Img_My_KORVA_Network_TickClick() {
    Guarded([this] {
        SettingsRecord& record = settings_.Record();
        const bool on = !record.UseOwnNetwork.IsSet();
        ShowOwnNetwork(on);
        record.UseOwnNetwork.Set(on);
        settings_.SaveSettings();
    });
}

void TfrmConnect::Edit_Machine_NameChange() {
    Guarded([this] {
        settings_.Record().MachineName.Assign(Edit_Machine_Name->text());
        settings_.SaveSettings();
    });
}

void TfrmConnect::Img_Button_ConnectClick() {
    const bool connected = Guarded([this] {
        // Every box is read, shown or hidden; the first that holds no address number stops the
        // action before anything is changed.
        std::array<std::uint8_t, 4> octets{};
        const auto boxes = OctetBoxes();
        for (int i = 0; i < 4; ++i)
            octets[i] = ParseOctet(boxes[i]->text());

        SettingsRecord& record = settings_.Record();
        const SettingsRecord before = record;
        record.ControllerIp = octets;
        record.AutoConnect.Set(true);
        record.WindowLeft = x();
        record.WindowTop = y();
        try {
            settings_.SaveSettings();
        } catch (...) {
            // Not connected after all: a later save must not store AutoConnect or this address.
            record.ControllerIp = before.ControllerIp;
            record.AutoConnect = before.AutoConnect;
            record.WindowLeft = before.WindowLeft;
            record.WindowTop = before.WindowTop;
            throw;
        }
    });
    if (!connected)
        return;
    hide();
    if (mainWindow_)
        mainWindow_->show();
    Guarded([this] { Q_EMIT StartConnectionRequested(); });
}

void TfrmConnect::Label_Docs_LinkClick() {
    OpenDocumentation();
}

void TfrmConnect::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmConnect::closeEvent(QCloseEvent* event) {
    event->accept();
    FormClose();
}

} // namespace korva
