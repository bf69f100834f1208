// Start-up: the four windows in their order, the splash and its hand-over after three seconds.

#include "AppTestSupport.h"
#include "app/ui/AppShell.h"
#include "app/ui/ConnectWindow.h"
#include "app/ui/ImageView.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MessageWindow.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/SplashWindow.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace korva;
using namespace korva::test;

namespace {

// Counts the times a window is shown.
class ShowCounter : public QObject {
public:
    explicit ShowCounter(QWidget* watched) { watched->installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

QPoint CentredOnPrimary(QSize size) {
    const QRect m = QGuiApplication::primaryScreen()->geometry();
    return QPoint(m.left() + (m.width() - size.width()) / 2, m.top() + (m.height() - size.height()) / 2);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void splashShowsTheVersionAndWaitsThreeSeconds();
    void versionTextWithoutAProductVersion();
    void splashUndoesWindowStateChanges();
    void firstStartReportsTheMissingFileAndHandsOverToTheConnectWindow();
    void autoConnectHandsOverToTheMainWindowOnly();
    void corruptedFileIsReportedAtStart();
    void unwritableSettingsFolderIsReportedAndStartUpGoesOn();
};

void StartupTest::splashShowsTheVersionAndWaitsThreeSeconds() {
    TempSettings settings;
    TfrmStartup_Screen splash(settings.Store());
    QCOMPARE(splash.lbl_VersionInfo->text(), QStringLiteral("KORVA Rivo v2.12\nBuild: 7 March 2024"));
    QCOMPARE(splash.lbl_VersionInfo->geometry(), QRect(310, 61, 122, 30));
    QCOMPARE(splash.lbl_VersionInfo->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(splash.lbl_VersionInfo->palette().color(QPalette::WindowText).rgb(), QRgb(0xFFDBC2C2));
    QCOMPARE(QAccessible::queryAccessibleInterface(splash.lbl_VersionInfo)->text(QAccessible::Name),
             QStringLiteral("KORVA Rivo v2.12\nBuild: 7 March 2024"));
    QCOMPARE(splash.imgStartup->geometry(), QRect(0, 0, 439, 95));
    QVERIFY(!splash.imgStartup->Picture().isNull());
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash.tmrStartup_Time->isActive());
    QVERIFY(splash.tmrStartup_Time->isSingleShot());
    QCOMPARE(splash.tmrStartup_Time->interval(), 3000);
}

void StartupTest::versionTextWithoutAProductVersion() {
    QCOMPARE(TfrmStartup_Screen::VersionText(QString()), QStringLiteral("KORVA Rivo v\nBuild: 7 March 2024"));
}

void StartupTest::splashUndoesWindowStateChanges() {
    TempSettings settings;
    TfrmStartup_Screen splash(settings.Store());
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    splash.setWindowState(Qt::WindowMinimized);
    QTRY_COMPARE(splash.windowState(), Qt::WindowNoState);
    splash.setWindowState(Qt::WindowMaximized);
    QTRY_COMPARE(splash.windowState(), Qt::WindowNoState);
    QCOMPARE(splash.size(), QSize(439, 95));
}

void StartupTest::firstStartReportsTheMissingFileAndHandsOverToTheConnectWindow() {
    QTemporaryDir dir;
    AppShell shell(dir.path() + QLatin1Char('/'));
    QElapsedTimer clock; // the hand-over timer starts while the splash is created
    clock.start();
    shell.Create();
    QVERIFY(QFile::exists(dir.path() + QStringLiteral("/KORVA_Link.dat")));
    QCOMPARE(shell.Settings().LoadStatus(), SettingsLoadStatus::NotFound);
    QCOMPARE(shell.frmConnect()->lbl_VersionInfo->text(), shell.frmStartup_Screen()->lbl_VersionInfo->text());
    QCOMPARE(TfrmMessage::Instance(), shell.frmMessage());
    QVERIFY(shell.frmMessage()->isVisible());
    QCOMPARE(shell.frmMessage()->lbl_Message->text(),
             QStringLiteral("Settings data file not found.\nResetting to defaults"));

    shell.Start();
    TfrmStartup_Screen* splash = shell.frmStartup_Screen();
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->pos(), CentredOnPrimary(QSize(439, 95)));
    QVERIFY(!shell.frmConnect()->isVisible());
    QVERIFY(!shell.frmMain()->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(shell.frmConnect()->isVisible(), 15000);
    QVERIFY2(clock.elapsed() >= 2800, qPrintable(QString::number(clock.elapsed()))); // coarse timer: 5% early
    QVERIFY(!splash->isVisible());
    QVERIFY(!shell.frmMain()->isVisible());
    QVERIFY(!splash->tmrStartup_Time->isActive());
    QVERIFY(shell.frmMessage()->isVisible()); // stays until OK
}

void StartupTest::autoConnectHandsOverToTheMainWindowOnly() {
    QTemporaryDir dir;
    {
        SettingsStore store(dir.path() + QLatin1Char('/'));
        store.LoadSettings(QSize(1920, 1080));
        store.Record().AutoConnect.Set(true);
        store.Record().ControllerIp = {127, 0, 0, 61}; // loopback only
        store.Record().WindowLeft = 30;
        store.Record().WindowTop = 40;
        store.SaveSettings();
    }
    AppShell shell(dir.path() + QLatin1Char('/'));
    shell.Create();
    QCOMPARE(shell.Settings().LoadStatus(), SettingsLoadStatus::Verified);
    QVERIFY(!shell.frmMessage()->isVisible());
    ShowCounter connectShows(shell.frmConnect());
    shell.Start();
    QTRY_VERIFY_WITH_TIMEOUT(shell.frmMain()->isVisible(), 15000);
    QVERIFY(!shell.frmStartup_Screen()->isVisible());
    QCOMPARE(shell.frmMain()->pos(), QPoint(30, 40));
    QTest::qWait(200);
    QCOMPARE(connectShows.shows, 0);
}

void StartupTest::corruptedFileIsReportedAtStart() {
    QTemporaryDir dir;
    {
        SettingsStore store(dir.path() + QLatin1Char('/'));
        store.LoadSettings(QSize(1920, 1080));
    }
    QFile file(dir.path() + QStringLiteral("/KORVA_Link.dat"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(5);
    file.write("\x01", 1);
    file.close();
    AppShell shell(dir.path() + QLatin1Char('/'));
    shell.Create();
    QVERIFY(shell.frmMessage()->isVisible());
    QCOMPARE(shell.frmMessage()->lbl_Message->text(),
             QStringLiteral("Corrupted settings data file.\nResetting to defaults"));
}

void StartupTest::unwritableSettingsFolderIsReportedAndStartUpGoesOn() {
    ErrorCapture errors;
    QTemporaryDir dir;
    AppShell shell(dir.path() + QStringLiteral("/missing/folder/"));
    shell.Create();
    QCOMPARE(errors.Texts().size(), 1);
    QVERIFY(!errors.Texts().first().isEmpty());
    QCOMPARE(shell.frmStartup_Screen()->lbl_VersionInfo->text(),
             QStringLiteral("KORVA Rivo v2.12\nBuild: 7 March 2024"));
    QVERIFY(shell.frmConnect());
    QVERIFY(shell.frmMain());
    QVERIFY(shell.frmMessage());
    shell.Start();
    shell.frmStartup_Screen()->tmrStartup_TimeTimer();
    QVERIFY(shell.frmConnect()->isVisible());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
