// The message window: the start-up notices, placement over the main window, replacing texts and OK.

#include "AppTestSupport.h"
#include "WidgetEvents.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageView.h"
#include "app/ui/MessageWindow.h"

#include <QAccessible>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace korva;
using namespace korva::test;

Q_DECLARE_METATYPE(korva::SettingsLoadStatus)

class MessageWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void creationShowsTheSettingsNotice_data();
    void creationShowsTheSettingsNotice();
    void controlsSitAtTheirPlacesWithTheirLook();
    void shownCentredOverTheMainWindow();
    void secondMessageReplacesTheTextWithoutMoving();
    void okHidesAndTheNextMessageCentresAgain();
    void longTextWrapsInsideTheBox();
    void droppedItemsAreHandedOn();
};

void MessageWindowTest::creationShowsTheSettingsNotice_data() {
    QTest::addColumn<SettingsLoadStatus>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("not found") << SettingsLoadStatus::NotFound
                               << "Settings data file not found.\nResetting to defaults";
    QTest::newRow("corrupted") << SettingsLoadStatus::Corrupted
                               << "Corrupted settings data file.\nResetting to defaults";
    QTest::newRow("verified") << SettingsLoadStatus::Verified << "";
    QTest::newRow("unverified") << SettingsLoadStatus::Unverified << "";
}

void MessageWindowTest::creationShowsTheSettingsNotice() {
    QFETCH(SettingsLoadStatus, status);
    QFETCH(QString, text);
    QWidget main;
    main.setGeometry(100, 100, 268, 435);
    TfrmMessage window(status, &main);
    QCOMPARE(window.isVisible(), !text.isEmpty());
    QCOMPARE(window.lbl_Message->text(), text);
    QCOMPARE(TfrmMessage::Instance(), &window);
    if (!text.isEmpty())
        QCOMPARE(window.pos(), QPoint(82, 246));
}

void MessageWindowTest::controlsSitAtTheirPlacesWithTheirLook() {
    TfrmMessage window(SettingsLoadStatus::Verified, nullptr);
    QCOMPARE(window.size(), QSize(303, 143));
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window.acceptDrops());
    QCOMPARE(window.Img_Message_Window->geometry(), QRect(0, 0, 303, 143));
    QVERIFY(!window.Img_Message_Window->Picture().isNull());
    QCOMPARE(window.lbl_Message->geometry(), QRect(11, 40, 280, 64));
    QVERIFY(window.lbl_Message->wordWrap());
    QCOMPARE(window.lbl_Message->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    QCOMPARE(window.lbl_Message->palette().color(QPalette::WindowText).rgb(), QRgb(0xFF65E2FC));
    QCOMPARE(window.lbl_Message->font().pixelSize(), 15);
    QCOMPARE(window.Img_Button_OK->geometry(), QRect(115, 112, 73, 18));
    QCOMPARE(window.Img_Button_OK->ShownPicture(), 0);
    QCOMPARE(QAccessible::queryAccessibleInterface(window.Img_Button_OK)->text(QAccessible::Name),
             QStringLiteral("OK"));
    window.ShowMessage(QStringLiteral("Drag and drop the folder to map"));
    QCOMPARE(QAccessible::queryAccessibleInterface(window.lbl_Message)->text(QAccessible::Name),
             QStringLiteral("Drag and drop the folder to map"));
}

void MessageWindowTest::shownCentredOverTheMainWindow() {
    QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
    main.setGeometry(100, 100, 268, 435);
    TfrmMessage window(SettingsLoadStatus::Verified, &main);
    QVERIFY(!window.isVisible());
    ShowMessage(QStringLiteral("Drag and drop the folder to map"));
    QVERIFY(window.isVisible());
    QCOMPARE(window.pos(), QPoint(82, 246));
    QCOMPARE(window.lbl_Message->text(), QStringLiteral("Drag and drop the folder to map"));
}

void MessageWindowTest::secondMessageReplacesTheTextWithoutMoving() {
    QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
    main.setGeometry(100, 100, 268, 435);
    TfrmMessage window(SettingsLoadStatus::Verified, &main);
    window.ShowMessage(QStringLiteral("first"));
    main.move(400, 300); // the main window moves while the message is up
    window.ShowMessage(QStringLiteral("Mapped folder\n/home/user/parts"));
    QCOMPARE(window.pos(), QPoint(82, 246));
    QCOMPARE(window.lbl_Message->text(), QStringLiteral("Mapped folder\n/home/user/parts"));
}

void MessageWindowTest::okHidesAndTheNextMessageCentresAgain() {
    QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
    main.setGeometry(100, 100, 268, 435);
    TfrmMessage window(SettingsLoadStatus::NotFound, &main);
    QVERIFY(window.isVisible());
    Enter(window.Img_Button_OK);
    Press(window.Img_Button_OK);
    QCOMPARE(window.Img_Button_OK->ShownPicture(), 2);
    Release(window.Img_Button_OK);
    QVERIFY(!window.isVisible());

    main.setGeometry(300, 50, 536, 435);
    ShowMessage(QStringLiteral("again"));
    QCOMPARE(window.pos(), QPoint(300 + 116, 50 + 146));
}

void MessageWindowTest::longTextWrapsInsideTheBox() {
    TfrmMessage window(SettingsLoadStatus::Verified, nullptr);
    const QString text =
        QStringLiteral("A rather long message that does not fit on one line of the message box "
                       "and goes on and on until it runs out of the box at the bottom");
    window.ShowMessage(text);
    QCOMPARE(window.lbl_Message->text(), text);
    QCOMPARE(window.lbl_Message->size(), QSize(280, 64)); // the box does not grow
    QVERIFY(window.lbl_Message->heightForWidth(280) > 64);
}

void MessageWindowTest::droppedItemsAreHandedOn() {
    TfrmMessage window(SettingsLoadStatus::Verified, nullptr);
    window.show();
    QSignalSpy drops(&window, &TfrmMessage::FilesDropped);
    QMimeData data;
    const QUrl folder = QUrl::fromLocalFile(QStringLiteral("/home/user/parts"));
    data.setUrls({folder});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(drops.count(), 1);
    QCOMPARE(drops.first().first().value<QList<QUrl>>(), QList<QUrl>{folder});
}

QTEST_MAIN(MessageWindowTest)
#include "tst_message_window.moc"
