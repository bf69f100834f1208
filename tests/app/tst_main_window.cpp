// The main window without a controller: its controls, the creation step, the connecting view, the
// progress ring, the tools panel layout and list, window states, Disconnect and the destruction step.

#include "MainWindowFixture.h"
#include "WidgetEvents.h"
#include "app/ui/ClickableLabel.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageView.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/ProgressRing.h"
#include "app/ui/StatusLineLabel.h"
#include "app/ui/TitleStrip.h"
#include "app/ui/ToolsPanel.h"
#include "app/ui/WindowChrome.h"
#include "link/ConnectionController.h"
#include "link/LinkStatus.h"
#include "status/StatusTexts.h"

#include <QAccessible>
#include <QDragEnterEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cmath>

using namespace korva;
using namespace korva::test;

namespace {

// Where the title icon goes in a window of this width (group of icon, 3-point gap and title text
// centred, halves to even).
int CentredIconLeft(const TfrmMain& window) {
    const int titleWidth =
        QFontMetrics(window.lbl_Window_Title->font()).horizontalAdvance(QStringLiteral("KORVA Rivo"));
    return int(std::nearbyint(window.width() * 0.5 - (titleWidth + 15 + 3) * 0.5));
}

void VerifyTitleCentred(const TfrmMain& window) {
    QCOMPARE(window.Img_Titlebar_Icon->geometry(), QRect(CentredIconLeft(window), 2, 15, 15));
    QCOMPARE(window.lbl_Window_Title->pos(), QPoint(CentredIconLeft(window) + 18, 3));
    QCOMPARE(window.lbl_Form_Titlebar_Move->geometry(), QRect(35, 0, window.width(), 19));
}

QList<QWidget*> ConnectedOnlyControls(TfrmMain& w) {
    return {w.lbl_Progress_Bar_Percentage,   w.Img_Drop_NC_File,  w.lbl_NC_File_Sent_Time,
            w.Img_Send_File_Connect,         w.Img_Button_Tools,  w.lbl_Jobs,
            w.Img_Button_Parts_Reset,        w.lbl_KORVA_Info,    w.Tools->Img_Get_Tools_Data,
            w.Tools->Img_Generate_Text_File, w.Edit_KORVA_Folder, w.Img_Editbox_KORVA_Folder_Name};
}

QString AccessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controlsSitAtTheirPlaces_data();
    void controlsSitAtTheirPlaces();
    void labelsHaveTheirLook_data();
    void labelsHaveTheirLook();
    void creationStepFillsTheWindowAndTheConnectWindow();
    void emptyMachineNameStaysEmptyAtCreation();
    void labelsAndButtonsAreNamedForAssistiveTools();
    void connectingViewShowsTheAddressAndBlinks();
    void statusLineTextIsNeverCut_data();
    void statusLineTextIsNeverCut();
    void ownNetworkIsAimedAtTheControllersAccessPoint();
    void progressRingShowsPictureAndPercentage_data();
    void progressRingShowsPictureAndPercentage();
    void toolsButtonTogglesThePanelAndSaves();
    void toolsPanelOpenAtCreationGivesTheWideWindow();
    void toolsButtonThatCannotSaveChangesNothing();
    void thumbFollowsTheToolCount_data();
    void thumbFollowsTheToolCount();
    void toolListPosition_data();
    void toolListPosition();
    void fetchPercentage_data();
    void fetchPercentage();
    void fetchEndShowsTheFirstTenTools();
    void dropsAreRefusedWhenSwitchedOffOrWhileSending();
    void windowSystemCannotMaximiseOrMinimise();
    void minimiseButtonMinimises();
    void disconnectStopsTheLinkAndReturnsToTheConnectWindow();
    void disconnectThatCannotSaveStaysInTheMainWindow();
    void destructionStoresThePositionOnlyWhileConnected_data();
    void destructionStoresThePositionOnlyWhileConnected();
};

