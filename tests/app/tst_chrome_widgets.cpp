// The shared window chrome: image buttons, optimal-fill labels, the title strip and the close and
// minimise pair.

#include "WidgetEvents.h"
#include "app/ui/ClickableLabel.h"
#include "app/ui/ImageButton.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/TitleStrip.h"
#include "app/ui/WindowChrome.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

using namespace korva;
using namespace korva::test;

Q_DECLARE_METATYPE(korva::ButtonPictures)

namespace {

QList<QPixmap> NumberedPictures(int count) {
    QList<QPixmap> pictures;
    for (int i = 0; i < count; ++i) {
        QPixmap picture(374, 40);
        picture.fill(QColor::fromHsv(i * 40, 200, 200));
        pictures.append(picture);
    }
    return pictures;
}

bool Fits(const QFont& base, int pixelSize, const QString& text, QSize box) {
    QFont font = base;
    font.setPixelSize(pixelSize);
    const QRect r = QFontMetrics(font).boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft, text);
    return r.width() <= box.width() && r.height() <= box.height();
}

} // namespace

class ChromeWidgetsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buttonShowsThePictureOfEachPointerEvent_data();
    void buttonShowsThePictureOfEachPointerEvent();
    void buttonClicksOnlyOnALeftReleaseInside();
    void pictureOutsideTheListLeavesThePicture();
    void buttonsAndTickBoxDescribeThemselvesToAssistiveTools();
    void optimalFillChoosesTheLargestSizeThatFits_data();
    void optimalFillChoosesTheLargestSizeThatFits();
    void optimalFillRefitsOnNewTextAndSize();
    void clickableLabelClicksAndUnclickableLetsPressesThrough();
    void chromePairLightsUpTogether_data();
    void chromePairLightsUpTogether();
    void titleTextAndIconDoNotStartADragButTheFreeStripDoes();
    void dragMovesTheWindowByThePointerDistance();
};

void ChromeWidgetsTest::buttonShowsThePictureOfEachPointerEvent_data() {
    QTest::addColumn<ButtonPictures>("table");
    QTest::addColumn<QString>("events"); // e enter, l leave, p press, r release
    QTest::addColumn<QList<int>>("shown");
    const ButtonPictures ordinary = ButtonPictures::Ordinary();
    const ButtonPictures disconnect{1, 0, ButtonPictures::NoChange, ButtonPictures::NoChange};
    const ButtonPictures toolsOpen{4, 3, 5, ButtonPictures::NoChange};
    QTest::newRow("ordinary hover, press, release, leave") << ordinary << "eprl" << QList<int>{1, 2, 1, 0};
    QTest::newRow("disconnect has no pressed picture") << disconnect << "eprl" << QList<int>{1, 1, 1, 0};
    QTest::newRow("tools while open") << toolsOpen << "eprl" << QList<int>{4, 5, 5, 3};
}

void ChromeWidgetsTest::buttonShowsThePictureOfEachPointerEvent() {
    QFETCH(ButtonPictures, table);
    QFETCH(QString, events);
    QFETCH(QList<int>, shown);
    ImageButton button(QStringLiteral("Tools"));
    button.resize(187, 20);
    button.SetImageList(NumberedPictures(6));
    button.SetPictureTable(table);
    button.ShowPicture(0);
    for (int i = 0; i < events.size(); ++i) {
        switch (events[i].toLatin1()) {
        case 'e':
            Enter(&button);
            break;
        case 'l':
            Leave(&button);
            break;
        case 'p':
            Press(&button);
            break;
        case 'r':
            Release(&button);
            break;
        }
        QCOMPARE(button.ShownPicture(), shown[i]);
        QCOMPARE(button.Picture().toImage(), button.ImageList()[shown[i]].toImage());
    }
}

void ChromeWidgetsTest::buttonClicksOnlyOnALeftReleaseInside() {
    ImageButton button(QStringLiteral("OK"));
    button.resize(73, 18);
    button.SetImageList(NumberedPictures(3));
    button.SetPictureTable(ButtonPictures::Ordinary());
    QSignalSpy clicks(&button, &ImageButton::Clicked);

    Click(&button, {10, 10});
    QCOMPARE(clicks.count(), 1);

    Press(&button, {10, 10});
    Release(&button, {200, 10}); // dragged off before releasing
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(button.ShownPicture(), 1); // the release picture is drawn anyway

    Press(&button, {10, 10}, Qt::RightButton);
    QCOMPARE(button.ShownPicture(), 2); // any button shows the pressed look
    Release(&button, {10, 10}, Qt::RightButton);
    QCOMPARE(clicks.count(), 1);

    Release(&button, {10, 10}); // a release without a press
    QCOMPARE(clicks.count(), 1);
}

