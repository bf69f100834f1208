// The connect window: its controls, the address and name it stores, the own-network tick, its
// placement, the documentation link and the chrome it carries.

#include "AppTestSupport.h"
#include "WidgetEvents.h"
#include "app/ui/ClickableLabel.h"
#include "app/ui/ConnectWindow.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageView.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/TitleStrip.h"
#include "app/ui/WindowChrome.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace korva;
using namespace korva::test;

namespace {

const QString VersionText = QStringLiteral("KORVA Rivo v2.12\nBuild: 7 March 2024");

// A connect window over fresh settings, with the error box and the browser replaced.
struct ConnectFixture {
    TempSettings settings;
    ErrorCapture errors;
    OpenerCapture opened;
    QWidget mainWindow{nullptr, Qt::Window | Qt::FramelessWindowHint};
    TfrmConnect window{settings.Store(), VersionText};
    QSignalSpy connects{&window, &TfrmConnect::StartConnectionRequested};

    ConnectFixture() {
        mainWindow.resize(268, 435);
        window.SetMainWindow(&mainWindow);
        window.FillFromSettings();
    }

    SettingsRecord& Record() { return settings.Record(); }

    void SetOctets(const QStringList& texts) {
        const auto boxes = window.OctetBoxes();
        for (int i = 0; i < 4; ++i)
            boxes[i]->setText(texts[i]);
    }
};

QRgb TextColour(const QWidget* w) {
    return w->palette().color(QPalette::WindowText).rgb();
}

} // namespace

class ConnectWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controlsSitAtTheirPlacesWithTheirLook_data();
    void controlsSitAtTheirPlacesWithTheirLook();
    void editBoxesHaveTheirLook();
    void octetBoxesTakeThreeDigitsAtMost();
    void emptyOctetBoxStopsTheConnect();
    void octetAboveTwoHundredFiftyFiveIsRefused();
    void hiddenEmptyBoxStillStopsTheConnect();
    void connectStoresTheAddressAndHandsOver();
    void connectThatCannotSaveChangesNothing();
    void ownNetworkTickTogglesTheAddressBoxesAndSaves();
    void settingsFillTheControls();
    void machineNameKeepsItsFirstThirtyBytes();
    void machineNameThatCannotBeSavedShowsTheError();
    void shownWindowStaysAtAStoredPositionOnTheDesktop();
    void shownWindowOffTheDesktopIsCentredOnMonitorZero_data();
    void shownWindowOffTheDesktopIsCentredOnMonitorZero();
    void closingStoresThePositionOnlyWhileNotConnected_data();
    void closingStoresThePositionOnlyWhileNotConnected();
    void docsLinkVersionAndTitleOpenTheDocumentation();
    void titleGroupIsCentred();
    void chromeSitsInPlace();
    void controlsCarryTheirAccessibleNames();
};

void ConnectWindowTest::controlsSitAtTheirPlacesWithTheirLook_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("colour");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("alignment");
    const int centred = Qt::AlignHCenter;
    QTest::newRow("background") << "ImgMain_Window" << QRect(0, 0, 268, 435) << "" << 0u << 0 << 0;
    QTest::newRow("tick") << "Img_My_KORVA_Network_Tick" << QRect(41, 171, 14, 14) << "" << 0u << 0 << 0;
    QTest::newRow("tick label") << "lbl_Connected_To_My_KORVA" << QRect(60, 171, 169, 13)
                                << "Connected to My KORVA network" << 0xFFDBC2C2u << 11 << centred;
    QTest::newRow("address frame") << "Img_IP_Addr_Boxes" << QRect(55, 194, 159, 20) << "" << 0u << 0 << 0;
    QTest::newRow("octet 0") << "Edit_IP0" << QRect(56, 196, 31, 16) << "0" << 0xFFCBB5B6u << 11 << centred;
    QTest::newRow("octet 1") << "Edit_IP1" << QRect(98, 196, 31, 16) << "0" << 0xFFCBB5B6u << 11 << centred;
    QTest::newRow("octet 2") << "Edit_IP2" << QRect(140, 196, 31, 16) << "0" << 0xFFCBB5B6u << 11 << centred;
    QTest::newRow("octet 3") << "Edit_IP3" << QRect(182, 196, 31, 16) << "0" << 0xFFCBB5B6u << 11 << centred;
    QTest::newRow("connect") << "Img_Button_Connect" << QRect(41, 224, 187, 20) << "" << 0u << 0 << 0;
    QTest::newRow("machine name") << "Edit_Machine_Name" << QRect(48, 298, 180, 16) << "" << 0xFFCBB5B6u << 11
                                  << int(Qt::AlignLeft);
    QTest::newRow("hint")
        << "lbl_Machine_Name_Hint" << QRect(0, 320, 267, 22)
        << "Give a name of your machine for your reference.\nExample: My Mill - Main Workshop" << 0xFFDBC2C2u
        << 9 << centred;
    QTest::newRow("version") << "lbl_VersionInfo" << QRect(154, 405, 110, 28) << VersionText << 0xFFDBC2C2u
                             << -1 << int(Qt::AlignRight);
    QTest::newRow("title") << "lbl_Window_Title" << QRect() << "KORVA Rivo" << 0xFFDBC2C2u << 11 << 0;
}