void MainWindowTest::controlsSitAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    const QList<QPair<const char*, QRect>> places = {
        {"ImgMain_Window_Normal", {0, 0, 268, 435}},
        {"ImgMain_Window_With_Tools", {0, 0, 536, 435}},
        {"Img_Close_Window", {3, 3, 13, 13}},
        {"Img_Minimize_Window", {42, 3, 13, 13}},
        {"lbl_Form_Titlebar_Move", {35, 0, 268, 19}},
        {"Img_Settings_ICON", {6, 24, 18, 24}},
        {"lbl_Machine_Name", {26, 25, 205, 34}},
        {"Img_Button_Disconnect", {41, 72, 187, 20}},
        {"Img_ProgressBar", {63, 100, 142, 142}},
        {"lbl_Progress_Bar_Percentage", {96, 120, 75, 40}},
        {"lbl_Machine_Status", {70, 159, 128, 41}},
        {"Img_Drop_NC_File", {115, 193, 39, 40}},
        {"lbl_NC_File_Sent_Time", {17, 268, 234, 16}},
        {"Img_Editbox_KORVA_Folder_Name", {40, 283, 187, 20}},
        {"Edit_KORVA_Folder", {44, 285, 155, 16}},
        {"Img_Send_File_Connect", {41, 309, 187, 20}},
        {"Img_Button_Tools", {41, 337, 187, 20}},
        {"lbl_Jobs", {41, 362, 105, 20}},
        {"Img_Button_Parts_Reset", {155, 364, 73, 18}},
        {"lbl_KORVA_Info", {30, 392, 209, 49}},
        {"Img_QR_Code_ICON", {6, 405, 25, 25}},
        {"lbl_Tools_Sliderbar_Back", {512, 32, 16, 314}},
        {"Img_Tools_Scrollbar", {516, 34, 8, 30}},
        {"Img_Get_Tools_Data", {277, 360, 226, 27}},
        {"Img_Generate_Text_File", {277, 398, 226, 27}},
    };
    for (const auto& [name, place] : places)
        QTest::newRow(name) << QString::fromLatin1(name) << place;
    const int numberTops[] = {59, 87, 116, 145, 174, 203, 232, 260, 288, 319};
    const int nameTops[] = {59, 87, 116, 145, 174, 203, 232, 260, 290, 319};
    for (int row = 1; row <= 10; ++row) {
        const QString number = QStringLiteral("lbl_Tool_No_Row_%1").arg(row);
        const QString name = QStringLiteral("lbl_Tool_Name_Row_%1").arg(row);
        QTest::newRow(qPrintable(number)) << number << QRect(301, numberTops[row - 1], 43, 29);
        QTest::newRow(qPrintable(name)) << name << QRect(352, nameTops[row - 1], row == 1 ? 141 : 142, 26);
    }
}

void MainWindowTest::controlsSitAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    MainWindowFixture f;
    const QList<QWidget*> found = f.main->findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first()->geometry(), place);
}

void MainWindowTest::labelsHaveTheirLook_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("horizontal");
    QTest::newRow("machine name") << "lbl_Machine_Name" << QRgb(0xFFFFFFFF) << 30 << int(Qt::AlignHCenter);
    QTest::newRow("percentage") << "lbl_Progress_Bar_Percentage" << QRgb(0xFF65E2FC) << 29
                                << int(Qt::AlignHCenter);
    QTest::newRow("jobs") << "lbl_Jobs" << QRgb(0xFFDBC2C2) << 17 << int(Qt::AlignLeft);
    QTest::newRow("job time") << "lbl_NC_File_Sent_Time" << QRgb(0xFFDBC2C2) << 11 << int(Qt::AlignHCenter);
    QTest::newRow("tool number") << "lbl_Tool_No_Row_3" << QRgb(0xFF65E2FC) << 11 << int(Qt::AlignHCenter);
    QTest::newRow("tool name") << "lbl_Tool_Name_Row_9" << QRgb(0xFFDBC2C2) << 11 << int(Qt::AlignHCenter);
    QTest::newRow("title") << "lbl_Window_Title" << QRgb(0xFFDBC2C2) << 11 << int(Qt::AlignLeft);
}

void MainWindowTest::labelsHaveTheirLook() {
    QFETCH(QString, name);
    QFETCH(QRgb, colour);
    QFETCH(int, pixelSize);
    QFETCH(int, horizontal);
    MainWindowFixture f;
    auto* label = f.main->findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(TextColour(label), colour);
    QCOMPARE(label->font().pixelSize(), pixelSize);
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), horizontal);
    QVERIFY(!label->autoFillBackground());
}

