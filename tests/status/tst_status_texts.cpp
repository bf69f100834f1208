#include "status/FileLineHeight.h"
#include "status/StatusTexts.h"

#include <QLocale>
#include <QtTest>
#include <clocale>
#include <cmath>
#include <limits>
#include <set>
#include <string>

using namespace korva;

class TestStatusTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void identityBlockHasThreeLines_data();
    void identityBlockHasThreeLines();
    void coreVersionHasTwoDecimalsRoundedHalfToEven_data();
    void coreVersionHasTwoDecimalsRoundedHalfToEven();
    void jobTimeSplitsHoursMinutesSeconds_data();
    void jobTimeSplitsHoursMinutesSeconds();
    void jobsTextIsSignedDecimal_data();
    void jobsTextIsSignedDecimal();
    void alarmCodesMapToTheirTexts_data();
    void alarmCodesMapToTheirTexts();
    void alarmCodesOutsideTheTableHaveNoText();
    void textsIgnoreAGermanLocale();
    void fileLineHeightScalesWithDensity_data();
    void fileLineHeightScalesWithDensity();
};

void TestStatusTexts::identityBlockHasThreeLines_data() {
    QTest::addColumn<bool>("isK8");
    QTest::addColumn<int>("serial");
    QTest::addColumn<QByteArray>("software");
    QTest::addColumn<float>("core");
    QTest::addColumn<QString>("expected");

    QTest::newRow("K8 mill") << true << 7000 << QByteArray("Mill 5-Axis") << 3.1f
                             << "Serial No: K8-7000\nMill 5-Axis\nCore Version: 3.10";
    QTest::newRow("K7 lathe") << false << 4321 << QByteArray("Lathe") << 2.5f
                              << "Serial No: K7-4321\nLathe\nCore Version: 2.50";
    QTest::newRow("negative serial") << false << -12 << QByteArray("Router") << 1.0f
                                     << "Serial No: K7--12\nRouter\nCore Version: 1.00";
    QTest::newRow("empty software name")
        << true << 5001 << QByteArray() << 0.125f << "Serial No: K8-5001\n\nCore Version: 0.12";
    QTest::newRow("utf-8 software name")
        << true << 8000 << QByteArray("Fr\xc3\xa4se") << 4.0f
        << QStringLiteral("Serial No: K8-8000\nFr\u00e4se\nCore Version: 4.00");
    QTest::newRow("largest serial") << true << std::numeric_limits<std::int32_t>::max()
                                    << QByteArray("Plasma") << 10.0f
                                    << "Serial No: K8-2147483647\nPlasma\nCore Version: 10.00";
}

void TestStatusTexts::identityBlockHasThreeLines() {
    QFETCH(bool, isK8);
    QFETCH(int, serial);
    QFETCH(QByteArray, software);
    QFETCH(float, core);
    QFETCH(QString, expected);

    DecodedStatus decoded;
    decoded.IsK8 = isK8;
    decoded.SerialNumber = serial;
    decoded.SoftwareName = software;
    decoded.CoreVersion = core;
    QCOMPARE(IdentityText(decoded), expected);
}

void TestStatusTexts::coreVersionHasTwoDecimalsRoundedHalfToEven_data() {
    QTest::addColumn<float>("core");
    QTest::addColumn<QString>("expected");

    // Exact ties in float32 go to the even neighbour.
    QTest::newRow("0.125 tie down") << 0.125f << "0.12";
    QTest::newRow("0.375 tie up") << 0.375f << "0.38";
    QTest::newRow("0.625 tie down") << 0.625f << "0.62";
    QTest::newRow("2.625 tie down") << 2.625f << "2.62";
    QTest::newRow("-0.375 tie") << -0.375f << "-0.38";
    // Values that look like ties in decimal are not ties in float32.
    QTest::newRow("12.345 is above the tie") << 12.345f << "12.35";
    QTest::newRow("1.005 is below the tie") << 1.005f << "1.00";
    QTest::newRow("0.995 carries into the units") << 0.995f << "1.00";
    QTest::newRow("3.1") << 3.1f << "3.10";
    QTest::newRow("zero") << 0.0f << "0.00";
    QTest::newRow("tiny negative rounds to zero") << -0.001f << "0.00";
    QTest::newRow("negative zero") << -0.0f << "0.00";
    QTest::newRow("large") << 1.0e10f << "10000000000.00";
    QTest::newRow("largest float") << std::numeric_limits<float>::max()
                                   << "340282346638528859811704183484516925440.00";
    QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << "nan";
    QTest::newRow("-inf") << -std::numeric_limits<float>::infinity() << "-inf";
}