void ChromeWidgetsTest::pictureOutsideTheListLeavesThePicture() {
    ImageButton button(QStringLiteral("Connect"));
    button.SetImageList(NumberedPictures(3));
    button.ShowPicture(2);
    button.ShowPicture(3);
    button.ShowPicture(-1);
    QCOMPARE(button.ShownPicture(), 2);
    QCOMPARE(button.Picture().toImage(), button.ImageList()[2].toImage());
}

void ChromeWidgetsTest::buttonsAndTickBoxDescribeThemselvesToAssistiveTools() {
    ImageButton button(QStringLiteral("Send File"));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&button);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Send File"));
    QCOMPARE(face->role(), QAccessible::Button);
    QSignalSpy clicks(&button, &ImageButton::Clicked);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks.count(), 1);

    ImageButton tick(QStringLiteral("Connected to My KORVA network"));
    tick.SetCheckable(true);
    QAccessibleInterface* tickFace = QAccessible::queryAccessibleInterface(&tick);
    QCOMPARE(tickFace->role(), QAccessible::CheckBox);
    QCOMPARE(tickFace->text(QAccessible::Name), QStringLiteral("Connected to My KORVA network"));
    QVERIFY(!tickFace->state().checked);
    tick.SetChecked(true);
    QVERIFY(tickFace->state().checked);
}

void ChromeWidgetsTest::optimalFillChoosesTheLargestSizeThatFits_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("box");
    QTest::newRow("splash version") << "KORVA Rivo v2.12\nBuild: 7 March 2024" << QSize(122, 30);
    QTest::newRow("connect version") << "KORVA Rivo v2.12\nBuild: 7 March 2024" << QSize(110, 28);
    QTest::newRow("one line, width bound") << "A long single line of text for a small box" << QSize(120, 40);
    QTest::newRow("one line, height bound") << "Hi" << QSize(200, 20);
    QTest::newRow("three lines") << "one\ntwo\nthree" << QSize(200, 45);
}

void ChromeWidgetsTest::optimalFillChoosesTheLargestSizeThatFits() {
    QFETCH(QString, text);
    QFETCH(QSize, box);
    OptimalFillLabel label;
    label.resize(box);
    label.setText(text);
    const int size = label.font().pixelSize();
    QVERIFY2(size >= 1, qPrintable(QString::number(size)));
    QVERIFY(Fits(label.font(), size, text, box));
    QVERIFY(!Fits(label.font(), size + 1, text, box) || size + 1 > box.height());
}

void ChromeWidgetsTest::optimalFillRefitsOnNewTextAndSize() {
    OptimalFillLabel label;
    label.resize(122, 30);
    label.setText(QStringLiteral("One line"));
    const int oneLine = label.font().pixelSize();
    label.setText(QStringLiteral("One line\nand a second"));
    const int twoLines = label.font().pixelSize();
    QVERIFY2(twoLines < oneLine, qPrintable(QStringLiteral("%1 %2").arg(oneLine).arg(twoLines)));
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    label.resize(244, 60);
    QVERIFY(label.font().pixelSize() > twoLines);
}

void ChromeWidgetsTest::clickableLabelClicksAndUnclickableLetsPressesThrough() {
    QWidget window;
    ClickableLabel label(&window);
    label.setText(QStringLiteral("KORVA Documentation"));
    label.resize(120, 14);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&label);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("KORVA Documentation"));
    label.setText(QStringLiteral("Machine Stopped"));
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Machine Stopped"));

    QSignalSpy clicks(&label, &ClickableLabel::Clicked);
    Click(&label);
    QCOMPARE(clicks.count(), 1);

    label.SetClickable(false);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), label.mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&label, &press);
    QVERIFY(!press.isAccepted());
    Release(&label);
    QCOMPARE(clicks.count(), 1);
}

void ChromeWidgetsTest::chromePairLightsUpTogether_data() {
    QTest::addColumn<bool>("connectWindowRule");
    QTest::addColumn<QList<int>>("afterRelease"); // close, minimise
    QTest::newRow("connect window: release shows the normal pair") << true << QList<int>{2, 3};
    QTest::newRow("main window: release keeps the hover pair") << false << QList<int>{3, 4};
}