void MainWindowTest::creationStepFillsTheWindowAndTheConnectWindow() {
    MainWindowFixture f([](SettingsRecord& r) {
        r.UseOwnNetwork.Set(true);
        r.ControllerIp = {192, 168, 1, 20};
        r.MachineName.Assign(QStringLiteral("My Mill"));
        r.MappedFolder.Assign(QStringLiteral("JOBS"));
    });
    TfrmMain& w = *f.main;
    TfrmConnect& c = *f.connectWindow;

    // The connect window, from the settings.
    QCOMPARE(c.Img_My_KORVA_Network_Tick->ShownPicture(), 1);
    QVERIFY(c.Img_IP_Addr_Boxes->isHidden());
    for (QLineEdit* box : c.OctetBoxes())
        QVERIFY(box->isHidden());
    QStringList octets;
    for (QLineEdit* box : c.OctetBoxes())
        octets << box->text();
    QCOMPARE(octets, (QStringList{"192", "168", "1", "20"}));
    QCOMPARE(c.Edit_Machine_Name->text(), QStringLiteral("My Mill"));

    // The main window.
    QCOMPARE(w.objectName(), QStringLiteral("frmMain"));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.windowType(), Qt::Window); // a window of its own, with a task-bar button
    QVERIFY(w.acceptDrops());
    QCOMPARE(w.size(), QSize(268, 435));
    QVERIFY(w.ImgMain_Window_With_Tools->isHidden());
    VerifyTitleCentred(w);
    QCOMPARE(w.lbl_Window_Title->text(), QStringLiteral("KORVA Rivo"));
    QCOMPARE(w.Img_Close_Window->ShownPicture(), 2);
    QCOMPARE(w.Img_Minimize_Window->ShownPicture(), 3);
    QCOMPARE(w.lbl_Machine_Name->text(), QStringLiteral("My Mill"));
    QCOMPARE(w.Edit_KORVA_Folder->text(), QStringLiteral("JOBS"));
    QCOMPARE(w.lbl_NC_File_Sent_Time->text(), QString());
    QCOMPARE(w.lbl_Jobs->text(), QStringLiteral("Jobs:"));
    QCOMPARE(w.lbl_Progress_Bar_Percentage->text(), QStringLiteral("100%"));
    QCOMPARE(w.Ring->ShownPicture(), 100);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 0);
    QCOMPARE(w.Tools->lbl_Tools_Sliderbar_Back->text(), QString());

    // The tool list: 100 tools, ten rows of "-".
    QCOMPARE(w.Tools->ListToolCount, 100);
    QCOMPARE(w.Tools->ListVisibleRows, 10);
    QCOMPARE(w.Tools->Img_Tools_Scrollbar->height(), 30);
    for (int n = 1; n <= MaxToolNumber; ++n)
        QCOMPARE(w.Link().ToolName(n), QByteArray("-"));
    for (int row = 0; row < 10; ++row) {
        QCOMPARE(w.Tools->lbl_Tool_No_Row[size_t(row)]->text(), QString::number(row + 1));
        QCOMPARE(w.Tools->lbl_Tool_Name_Row[size_t(row)]->text(), QStringLiteral("-"));
    }
    // The track lies above the thumb.
    QWidgetList children;
    for (QObject* child : w.children())
        if (child->isWidgetType())
            children << static_cast<QWidget*>(child);
    QVERIFY(children.indexOf(w.Tools->lbl_Tools_Sliderbar_Back) >
            children.indexOf(w.Tools->Img_Tools_Scrollbar));

    // AutoConnect is clear: nothing is started, nothing is sent.
    QVERIFY(!w.Controller().Receiver());
    QVERIFY(!w.Controller().tmr_Get_KORVA_Info.isActive());
    QVERIFY(!w.Controller().tmr_Connection_Timeout.isActive());
    QVERIFY(!w.tmr_Messgae_Blink->isActive());
    QCOMPARE(w.tmr_Messgae_Blink->interval(), 500);
    QCOMPARE(w.Link().LinkStatus.LinkState.load(), int(LinkNeverConnected));
    QVERIFY(f.errors.Texts().isEmpty());
}

void MainWindowTest::emptyMachineNameStaysEmptyAtCreation() {
    MainWindowFixture f;
    QCOMPARE(f.main->lbl_Machine_Name->text(), QString());
}