void TestStatusTexts::coreVersionHasTwoDecimalsRoundedHalfToEven() {
    QFETCH(float, core);
    QFETCH(QString, expected);
    QCOMPARE(CoreVersionText(core), expected);
}

void TestStatusTexts::jobTimeSplitsHoursMinutesSeconds_data() {
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0") << 0 << "Job Time: 0:0:0";
    QTest::newRow("59") << 59 << "Job Time: 0:0:59";
    QTest::newRow("60") << 60 << "Job Time: 0:1:0";
    QTest::newRow("3599") << 3599 << "Job Time: 0:59:59";
    QTest::newRow("3600") << 3600 << "Job Time: 1:0:0";
    QTest::newRow("3909") << 3909 << "Job Time: 1:5:9";
    QTest::newRow("86399") << 86399 << "Job Time: 23:59:59";
    QTest::newRow("a day, an hour, a minute and a second") << 90061 << "Job Time: 25:1:1";
    QTest::newRow("int32 max") << 2147483647 << "Job Time: 596523:14:7";

    // Negative t, by hand with H = floor(t/3600), M = floor(t/60 - trunc(t/3600)*60), S = t rem 60:
    //   -1:    H = floor(-0.00028) = -1; M = floor(-0.01667 - 0) = -1;          S = -1
    //   -59:   H = -1;                   M = floor(-0.98333) = -1;              S = -59
    //   -60:   H = -1;                   M = floor(-1.0) = -1;                  S = 0
    //   -61:   H = -1;                   M = floor(-1.01667) = -2;              S = -1
    //   -3599: H = floor(-0.99972) = -1; M = floor(-59.98333 - 0) = -60;       S = -59
    //   -3600: H = -1;                   M = floor(-60 - (-1*60)) = 0;          S = 0
    //   -3661: H = floor(-1.01694) = -2; M = floor(-61.01667 + 60) = -2;        S = -1
    //   -7200: H = -2;                   M = floor(-120 + 120) = 0;             S = 0
    //   int32 min -2147483648: H = floor(-596523.236) = -596524;
    //          M = floor(-35791394.133 + 596523*60) = floor(-14.133) = -15;     S = -8
    QTest::newRow("-1") << -1 << "Job Time: -1:-1:-1";
    QTest::newRow("-59") << -59 << "Job Time: -1:-1:-59";
    QTest::newRow("-60") << -60 << "Job Time: -1:-1:0";
    QTest::newRow("-61") << -61 << "Job Time: -1:-2:-1";
    QTest::newRow("-3599") << -3599 << "Job Time: -1:-60:-59";
    QTest::newRow("-3600") << -3600 << "Job Time: -1:0:0";
    QTest::newRow("-3661") << -3661 << "Job Time: -2:-2:-1";
    QTest::newRow("-7200") << -7200 << "Job Time: -2:0:0";
    QTest::newRow("int32 min") << std::numeric_limits<std::int32_t>::min() << "Job Time: -596524:-15:-8";
}

void TestStatusTexts::jobTimeSplitsHoursMinutesSeconds() {
    QFETCH(int, seconds);
    QFETCH(QString, expected);
    QCOMPARE(JobTimeText(seconds), expected);
}

void TestStatusTexts::jobsTextIsSignedDecimal_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0 << "Jobs: 0";
    QTest::newRow("12") << 12 << "Jobs: 12";
    QTest::newRow("-3") << -3 << "Jobs: -3";
    QTest::newRow("int32 min") << std::numeric_limits<std::int32_t>::min() << "Jobs: -2147483648";
}

void TestStatusTexts::jobsTextIsSignedDecimal() {
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(JobsText(count), expected);
}

