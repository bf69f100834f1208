// Which generation a controller is and how many tools it has, from its identity.
#include "link/GenerationRule.h"

#include <QTest>

using namespace korva;

class GenerationRuleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void generationFollowsSerialAndSoftwareName_data();
    void generationFollowsSerialAndSoftwareName();
    void comparisonFoldsOnlyAsciiLetters_data();
    void comparisonFoldsOnlyAsciiLetters();
};

void GenerationRuleTest::generationFollowsSerialAndSoftwareName_data() {
    QTest::addColumn<int>("serial");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("isK8");
    QTest::addColumn<int>("toolCount");
    QTest::newRow("5000 is the last K7") << 5000 << QByteArray("Mill") << false << 32;
    QTest::newRow("negative serial is K7") << -1 << QByteArray("Mill") << false << 32;
    QTest::newRow("5001 Lathe") << 5001 << QByteArray("Lathe") << true << 118;
    QTest::newRow("5001 lathe") << 5001 << QByteArray("lathe") << true << 118;
    QTest::newRow("5001 LATHE") << 5001 << QByteArray("LATHE") << true << 118;
    QTest::newRow("5001 empty name") << 5001 << QByteArray() << true << 118;
    QTest::newRow("5001 Mill") << 5001 << QByteArray("Mill") << true << 100;
    QTest::newRow("longer than Lathe is greater") << 7000 << QByteArray("Lathe 2") << true << 100;
    QTest::newRow("prefix of Lathe is smaller") << 7000 << QByteArray("Lath") << true << 118;
    QTest::newRow("Lathf is greater") << 7000 << QByteArray("lathf") << true << 100;
    QTest::newRow("Router") << 7000 << QByteArray("Router") << true << 100;
    QTest::newRow("Engraver") << 7000 << QByteArray("Engraver") << true << 118;
    QTest::newRow("digits sort below letters") << 7000 << QByteArray("5-Axis") << true << 118;
}

void GenerationRuleTest::generationFollowsSerialAndSoftwareName() {
    QFETCH(int, serial);
    QFETCH(QByteArray, name);
    QFETCH(bool, isK8);
    QFETCH(int, toolCount);
    const ControllerGeneration g = GenerationFor(serial, name);
    QCOMPARE(g.isK8, isK8);
    QCOMPARE(g.toolCount, toolCount);
}

void GenerationRuleTest::comparisonFoldsOnlyAsciiLetters_data() {
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("equal up to case") << QByteArray("aBc") << QByteArray("AbC") << 0;
    QTest::newRow("both empty") << QByteArray() << QByteArray() << 0;
    // '_' (0x5F) lies between 'Z' and 'a': folding lower case first puts "a" below "_".
    QTest::newRow("folded before comparing") << QByteArray("a") << QByteArray("_") << -1;
    QTest::newRow("high bytes are not folded") << QByteArray("\xe4") << QByteArray("\xc4") << 1;
    QTest::newRow("high bytes above ASCII") << QByteArray("\x80") << QByteArray("z") << 1;
    QTest::newRow("longer wins after equal prefix") << QByteArray("ab") << QByteArray("A") << 1;
}

void GenerationRuleTest::comparisonFoldsOnlyAsciiLetters() {
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(int, sign);
    const int r = CompareAsciiNoCase(a, b);
    QCOMPARE((r > 0) - (r < 0), sign);
    const int back = CompareAsciiNoCase(b, a);
    QCOMPARE((back > 0) - (back < 0), -sign);
}

QTEST_GUILESS_MAIN(GenerationRuleTest)
#include "tst_generation_rule.moc"