void MainWindowTest::labelsAndButtonsAreNamedForAssistiveTools() {
    MainWindowFixture f([](SettingsRecord& r) { r.MachineName.Assign(QStringLiteral("Router 2")); });
    TfrmMain& w = *f.main;
    QCOMPARE(AccessibleName(w.lbl_Machine_Name), QStringLiteral("Router 2"));
    w.SetJobsText(QStringLiteral("Jobs: 3"));
    QCOMPARE(AccessibleName(w.lbl_Jobs), QStringLiteral("Jobs: 3"));
    w.SetIdentityText(QStringLiteral("Serial No: K8-7000\nMill\nCore Version: 3.10"));
    QCOMPARE(AccessibleName(w.lbl_KORVA_Info),
             QStringLiteral("Serial No: K8-7000\nMill\nCore Version: 3.10"));
    QCOMPARE(AccessibleName(w.Img_Button_Disconnect), QStringLiteral("Disconnect"));
    QCOMPARE(AccessibleName(w.Img_Button_Parts_Reset), QStringLiteral("Reset"));
    QCOMPARE(AccessibleName(w.Img_Button_Tools), QStringLiteral("Tools"));
    QCOMPARE(AccessibleName(w.Img_Send_File_Connect), QStringLiteral("Send File"));
    QCOMPARE(AccessibleName(w.Tools->Img_Get_Tools_Data), QStringLiteral("Get Tools Data"));
    QCOMPARE(AccessibleName(w.Tools->Img_Generate_Text_File), QStringLiteral("Generate Text File"));
    // Texts from outside are shown as plain text, never as markup.
    w.SetStatusText(QStringLiteral("<b>x</b>"));
    QCOMPARE(w.lbl_Machine_Status->textFormat(), Qt::PlainText);
    QCOMPARE(w.Tools->lbl_Tool_Name_Row[0]->textFormat(), Qt::PlainText);
    QCOMPARE(w.lbl_NC_File_Name->textFormat(), Qt::PlainText);
}

void MainWindowTest::connectingViewShowsTheAddressAndBlinks() {
    // Nothing answers on 127.0.0.81: the window stays connecting. The panel's saved state is open,
    // yet the connecting view is narrow.
    MainWindowFixture f([](SettingsRecord& r) {
        r.AutoConnect.Set(true);
        r.ControllerIp = {127, 0, 0, 81};
        r.ToolsPanelOpen.Set(true);
        r.WindowLeft = 40;
        r.WindowTop = 50;
    });
    TfrmMain& w = *f.main;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.pos(), QPoint(40, 50));

    QCOMPARE(w.Link().LinkStatus.LinkState.load(), int(LinkConnecting));
    QVERIFY(w.Controller().tmr_Get_KORVA_Info.isActive());
    QVERIFY(!w.Controller().tmr_Connection_Timeout.isActive());
    for (QWidget* control : ConnectedOnlyControls(w))
        QVERIFY2(!Shown(control), qPrintable(control->objectName()));
    QCOMPARE(w.width(), 268);
    QVERIFY(w.ImgMain_Window_With_Tools->isHidden());
    VerifyTitleCentred(w);

    QCOMPARE(w.lbl_Machine_Status->text(), QStringLiteral("Connecting..."));
    QCOMPARE(w.lbl_Machine_Status->font().pointSize(), 12);
    QCOMPARE(TextColour(w.lbl_Machine_Status), QRgb(0xFF64E168));
    QVERIFY(Shown(w.lbl_NC_File_Name));
    QCOMPARE(w.lbl_NC_File_Name->text(), QStringLiteral("Trying to connect to\nIP: 127.0.0.81"));
    QCOMPARE(TextColour(w.lbl_NC_File_Name), QRgb(0xFF65E2FC));
    QCOMPARE(w.lbl_Machine_Name->text(), QStringLiteral("KORVA"));
    QCOMPARE(w.Ring->ShownPicture(), 100);
    QCOMPARE(w.lbl_Progress_Bar_Percentage->text(), QStringLiteral("100%"));

    // "Connecting..." blinks: the line goes off and on again every 500 ms.
    QVERIFY(w.tmr_Messgae_Blink->isActive());
    const bool before = Shown(w.lbl_Machine_Status);
    QTRY_COMPARE_WITH_TIMEOUT(Shown(w.lbl_Machine_Status), !before, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(Shown(w.lbl_Machine_Status), before, 5000);
    QCOMPARE(w.Link().LinkStatus.LinkState.load(), int(LinkConnecting));
}

void MainWindowTest::statusLineTextIsNeverCut_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("points");
    QTest::newRow("connecting") << "Connecting..." << 12;
    QTest::newRow("getting tools") << "Getting Tools\nData" << 12;
    QTest::newRow("machining") << "Machining" << 18;
    QTest::newRow("stopped") << "Machine Stopped" << 12;
    QTest::newRow("change tool") << "Change Tool" << 16;
    for (int code = 0; code < 255; ++code)
        if (const std::optional<QString> alarm = AlarmText(std::uint8_t(code)))
            QTest::newRow(qPrintable(QStringLiteral("alarm %1").arg(code))) << *alarm << 11;
    QTest::newRow("a line far too long")
        << "ABCDEFGHIJKLMNOPQRSTUVWXYZ ABCDEFGHIJKLMNOPQRSTUVWXYZ\nALARM" << 11;
}

