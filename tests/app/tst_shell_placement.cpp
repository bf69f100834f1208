// Window placement arithmetic and the address-octet conversion: no window needed.

#include "app/ui/OctetInput.h"
#include "app/ui/Placement.h"

#include <QTest>

using namespace korva;

class ShellPlacementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void titleIconIsCentredWithHalvesToEven_data();
    void titleIconIsCentredWithHalvesToEven();
    void splashIsCentredOnTheMonitorHoldingTheStoredCentre_data();
    void splashIsCentredOnTheMonitorHoldingTheStoredCentre();
    void connectWindowKeepsOnlyPositionsOnTheDesktop_data();
    void connectWindowKeepsOnlyPositionsOnTheDesktop();
    void messageIsCentredOverTheMainWindow_data();
    void messageIsCentredOverTheMainWindow();
    void dragKeepsTheGrabPointUnderThePointer();
    void octetTextConverts_data();
    void octetTextConverts();
    void octetTextThatIsNoAddressNumberIsRefused_data();
    void octetTextThatIsNoAddressNumberIsRefused();
};

void ShellPlacementTest::titleIconIsCentredWithHalvesToEven_data() {
    QTest::addColumn<int>("windowWidth");
    QTest::addColumn<int>("titleWidth");
    QTest::addColumn<int>("iconLeft");
    // 134 - (59 + 18) / 2 = 95.5 -> 96; 134 - (61 + 18) / 2 = 94.5 -> 94.
    QTest::newRow("half up to even") << 268 << 59 << 96;
    QTest::newRow("half down to even") << 268 << 61 << 94;
    QTest::newRow("whole") << 268 << 60 << 95;
    QTest::newRow("wide main window") << 536 << 60 << 229;
    QTest::newRow("title wider than window") << 40 << 100 << -39;
    QTest::newRow("negative half to even") << 40 << 101 << -40; // -39.5
}

void ShellPlacementTest::titleIconIsCentredWithHalvesToEven() {
    QFETCH(int, windowWidth);
    QFETCH(int, titleWidth);
    QFETCH(int, iconLeft);
    QCOMPARE(placement::TitleIconLeft(windowWidth, titleWidth, 15), iconLeft);
    QCOMPARE(placement::TitleTextLeft(iconLeft, 15), iconLeft + 18);
}

void ShellPlacementTest::splashIsCentredOnTheMonitorHoldingTheStoredCentre_data() {
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QList<QRect>>("monitors");
    QTest::addColumn<QPoint>("placed");
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 2560, 1440);
    // Centre = stored + (219, 47).
    QTest::newRow("primary") << QPoint(692, 105) << QList<QRect>{left, right} << QPoint(740, 492);
    QTest::newRow("second monitor") << QPoint(2500, 300) << QList<QRect>{left, right}
                                    << QPoint(1920 + 1060, 672);
    QTest::newRow("centre decides, not the left edge")
        << QPoint(1800, 10) << QList<QRect>{left, right} << QPoint(1920 + 1060, 672);
    QTest::newRow("gone monitor: nearest")
        << QPoint(5000, 200) << QList<QRect>{left, right} << QPoint(1920 + 1060, 672);
    QTest::newRow("far above and left: nearest")
        << QPoint(-3000, -3000) << QList<QRect>{right, left} << QPoint(740, 492);
    QTest::newRow("monitor below the primary")
        << QPoint(100, 1200) << QList<QRect>{left, QRect(0, 1080, 1280, 1024)} << QPoint(420, 1080 + 464);
    QTest::newRow("odd monitor size drops the remainder")
        << QPoint(0, 0) << QList<QRect>{QRect(0, 0, 1366, 767)} << QPoint(463, 336);
}

void ShellPlacementTest::splashIsCentredOnTheMonitorHoldingTheStoredCentre() {
    QFETCH(QPoint, stored);
    QFETCH(QList<QRect>, monitors);
    QFETCH(QPoint, placed);
    QCOMPARE(placement::SplashPlacement(stored, QSize(439, 95), monitors), placed);
}