void ChromeWidgetsTest::chromePairLightsUpTogether() {
    QFETCH(bool, connectWindowRule);
    QFETCH(QList<int>, afterRelease);
    QWidget window;
    window.resize(268, 435);
    WindowChrome chrome(&window, connectWindowRule ? WindowChrome::MinimiseRelease::ReleaseShowsNormalPair
                                                   : WindowChrome::MinimiseRelease::ReleaseKeepsPictures);
    ImageButton* close = chrome.Img_Close_Window;
    ImageButton* minimise = chrome.Img_Minimize_Window;
    auto pair = [&] { return QList<int>{close->ShownPicture(), minimise->ShownPicture()}; };

    QCOMPARE(pair(), (QList<int>{2, 3}));
    Enter(close);
    QCOMPARE(pair(), (QList<int>{3, 4}));
    // Straight from close onto minimise: both stay lit.
    Leave(close);
    Enter(minimise);
    QCOMPARE(pair(), (QList<int>{3, 4}));
    Press(minimise);
    QCOMPARE(pair(), (QList<int>{3, 4}));
    QSignalSpy minimiseClicks(&chrome, &WindowChrome::MinimiseClicked);
    Release(minimise);
    QCOMPARE(pair(), afterRelease);
    QCOMPARE(minimiseClicks.count(), 1);
    Leave(minimise);
    QCOMPARE(pair(), (QList<int>{2, 3}));

    QSignalSpy closeClicks(&chrome, &WindowChrome::CloseClicked);
    Click(close);
    QCOMPARE(closeClicks.count(), 1);
    QCOMPARE(close->Caption(), QStringLiteral("Close"));
    QCOMPARE(minimise->Caption(), QStringLiteral("Minimise"));
}

void ChromeWidgetsTest::titleTextAndIconDoNotStartADragButTheFreeStripDoes() {
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(536, 435);
    WindowChrome chrome(&window, WindowChrome::MinimiseRelease::ReleaseKeepsPictures);
    chrome.SetStripWidth(536);
    chrome.CentreTitle();
    TitleStrip* strip = chrome.lbl_Form_Titlebar_Move;

    const QWidget* widgets[] = {chrome.lbl_Window_Title, chrome.Img_Titlebar_Icon,
                                chrome.Img_Minimize_Window};
    for (const QWidget* covering : widgets) {
        const QPoint point = covering->geometry().center();
        QWidget* hit = window.childAt(point);
        QCOMPARE(hit, covering);
        Press(hit, hit->mapFrom(&window, point));
        QVERIFY(!strip->IsDragging());
        Release(hit, hit->mapFrom(&window, point));
    }
    const QPoint free(520, 10);
    QWidget* hit = window.childAt(free);
    QCOMPARE(hit, static_cast<QWidget*>(strip));
    Press(hit, hit->mapFrom(&window, free), Qt::RightButton); // any button
    QVERIFY(strip->IsDragging());
    Release(hit, hit->mapFrom(&window, free), Qt::RightButton);
    QVERIFY(!strip->IsDragging());
}

void ChromeWidgetsTest::dragMovesTheWindowByThePointerDistance() {
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(268, 435);
    WindowChrome chrome(&window, WindowChrome::MinimiseRelease::ReleaseShowsNormalPair);
    window.move(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TitleStrip* strip = chrome.lbl_Form_Titlebar_Move;
    const QPoint start = window.pos();

    // The pointer in screen coordinates; each event carries its position within the strip as it
    // lies at that moment.
    const QPointF grabGlobal = strip->mapToGlobal(QPointF(200, 5));
    auto sendAt = [&](QEvent::Type type, QPointF global) {
        const QPointF local = global - QPointF(strip->mapToGlobal(QPoint(0, 0)));
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(strip, &event);
    };
    sendAt(QEvent::MouseButtonPress, grabGlobal);
    sendAt(QEvent::MouseMove, grabGlobal + QPointF(30, 5));
    sendAt(QEvent::MouseMove, grabGlobal + QPointF(50, 20));
    QCOMPARE(window.pos(), start + QPoint(50, 20));
    // The grab point is under the pointer again: a repeated event at the same place does not move.
    sendAt(QEvent::MouseMove, grabGlobal + QPointF(50, 20));
    QCOMPARE(window.pos(), start + QPoint(50, 20));
    QCOMPARE(strip->mapToGlobal(QPointF(200, 5)), grabGlobal + QPointF(50, 20));
    sendAt(QEvent::MouseButtonRelease, grabGlobal + QPointF(50, 20));
    sendAt(QEvent::MouseMove, grabGlobal + QPointF(90, 90));
    QCOMPARE(window.pos(), start + QPoint(50, 20));
}

QTEST_MAIN(ChromeWidgetsTest)
#include "tst_chrome_widgets.moc"