void MainWindowTest::statusLineTextIsNeverCut() {
    QFETCH(QString, text);
    QFETCH(int, points);
    MainWindowFixture f;
    TfrmMain& w = *f.main;
    w.ShowStatusLine(text, points, 0xF43D42);
    StatusLineLabel* line = w.lbl_Machine_Status;
    QCOMPARE(line->size(), QSize(128, 41)); // the box keeps its size
    QCOMPARE(line->font().pointSize(), points);
    QCOMPARE(line->text(), text);
    QCOMPARE(AccessibleName(line), text);
    const StatusLineLabel::Drawing drawing = line->Drawn();
    QCOMPARE(drawing.font.pointSize(), points); // narrower perhaps, never smaller
    const int flags = Qt::AlignCenter | (drawing.wrapped ? Qt::TextWordWrap : 0);
    const QRect needed =
        QFontMetrics(drawing.font).boundingRect(QRect(QPoint(0, 0), line->size()), flags, drawing.text);
    QVERIFY2(needed.width() <= 128 && needed.height() <= 41,
             qPrintable(QStringLiteral("%1 wrapped %2 stretch %3 needed %4x%5")
                            .arg(drawing.text)
                            .arg(drawing.wrapped)
                            .arg(drawing.font.stretch())
                            .arg(needed.width())
                            .arg(needed.height())));
    if (drawing.font.stretch() != QFont::AnyStretch && drawing.font.stretch() != QFont::Unstretched)
        qInfo("drawn narrower: \"%s\"",
              qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char('|'))));
    if (drawing.text != text)
        qInfo("shortened: \"%s\"",
              qPrintable(QString(drawing.text).replace(QLatin1Char('\n'), QLatin1Char('|'))));
    if (!text.startsWith(QLatin1String("ABC")))
        QCOMPARE(drawing.text, text); // every text of the program is drawn whole with this machine's fonts
}

void MainWindowTest::ownNetworkIsAimedAtTheControllersAccessPoint() {
    // Only the address text is looked at: nothing is ever sent to the access point from a test.
    QCOMPARE(ControllerAddressText(true, {127, 0, 0, 81}), QStringLiteral("192.168.4.1"));
    QCOMPARE(ControllerAddressText(false, {127, 0, 0, 81}), QStringLiteral("127.0.0.81"));
}

void MainWindowTest::progressRingShowsPictureAndPercentage_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("picture");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << 50 << 0 << 0 << "0%";
    QTest::newRow("full") << 50 << 100 << 100 << "100%";
    QTest::newRow("part") << 0 << 37 << 37 << "37%";
    QTest::newRow("same again") << 37 << 37 << 37 << "37%";
    QTest::newRow("above 100 keeps the picture") << 65 << 150 << 65 << "150%";
    QTest::newRow("negative keeps the picture") << 12 << -5 << 12 << "-5%";
    QTest::newRow("255 keeps the picture") << 3 << 255 << 3 << "255%";
}

void MainWindowTest::progressRingShowsPictureAndPercentage() {
    QFETCH(int, first);
    QFETCH(int, n);
    QFETCH(int, picture);
    QFETCH(QString, text);
    MainWindowFixture f;
    TfrmMain& w = *f.main;
    w.ShowProgressRing(first);
    const QImage firstPicture = w.Img_ProgressBar->Picture().toImage();
    w.ShowProgressRing(n);
    QCOMPARE(w.Ring->ShownPicture(), picture);
    QCOMPARE(w.lbl_Progress_Bar_Percentage->text(), text);
    if (picture == first)
        QCOMPARE(w.Img_ProgressBar->Picture().toImage(), firstPicture);
    else
        QVERIFY(w.Img_ProgressBar->Picture().toImage() != firstPicture);
}