void TestStatusTexts::alarmCodesMapToTheirTexts_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0 << "X MOTOR ALARM";
    QTest::newRow("1") << 1 << "Y MOTOR ALARM";
    QTest::newRow("2") << 2 << "Z MOTOR ALARM";
    QTest::newRow("3") << 3 << "A MOTOR ALARM";
    QTest::newRow("4") << 4 << "B MOTOR ALARM";
    QTest::newRow("5") << 5 << "SPINDLE ALARM";
    QTest::newRow("7") << 7 << "X HARD LIMIT\nALARM";
    QTest::newRow("8") << 8 << "Y HARD LIMIT\nALARM";
    QTest::newRow("9") << 9 << "Z HARD LIMIT\nALARM";
    QTest::newRow("10") << 10 << "A HARD LIMIT\nALARM";
    QTest::newRow("11") << 11 << "B HARD LIMIT\nALARM";
    QTest::newRow("12") << 12 << "SPINDLE COOLANT\nALARM";
    QTest::newRow("20") << 20 << "LUBRICANT LOW\nALARM";
    QTest::newRow("21") << 21 << "TORCH HIT\nALARM";
}

void TestStatusTexts::alarmCodesMapToTheirTexts() {
    QFETCH(int, code);
    QFETCH(QString, expected);
    const std::optional<QString> text = AlarmText(static_cast<std::uint8_t>(code));
    QVERIFY(text.has_value());
    QCOMPARE(*text, expected);
}

void TestStatusTexts::alarmCodesOutsideTheTableHaveNoText() {
    const std::set<int> known{0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 20, 21};
    for (int code = 0; code <= 255; ++code) {
        if (known.count(code) == 0)
            QVERIFY2(!AlarmText(static_cast<std::uint8_t>(code)).has_value(),
                     qPrintable(QString::number(code)));
    }
}

void TestStatusTexts::textsIgnoreAGermanLocale() {
    const QLocale previousDefault;
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The C locale is switched too where the system has it (not every build machine does).
    const bool cLocaleSwitched = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;

    DecodedStatus decoded;
    decoded.IsK8 = true;
    decoded.SerialNumber = 1234567;
    decoded.SoftwareName = "Mill 5-Axis";
    decoded.CoreVersion = 3.1f;
    const QString identity = IdentityText(decoded);
    const QString jobTime = JobTimeText(3909);
    const QString jobs = JobsText(1234567);

    std::setlocale(LC_ALL, previousC.c_str());
    QLocale::setDefault(previousDefault);

    QCOMPARE(identity, QStringLiteral("Serial No: K8-1234567\nMill 5-Axis\nCore Version: 3.10"));
    QCOMPARE(jobTime, QStringLiteral("Job Time: 1:5:9"));
    QCOMPARE(jobs, QStringLiteral("Jobs: 1234567"));
    if (!cLocaleSwitched)
        qInfo("de_DE.UTF-8 is not installed here; only the Qt default locale was German");
}

void TestStatusTexts::fileLineHeightScalesWithDensity_data() {
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("expected");
    QTest::newRow("96") << 96.0 << 20;
    QTest::newRow("72") << 72.0 << 15;
    QTest::newRow("144") << 144.0 << 30;
    QTest::newRow("192") << 192.0 << 40;
    QTest::newRow("110 rounds up") << 110.0 << 23;        // 22.92
    QTest::newRow("36 is a tie, to even 8") << 36.0 << 8; // 7.5
    QTest::newRow("12 is a tie, to even 2") << 12.0 << 2; // 2.5
    QTest::newRow("zero counts as 96") << 0.0 << 20;
    QTest::newRow("negative counts as 96") << -96.0 << 20;
    QTest::newRow("nan counts as 96") << std::nan("") << 20;
    QTest::newRow("infinity counts as 96") << std::numeric_limits<double>::infinity() << 20;
}

void TestStatusTexts::fileLineHeightScalesWithDensity() {
    QFETCH(double, dpi);
    QFETCH(int, expected);
    QCOMPARE(FileLineHeightPixels(dpi), expected);
}

QTEST_GUILESS_MAIN(TestStatusTexts)
#include "tst_status_texts.moc"