void ConnectWindowTest::controlsSitAtTheirPlacesWithTheirLook() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    QFETCH(uint, colour);
    QFETCH(int, pixelSize);
    QFETCH(int, alignment);
    ConnectFixture f;
    QCOMPARE(f.window.size(), QSize(268, 435));
    QWidget* control = f.window.findChild<QWidget*>(name);
    QVERIFY(control);
    if (!place.isNull())
        QCOMPARE(control->geometry(), place);
    QCOMPARE(control->parentWidget(), static_cast<QWidget*>(&f.window));
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), text);
        QVERIFY((label->alignment() & Qt::AlignHorizontal_Mask) == Qt::Alignment(alignment) ||
                alignment == 0);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(edit->text(), text);
        QCOMPARE(int(edit->alignment() & Qt::AlignHorizontal_Mask), alignment);
    }
    if (colour != 0) {
        const QRgb shown = qobject_cast<QLineEdit*>(control) ? control->palette().color(QPalette::Text).rgb()
                                                             : TextColour(control);
        QCOMPARE(shown, QRgb(colour));
    }
    if (pixelSize > 0)
        QCOMPARE(control->font().pixelSize(), pixelSize);
    if (auto* image = qobject_cast<ImageView*>(control))
        QVERIFY(!image->Picture().isNull());
}

void ConnectWindowTest::editBoxesHaveTheirLook() {
    ConnectFixture f;
    QList<QLineEdit*> boxes{f.window.Edit_IP0, f.window.Edit_IP1, f.window.Edit_IP2, f.window.Edit_IP3,
                            f.window.Edit_Machine_Name};
    for (QLineEdit* box : boxes) {
        QVERIFY(!box->hasFrame());
        QCOMPARE(box->palette().color(QPalette::Base).rgb(), QRgb(0xFF131E24));
    }
    // The docs link: accent colour, 11 px, sized to its text, hand cursor.
    ClickableLabel* link = f.window.Label_Docs_Link;
    QCOMPARE(link->text(), QStringLiteral("KORVA Documentation"));
    QCOMPARE(link->pos(), QPoint(62, 367));
    QCOMPARE(TextColour(link), QRgb(0xFF65E2FC));
    QCOMPARE(link->font().pixelSize(), 11);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(link->width() >= QFontMetrics(link->font()).horizontalAdvance(link->text()));
    QVERIFY(link->width() <= QFontMetrics(link->font()).horizontalAdvance(link->text()) + 4);
    // The version text fills its box.
    QVERIFY(f.window.lbl_VersionInfo->font().pixelSize() >= 9);
}

void ConnectWindowTest::octetBoxesTakeThreeDigitsAtMost() {
    ConnectFixture f;
    QLineEdit* box = f.window.Edit_IP1;
    box->clear();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("1a2.-34"));
    QCOMPARE(box->text(), QStringLiteral("123"));
    QCOMPARE(box->maxLength(), 3);
}

void ConnectWindowTest::emptyOctetBoxStopsTheConnect() {
    ConnectFixture f;
    f.Record().ControllerIp = {10, 0, 0, 9};
    f.SetOctets({"192", "168", "", "20"});
    f.window.show();
    f.window.Img_Button_ConnectClick();

    QCOMPARE(f.errors.Texts(), QStringList{QStringLiteral("\"\" is an invalid integer")});
    QCOMPARE(f.connects.count(), 0);
    QVERIFY(f.window.isVisible());
    QVERIFY(!f.mainWindow.isVisible());
    QVERIFY(!f.Record().AutoConnect.IsSet());
    QCOMPARE(f.Record().ControllerIp, (std::array<std::uint8_t, 4>{10, 0, 0, 9}));
    QVERIFY(!f.settings.OnDisk().AutoConnect.IsSet());
}