void MainWindowTest::toolsButtonTogglesThePanelAndSaves() {
    MainWindowFixture f([](SettingsRecord& r) {
        r.WindowLeft = 100;
        r.WindowTop = 120;
    });
    TfrmMain& w = *f.main;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint place = w.pos();

    Enter(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 1);
    Press(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 2);
    Release(w.Img_Button_Tools);
    QVERIFY(f.errors.Texts().isEmpty());
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 3);
    QCOMPARE(w.size(), QSize(536, 435));
    QCOMPARE(w.pos(), place);
    QVERIFY(Shown(w.ImgMain_Window_With_Tools));
    VerifyTitleCentred(w);
    QVERIFY(f.settings.OnDisk().ToolsPanelOpen.IsSet());

    // While open the button uses its second set of pictures.
    Leave(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 3);
    Enter(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 4);
    Press(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 5);
    Release(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 1);
    QCOMPARE(w.size(), QSize(268, 435));
    QCOMPARE(w.pos(), place);
    QVERIFY(w.ImgMain_Window_With_Tools->isHidden());
    VerifyTitleCentred(w);
    QVERIFY(!f.settings.OnDisk().ToolsPanelOpen.IsSet());
    Leave(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 0);
}

void MainWindowTest::toolsPanelOpenAtCreationGivesTheWideWindow() {
    MainWindowFixture f([](SettingsRecord& r) { r.ToolsPanelOpen.Set(true); });
    TfrmMain& w = *f.main;
    QCOMPARE(w.size(), QSize(536, 435));
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 3);
    QVERIFY(Shown(w.ImgMain_Window_With_Tools));
    VerifyTitleCentred(w);
    // The connecting view narrows it, the connected view widens it again.
    w.ApplyNarrowLayout();
    QCOMPARE(w.width(), 268);
    VerifyTitleCentred(w);
    w.ApplyToolsPanelLayout();
    QCOMPARE(w.width(), 536);
}

void MainWindowTest::toolsButtonThatCannotSaveChangesNothing() {
    MainWindowFixture f;
    TfrmMain& w = *f.main;
    f.settings.BreakFolder();
    Click(w.Img_Button_Tools);
    QCOMPARE(f.errors.Texts().size(), 1);
    QVERIFY(!f.Record().ToolsPanelOpen.IsSet());
    QCOMPARE(w.width(), 268);
    Enter(w.Img_Button_Tools);
    QCOMPARE(w.Img_Button_Tools->ShownPicture(), 1); // still the closed set
}

void MainWindowTest::thumbFollowsTheToolCount_data() {
    QTest::addColumn<int>("toolCount");
    QTest::addColumn<int>("listCount");
    QTest::addColumn<int>("thumbHeight");
    QTest::newRow("K7, 32 tools") << 32 << 32 << 100;
    QTest::newRow("K8, 100 tools") << 100 << 100 << 30;
    QTest::newRow("K8 lathe, 118 tools") << 118 << 118 << 30;
    QTest::newRow("unknown count is not taken") << 0 << 100 << 30;
}

void MainWindowTest::thumbFollowsTheToolCount() {
    QFETCH(int, toolCount);
    QFETCH(int, listCount);
    QFETCH(int, thumbHeight);
    MainWindowFixture f;
    ToolsPanel& tools = *f.main->Tools;
    tools.PositionToolList(60);
    const int top = tools.Img_Tools_Scrollbar->y();
    const QString firstName = tools.lbl_Tool_No_Row[0]->text();
    f.main->SetToolListCount(toolCount);
    QCOMPARE(tools.ListToolCount, listCount);
    QCOMPARE(tools.Img_Tools_Scrollbar->height(), thumbHeight);
    QCOMPARE(tools.Img_Tools_Scrollbar->width(), 8);
    // Neither the thumb's top nor the rows move until the next positioning.
    QCOMPARE(tools.Img_Tools_Scrollbar->y(), top);
    QCOMPARE(tools.lbl_Tool_No_Row[0]->text(), firstName);
}

void MainWindowTest::toolListPosition_data() {
    QTest::addColumn<int>("toolCount");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("thumbTop");
    QTest::addColumn<int>("firstTool");
    QTest::newRow("100: top of the track") << 100 << 0 << 34 << 1;
    QTest::newRow("100: bottom of the track") << 100 << 314 << 315 << 91;
    QTest::newRow("100: far below") << 100 << 5000 << 315 << 91;
    QTest::newRow("100: middle") << 100 << 160 << 177 << 47;
    QTest::newRow("118: bottom") << 118 << 314 << 315 << 109;
    QTest::newRow("32: bottom") << 32 << 314 << 245 << 23;
    QTest::newRow("32: top") << 32 << -50 << 34 << 1;
    QTest::newRow("32: middle") << 32 << 150 << 132 << 11;
}