void ShellPlacementTest::connectWindowKeepsOnlyPositionsOnTheDesktop_data() {
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QRect>("desktop");
    QTest::addColumn<QRect>("monitor0");
    QTest::addColumn<QPoint>("placed");
    const QRect fullHd(0, 0, 1920, 1080);
    const QPoint centred((1920 - 268) / 2, (1080 - 435) / 2); // 826, 322
    QTest::newRow("inside") << QPoint(692, 105) << fullHd << fullHd << QPoint(692, 105);
    QTest::newRow("touching right and bottom") << QPoint(1652, 645) << fullHd << fullHd << QPoint(1652, 645);
    QTest::newRow("one past the right") << QPoint(1653, 100) << fullHd << fullHd << centred;
    QTest::newRow("one past the bottom") << QPoint(100, 646) << fullHd << fullHd << centred;
    QTest::newRow("left of the desktop") << QPoint(-1, 100) << fullHd << fullHd << centred;
    QTest::newRow("above the desktop") << QPoint(100, -1) << fullHd << fullHd << centred;
    QTest::newRow("far off") << QPoint(100000, -100000) << fullHd << fullHd << centred;
    // A desktop that reaches left of the primary monitor: its right edge is at 1919, not at its width.
    const QRect wide(-1920, 0, 3840, 1080);
    QTest::newRow("left monitor kept") << QPoint(-1500, 100) << wide << fullHd << QPoint(-1500, 100);
    QTest::newRow("beyond the right edge of an offset desktop")
        << QPoint(3000, 100) << wide << fullHd << centred;
    // Monitor 0's own left and top are not added.
    QTest::newRow("monitor 0 not at the origin")
        << QPoint(5000, 5000) << QRect(0, 0, 3200, 1200) << QRect(1920, 0, 1280, 1024)
        << QPoint((1280 - 268) / 2, (1024 - 435) / 2);
}

void ShellPlacementTest::connectWindowKeepsOnlyPositionsOnTheDesktop() {
    QFETCH(QPoint, stored);
    QFETCH(QRect, desktop);
    QFETCH(QRect, monitor0);
    QFETCH(QPoint, placed);
    QCOMPARE(placement::ConnectPlacement(stored, QSize(268, 435), desktop, monitor0), placed);
}

void ShellPlacementTest::messageIsCentredOverTheMainWindow_data() {
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QPoint>("placed");
    // -17.5 rounds to -18, 146 stays.
    QTest::newRow("narrow main") << QRect(100, 100, 268, 435) << QPoint(82, 246);
    // 268 - 151.5 = 116.5 -> 116.
    QTest::newRow("main with tools") << QRect(100, 100, 536, 435) << QPoint(216, 246);
    QTest::newRow("negative position") << QRect(-500, -20, 268, 435) << QPoint(-518, 126);
    // (300 - 303) / 2 = -1.5 -> -2; (144 - 143) / 2 = 0.5 -> 0.
    QTest::newRow("halves to even both ways") << QRect(0, 0, 300, 144) << QPoint(-2, 0);
}

void ShellPlacementTest::messageIsCentredOverTheMainWindow() {
    QFETCH(QRect, main);
    QFETCH(QPoint, placed);
    QCOMPARE(placement::MessagePlacement(main, QSize(303, 143)), placed);
}

void ShellPlacementTest::dragKeepsTheGrabPointUnderThePointer() {
    // Grabbed at (100, 5) of the strip; the pointer moves 50 right and 20 down.
    const QPoint window(300, 200);
    const QPoint moved = placement::DragPosition(window, QPoint(150, 25), QPoint(100, 5));
    QCOMPARE(moved, QPoint(350, 220));
    // After the move the pointer is over the grab point again: no further movement.
    QCOMPARE(placement::DragPosition(moved, QPoint(100, 5), QPoint(100, 5)), moved);
}

void ShellPlacementTest::octetTextConverts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("octet");
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("255") << "255" << 255;
    QTest::newRow("192") << "192" << 192;
    QTest::newRow("plus sign") << "+12" << 12;
}

void ShellPlacementTest::octetTextConverts() {
    QFETCH(QString, text);
    QFETCH(int, octet);
    QCOMPARE(int(ParseOctet(text)), octet);
}

void ShellPlacementTest::octetTextThatIsNoAddressNumberIsRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << ""
                           << R"("" is an invalid integer)";
    QTest::newRow("letters") << "abc"
                             << R"("abc" is an invalid integer)";
    QTest::newRow("space") << " 5"
                           << R"(" 5" is an invalid integer)";
    QTest::newRow("sign only") << "-"
                               << R"("-" is an invalid integer)";
    QTest::newRow("hex") << "0x1F"
                         << R"("0x1F" is an invalid integer)";
    QTest::newRow("300") << "300"
                         << R"("300" is not a valid address number)";
    QTest::newRow("256") << "256"
                         << R"("256" is not a valid address number)";
    QTest::newRow("negative") << "-1"
                              << R"("-1" is not a valid address number)";
    QTest::newRow("huge") << "99999999999999999999999"
                          << R"("99999999999999999999999" is not a valid address number)";
}

void ShellPlacementTest::octetTextThatIsNoAddressNumberIsRefused() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    try {
        ParseOctet(text);
        QFAIL("no error");
    } catch (const InputError& e) {
        QCOMPARE(QString::fromUtf8(e.what()), error);
    }
}

QTEST_APPLESS_MAIN(ShellPlacementTest)
#include "tst_shell_placement.moc"