void ConnectWindowTest::octetAboveTwoHundredFiftyFiveIsRefused() {
    ConnectFixture f;
    f.SetOctets({"192", "300", "1", "20"});
    f.window.show();
    f.window.Img_Button_ConnectClick();
    QCOMPARE(f.errors.Texts(), QStringList{QStringLiteral("\"300\" is not a valid address number")});
    QCOMPARE(f.connects.count(), 0);
    QVERIFY(f.window.isVisible());
    QVERIFY(!f.Record().AutoConnect.IsSet());
    QCOMPARE(f.Record().ControllerIp, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

void ConnectWindowTest::hiddenEmptyBoxStillStopsTheConnect() {
    ConnectFixture f;
    f.SetOctets({"192", "168", "1", ""});
    f.window.Img_My_KORVA_Network_TickClick();
    QVERIFY(f.window.Edit_IP3->isHidden());
    f.window.Img_Button_ConnectClick();
    QCOMPARE(f.errors.Texts(), QStringList{QStringLiteral("\"\" is an invalid integer")});
    QCOMPARE(f.connects.count(), 0);
}

void ConnectWindowTest::connectStoresTheAddressAndHandsOver() {
    ConnectFixture f;
    f.SetOctets({"192", "007", "1", "20"});
    f.window.show();
    f.window.move(120, 140);
    bool mainShownFirst = false;
    QObject::connect(&f.window, &TfrmConnect::StartConnectionRequested, &f.window,
                     [&] { mainShownFirst = f.mainWindow.isVisible() && !f.window.isVisible(); });

    f.window.Img_Button_ConnectClick();

    QVERIFY(f.errors.Texts().isEmpty());
    QCOMPARE(f.connects.count(), 1);
    QVERIFY(mainShownFirst);
    const SettingsRecord disk = f.settings.OnDisk();
    QCOMPARE(disk.ControllerIp, (std::array<std::uint8_t, 4>{192, 7, 1, 20}));
    QVERIFY(disk.AutoConnect.IsSet());
    QCOMPARE(QPoint(disk.WindowLeft, disk.WindowTop), QPoint(120, 140));
    QCOMPARE(disk.Checksum, SettingsChecksum(disk));
}

void ConnectWindowTest::connectThatCannotSaveChangesNothing() {
    ConnectFixture f;
    f.SetOctets({"10", "1", "2", "3"});
    f.window.show();
    f.settings.BreakFolder();
    f.window.Img_Button_ConnectClick();

    QCOMPARE(f.errors.Texts().size(), 1);
    QVERIFY(!f.errors.Texts().first().isEmpty());
    QCOMPARE(f.connects.count(), 0);
    QVERIFY(f.window.isVisible());
    QVERIFY(!f.mainWindow.isVisible());
    // A later save (a name typed once the folder is back) must not store a connection that never was.
    QVERIFY(!f.Record().AutoConnect.IsSet());
    QCOMPARE(f.Record().ControllerIp, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

void ConnectWindowTest::ownNetworkTickTogglesTheAddressBoxesAndSaves() {
    ConnectFixture f;
    f.window.show();
    ImageButton* tick = f.window.Img_My_KORVA_Network_Tick;
    QList<QWidget*> addressControls{f.window.Img_IP_Addr_Boxes, f.window.Edit_IP0, f.window.Edit_IP1,
                                    f.window.Edit_IP2, f.window.Edit_IP3};
    QCOMPARE(tick->ShownPicture(), 0);

    Click(tick);
    QCOMPARE(tick->ShownPicture(), 1);
    QVERIFY(tick->IsChecked());
    for (QWidget* w : addressControls)
        QVERIFY(!w->isVisible());
    QVERIFY(f.window.lbl_Connected_To_My_KORVA->isVisible());
    QVERIFY(f.window.Edit_Machine_Name->isVisible());
    QVERIFY(f.settings.OnDisk().UseOwnNetwork.IsSet());

    Click(tick);
    QCOMPARE(tick->ShownPicture(), 0);
    QVERIFY(!tick->IsChecked());
    for (QWidget* w : addressControls)
        QVERIFY(w->isVisible());
    QVERIFY(!f.settings.OnDisk().UseOwnNetwork.IsSet());
    QVERIFY(f.errors.Texts().isEmpty());
}

void ConnectWindowTest::settingsFillTheControls() {
    TempSettings settings;
    SettingsRecord& record = settings.Record();
    record.UseOwnNetwork.Set(true);
    record.ControllerIp = {192, 168, 1, 20};
    record.MachineName.Assign(QStringLiteral("My Mill"));
    settings.Store().SaveSettings();
    TfrmConnect window(settings.Store(), VersionText);
    window.FillFromSettings();
    window.show();
    QCOMPARE(window.Img_My_KORVA_Network_Tick->ShownPicture(), 1);
    QVERIFY(!window.Img_IP_Addr_Boxes->isVisible());
    QVERIFY(!window.Edit_IP0->isVisible());
    QStringList texts;
    for (QLineEdit* box : window.OctetBoxes())
        texts << box->text();
    QCOMPARE(texts, (QStringList{"192", "168", "1", "20"}));
    QCOMPARE(window.Edit_Machine_Name->text(), QStringLiteral("My Mill"));
}

void ConnectWindowTest::machineNameKeepsItsFirstThirtyBytes() {
    ConnectFixture f;
    f.window.show();
    const QString name = QStringLiteral("Mill in the north-east workshop"); // 31 characters
    QCOMPARE(name.size(), 31);
    f.window.Edit_Machine_Name->setFocus();
    QTest::keyClicks(f.window.Edit_Machine_Name, name);
    QCOMPARE(f.window.Edit_Machine_Name->text(), name);
    const SettingsRecord disk = f.settings.OnDisk();
    QCOMPARE(disk.MachineName.Utf8(), name.toUtf8().left(30));
    QCOMPARE(int(disk.MachineName.Length), 30);
    QVERIFY(f.errors.Texts().isEmpty());
}

void ConnectWindowTest::machineNameThatCannotBeSavedShowsTheError() {
    ConnectFixture f;
    f.settings.BreakFolder();
    f.window.Edit_Machine_Name->setText(QStringLiteral("Lathe"));
    f.window.Edit_Machine_NameChange();
    QCOMPARE(f.errors.Texts().size(), 1);
    QCOMPARE(f.Record().MachineName.Text(), QStringLiteral("Lathe")); // kept in memory
}

void ConnectWindowTest::shownWindowStaysAtAStoredPositionOnTheDesktop() {
    ConnectFixture f;
    f.Record().WindowLeft = 40;
    f.Record().WindowTop = 30;
    f.window.move(0, 0);
    f.window.show();
    QCOMPARE(f.window.pos(), QPoint(40, 30));
}

void ConnectWindowTest::shownWindowOffTheDesktopIsCentredOnMonitorZero_data() {
    QTest::addColumn<QPoint>("stored");
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    QTest::newRow("beyond the right edge") << QPoint(desktop.right() - 100, 10);
    QTest::newRow("below the bottom") << QPoint(10, desktop.bottom() - 100);
    QTest::newRow("left of the desktop") << QPoint(desktop.left() - 5, 10);
    QTest::newRow("far away") << QPoint(-70000, 90000);
}

void ConnectWindowTest::shownWindowOffTheDesktopIsCentredOnMonitorZero() {
    QFETCH(QPoint, stored);
    ConnectFixture f;
    f.Record().WindowLeft = stored.x();
    f.Record().WindowTop = stored.y();
    f.window.show();
    const QRect monitor0 = QGuiApplication::screens().first()->geometry();
    QCOMPARE(f.window.pos(), QPoint((monitor0.width() - 268) / 2, (monitor0.height() - 435) / 2));
    // Hidden and shown again: placed again from the stored position.
    f.window.hide();
    f.window.move(5, 5);
    f.window.show();
    QCOMPARE(f.window.pos(), QPoint((monitor0.width() - 268) / 2, (monitor0.height() - 435) / 2));
}

void ConnectWindowTest::closingStoresThePositionOnlyWhileNotConnected_data() {
    QTest::addColumn<bool>("autoConnect");
    QTest::newRow("not connected: stored") << false;
    QTest::newRow("connected: main window's business") << true;
}

void ConnectWindowTest::closingStoresThePositionOnlyWhileNotConnected() {
    QFETCH(bool, autoConnect);
    TempSettings settings;
    settings.Record().WindowLeft = 11;
    settings.Record().WindowTop = 12;
    settings.Record().AutoConnect.Set(autoConnect);
    settings.Store().SaveSettings();
    {
        auto* window = new TfrmConnect(settings.Store(), VersionText);
        window->show();
        window->move(77, 88);
        delete window;
    }
    const SettingsRecord disk = settings.OnDisk();
    QCOMPARE(QPoint(disk.WindowLeft, disk.WindowTop), autoConnect ? QPoint(11, 12) : QPoint(77, 88));
}

void ConnectWindowTest::docsLinkVersionAndTitleOpenTheDocumentation() {
    ConnectFixture f;
    f.window.show();
    Click(f.window.Label_Docs_Link);
    Click(f.window.lbl_VersionInfo);
    Click(f.window.lbl_Window_Title);
    const QUrl docs(QStringLiteral("https://docs.korva.example/rivo"));
    QCOMPARE(f.opened.Urls(), (QList<QUrl>{docs, docs, docs}));
    // The hint and the tick label are not links.
    Click(f.window.lbl_Machine_Name_Hint);
    Click(f.window.lbl_Connected_To_My_KORVA);
    QCOMPARE(f.opened.Urls().size(), 3);
}

void ConnectWindowTest::titleGroupIsCentred() {
    ConnectFixture f;
    ClickableLabel* title = f.window.lbl_Window_Title;
    ImageView* icon = f.window.Img_Titlebar_Icon;
    const int titleWidth = QFontMetrics(title->font()).horizontalAdvance(QStringLiteral("KORVA Rivo"));
    QCOMPARE(title->width(), titleWidth);
    const int iconLeft = static_cast<int>(std::nearbyint(268 * 0.5 - (titleWidth + 15 + 3) * 0.5));
    QCOMPARE(icon->geometry(), QRect(iconLeft, 2, 15, 15));
    QCOMPARE(title->pos(), QPoint(iconLeft + 18, 3));
}

void ConnectWindowTest::chromeSitsInPlace() {
    ConnectFixture f;
    QCOMPARE(f.window.Img_Close_Window->geometry(), QRect(3, 3, 13, 13));
    QCOMPARE(f.window.Img_Minimize_Window->geometry(), QRect(42, 3, 13, 13));
    QCOMPARE(f.window.lbl_Form_Titlebar_Move->geometry(), QRect(35, 0, 233, 19));
    QCOMPARE(f.window.lbl_Form_Titlebar_Move->text(), QString());
    QCOMPARE(f.window.lbl_Form_Titlebar_Move->palette().color(QPalette::Window).rgb(), QRgb(0xFF184E5C));
    QVERIFY(f.window.lbl_Form_Titlebar_Move->autoFillBackground());
    QCOMPARE(f.window.Img_Close_Window->ShownPicture(), 2);
    QCOMPARE(f.window.Img_Minimize_Window->ShownPicture(), 3);
    QCOMPARE(f.window.Img_Button_Connect->ShownPicture(), 0);
    QVERIFY(f.window.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(f.window.palette().color(QPalette::Window).rgb(), QRgb(0xFF1B2A32));

    // Releasing on the connect window's minimise button shows the normal pair again.
    Enter(f.window.Img_Minimize_Window);
    QCOMPARE(f.window.Img_Close_Window->ShownPicture(), 3);
    Press(f.window.Img_Minimize_Window);
    Release(f.window.Img_Minimize_Window);
    QCOMPARE(f.window.Img_Close_Window->ShownPicture(), 2);
    QCOMPARE(f.window.Img_Minimize_Window->ShownPicture(), 3);
}

void ConnectWindowTest::controlsCarryTheirAccessibleNames() {
    ConnectFixture f;
    auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QCOMPARE(name(f.window.Img_Button_Connect), QStringLiteral("Connect"));
    QCOMPARE(name(f.window.Img_Close_Window), QStringLiteral("Close"));
    QCOMPARE(name(f.window.Img_Minimize_Window), QStringLiteral("Minimise"));
    QCOMPARE(name(f.window.Img_My_KORVA_Network_Tick), QStringLiteral("Connected to My KORVA network"));
    QCOMPARE(name(f.window.Label_Docs_Link), QStringLiteral("KORVA Documentation"));
    QCOMPARE(name(f.window.lbl_Window_Title), QStringLiteral("KORVA Rivo"));
    QAccessibleInterface* tick = QAccessible::queryAccessibleInterface(f.window.Img_My_KORVA_Network_Tick);
    QCOMPARE(tick->role(), QAccessible::CheckBox);
    QVERIFY(!tick->state().checked);
    f.window.Img_My_KORVA_Network_TickClick();
    QVERIFY(tick->state().checked);
}

QTEST_MAIN(ConnectWindowTest)
#include "tst_connect_window.moc"