void MainWindowTest::toolListPosition() {
    QFETCH(int, toolCount);
    QFETCH(int, y);
    QFETCH(int, thumbTop);
    QFETCH(int, firstTool);
    MainWindowFixture f;
    for (int n = 1; n <= MaxToolNumber; ++n)
        f.main->Link().Tools()[size_t(n)] = "T" + QByteArray::number(n);
    ToolsPanel& tools = *f.main->Tools;
    tools.SetListToolCount(toolCount);
    tools.PositionToolList(y);
    QCOMPARE(tools.Img_Tools_Scrollbar->y(), thumbTop);
    QCOMPARE(tools.FirstShownTool(), firstTool);
    for (int row = 0; row < 10; ++row) {
        QCOMPARE(tools.lbl_Tool_No_Row[size_t(row)]->text(), QString::number(firstTool + row));
        QCOMPARE(tools.lbl_Tool_Name_Row[size_t(row)]->text(), QStringLiteral("T%1").arg(firstTool + row));
    }
    QVERIFY(firstTool + 9 <= toolCount);
}

void MainWindowTest::fetchPercentage_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("toolCount");
    QTest::addColumn<int>("percent");
    QTest::newRow("first of 32") << 1 << 32 << 3;
    QTest::newRow("4 of 32, half to even") << 4 << 32 << 12;
    QTest::newRow("12 of 32, half to even") << 12 << 32 << 38;
    QTest::newRow("last of 32") << 32 << 32 << 100;
    QTest::newRow("first of 100") << 1 << 100 << 1;
    QTest::newRow("first of 118") << 1 << 118 << 1;
    QTest::newRow("last of 118") << 118 << 118 << 100;
    QTest::newRow("count not known") << 1 << 0 << 0;
}

void MainWindowTest::fetchPercentage() {
    QFETCH(int, requested);
    QFETCH(int, toolCount);
    QFETCH(int, percent);
    QCOMPARE(toollist::FetchPercent(requested, toolCount), percent);
    MainWindowFixture f;
    f.main->ShowToolFetchProgress(requested, toolCount);
    QCOMPARE(f.main->lbl_Progress_Bar_Percentage->text(), QString::number(percent) + QLatin1Char('%'));
}

void MainWindowTest::fetchEndShowsTheFirstTenTools() {
    MainWindowFixture f;
    TfrmMain& w = *f.main;
    for (int n = 1; n <= MaxToolNumber; ++n)
        w.Link().Tools()[size_t(n)] = "Cutter " + QByteArray::number(n);
    w.Link().Tools()[3] = "";
    w.Tools->PositionToolList(200);
    QVERIFY(w.Tools->FirstShownTool() > 1);
    w.ShowToolFetchEnd();
    QCOMPARE(w.Tools->Img_Tools_Scrollbar->y(), 34);
    for (int row = 0; row < 10; ++row) {
        QCOMPARE(w.Tools->lbl_Tool_No_Row[size_t(row)]->text(), QString::number(row + 1));
        QCOMPARE(w.Tools->lbl_Tool_Name_Row[size_t(row)]->text(),
                 row == 2 ? QString() : QStringLiteral("Cutter %1").arg(row + 1));
    }
}

void MainWindowTest::dropsAreRefusedWhenSwitchedOffOrWhileSending() {
    MainWindowFixture f;
    TfrmMain& w = *f.main;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/part.nc"))});
    const auto dragEnterAccepted = [&] {
        QDragEnterEvent event(QPoint(130, 210), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        event.setAccepted(false);
        QApplication::sendEvent(&w, &event);
        return event.isAccepted();
    };
    QVERIFY(w.FileDropsAllowed());
    QVERIFY(dragEnterAccepted());

    w.SetFileDropsAccepted(false); // machining, or a tool fetch
    QVERIFY(!w.acceptDrops());
    QVERIFY(!w.FileDropsAllowed());
    QVERIFY(!dragEnterAccepted());

    w.SetFileDropsAccepted(true);
    w.Link().LinkStatus.LinkState.store(LinkSendingFile);
    QVERIFY(!w.FileDropsAllowed());
    QVERIFY(!dragEnterAccepted());
    w.Link().LinkStatus.LinkState.store(LinkPolling);
    QVERIFY(dragEnterAccepted());
    QVERIFY(!w.Edit_KORVA_Folder->acceptDrops()); // a drop on the folder box is the window's
}

void MainWindowTest::windowSystemCannotMaximiseOrMinimise() {
    MainWindowFixture f;
    TfrmMain& w = *f.main;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setWindowState(Qt::WindowMaximized);
    QTRY_COMPARE(w.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
    QCOMPARE(w.size(), QSize(268, 435));
    w.setWindowState(Qt::WindowFullScreen);
    QTRY_COMPARE(w.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
    w.setWindowState(Qt::WindowMinimized);
    QTRY_COMPARE(w.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
    QCOMPARE(w.size(), QSize(268, 435));
}

void MainWindowTest::minimiseButtonMinimises() {
    MainWindowFixture f;
    TfrmMain& w = *f.main;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Enter(w.Img_Minimize_Window);
    QCOMPARE(w.Img_Close_Window->ShownPicture(), 3);
    QCOMPARE(w.Img_Minimize_Window->ShownPicture(), 4);
    Click(w.Img_Minimize_Window);
    QTest::qWait(50);
    QVERIFY(w.windowState() & Qt::WindowMinimized);
    // The main window keeps the hover pair after the release.
    QCOMPARE(w.Img_Close_Window->ShownPicture(), 3);
    QCOMPARE(w.Img_Minimize_Window->ShownPicture(), 4);
    // Restored from the task bar: normal again, and a later minimise by the system is undone.
    w.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(w.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
    w.setWindowState(Qt::WindowMinimized);
    QTRY_COMPARE(w.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
}

void MainWindowTest::disconnectStopsTheLinkAndReturnsToTheConnectWindow() {
    MainWindowFixture f([](SettingsRecord& r) {
        r.AutoConnect.Set(true);
        r.ControllerIp = {127, 0, 0, 82};
    });
    TfrmMain& w = *f.main;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.move(70, 80);
    QTRY_VERIFY(w.Link().ReceiverRunning.load());

    Enter(w.Img_Button_Disconnect);
    QCOMPARE(w.Img_Button_Disconnect->ShownPicture(), 1);
    Press(w.Img_Button_Disconnect);
    QCOMPARE(w.Img_Button_Disconnect->ShownPicture(), 1); // no pressed picture
    Release(w.Img_Button_Disconnect);

    QVERIFY(f.errors.Texts().isEmpty());
    QVERIFY(!w.Controller().Receiver());
    QVERIFY(!w.Link().ReceiverRunning.load());
    QVERIFY(!w.Controller().tmr_Get_KORVA_Info.isActive());
    QVERIFY(!w.Controller().tmr_Connection_Timeout.isActive());
    QVERIFY(!w.isVisible());
    QVERIFY(f.connectWindow->isVisible());
    const SettingsRecord disk = f.settings.OnDisk();
    QVERIFY(!disk.AutoConnect.IsSet());
    QCOMPARE(QPoint(disk.WindowLeft, disk.WindowTop), QPoint(70, 80));
    QCOMPARE(f.connectWindow->pos(), QPoint(70, 80));
}

void MainWindowTest::disconnectThatCannotSaveStaysInTheMainWindow() {
    MainWindowFixture f([](SettingsRecord& r) {
        r.AutoConnect.Set(true);
        r.ControllerIp = {127, 0, 0, 83};
    });
    TfrmMain& w = *f.main;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    f.settings.BreakFolder();
    w.Img_Button_DisconnectClick();
    QCOMPARE(f.errors.Texts().size(), 1);
    QVERIFY(!w.Controller().Receiver()); // the link itself is stopped
    QVERIFY(w.isVisible());
    QVERIFY(!f.connectWindow->isVisible());
}

void MainWindowTest::destructionStoresThePositionOnlyWhileConnected_data() {
    QTest::addColumn<bool>("autoConnect");
    QTest::newRow("connected: stored") << true;
    QTest::newRow("not connected: the connect window's business") << false;
}

void MainWindowTest::destructionStoresThePositionOnlyWhileConnected() {
    QFETCH(bool, autoConnect);
    MainWindowFixture f([&](SettingsRecord& r) {
        r.AutoConnect.Set(autoConnect);
        r.ControllerIp = {127, 0, 0, 84};
        r.WindowLeft = 11;
        r.WindowTop = 12;
    });
    f.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.main.get()));
    f.main->move(150, 160);
    f.main.reset();
    const SettingsRecord disk = f.settings.OnDisk();
    QCOMPARE(QPoint(disk.WindowLeft, disk.WindowTop), autoConnect ? QPoint(150, 160) : QPoint(11, 12));
    QCOMPARE(disk.AutoConnect.IsSet(), autoConnect);
    QVERIFY(f.errors.Texts().isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
