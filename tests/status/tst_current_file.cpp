#include "transfer/CurrentFile.h"

#include <QtTest>
#include <algorithm>

using namespace korva;

class TestCurrentFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsEmptyAndNotValid();
    void pathRoundTrips_data();
    void pathRoundTrips();
    void longerPathIsCutAndReportedAsNotFitting();
    void pathWithZeroByteIsReportedAsNotFitting();
    void shorterPathZeroesWhatTheLongerOneLeft();
    void clearPathZeroesTheWholeField();
};

namespace {
bool allZero(const NC_File_To_Send_Structure& file, std::size_t from = 0) {
    return std::all_of(file.Path.begin() + static_cast<std::ptrdiff_t>(from), file.Path.end(),
                       [](char c) { return c == '\0'; });
}
} // namespace

void TestCurrentFile::startsEmptyAndNotValid() {
    const NC_File_To_Send_Structure file;
    QVERIFY(!file.Valid);
    QVERIFY(file.Name.isEmpty());
    QVERIFY(file.BaseName.isEmpty());
    QCOMPARE(file.Path.size(), std::size_t(4095));
    QVERIFY(allZero(file));
    QCOMPARE(file.PathBytes(), QByteArray());
}

void TestCurrentFile::pathRoundTrips_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("ascii") << QStringLiteral("/home/anna/jobs/PART1.NC");
    QTest::newRow("utf-8") << QStringLiteral("/Users/j\u00fcrgen/Fr\u00e4sen/\u6587\u4ef6.nc");
    QTest::newRow("empty") << QString();
    // 4095 bytes fill the field exactly, with no zero byte after them.
    QTest::newRow("exactly 4095 bytes") << QStringLiteral("/") + QString(4090, QLatin1Char('a')) + ".nc1";
    // 2047 two-byte characters and one byte: 4095 bytes.
    QTest::newRow("4095 bytes of utf-8") << QString(2047, QChar(0x00e4)) + QLatin1Char('x');
}

void TestCurrentFile::pathRoundTrips() {
    QFETCH(QString, path);
    QVERIFY(path.toUtf8().size() <= 4095);

    NC_File_To_Send_Structure file;
    QVERIFY(file.SetPath(path));
    QCOMPARE(file.PathText(), path);
    QCOMPARE(file.PathBytes(), path.toUtf8());
    QVERIFY(allZero(file, static_cast<std::size_t>(path.toUtf8().size())));
}

void TestCurrentFile::longerPathIsCutAndReportedAsNotFitting() {
    const QByteArray path = "/" + QByteArray(4100, 'b') + ".nc";
    NC_File_To_Send_Structure file;
    QVERIFY(!file.SetPathBytes(path));
    QCOMPARE(file.PathBytes(), path.left(4095));

    // 4096 bytes: one too many.
    QVERIFY(!file.SetPathBytes(QByteArray(4096, 'c')));
    QCOMPARE(file.PathBytes(), QByteArray(4095, 'c'));
}

void TestCurrentFile::pathWithZeroByteIsReportedAsNotFitting() {
    NC_File_To_Send_Structure file;
    QVERIFY(!file.SetPathBytes(QByteArray("/tmp/a\0b.nc", 11)));
    QCOMPARE(file.PathBytes(), QByteArray("/tmp/a"));
}

void TestCurrentFile::shorterPathZeroesWhatTheLongerOneLeft() {
    NC_File_To_Send_Structure file;
    QVERIFY(file.SetPathBytes(QByteArray(3000, 'z')));
    QVERIFY(file.SetPathBytes("/a.nc"));
    QCOMPARE(file.PathBytes(), QByteArray("/a.nc"));
    QVERIFY(allZero(file, 5));
}

void TestCurrentFile::clearPathZeroesTheWholeField() {
    NC_File_To_Send_Structure file;
    QVERIFY(file.SetPathBytes(QByteArray(4095, 'q')));
    file.ClearPath();
    QVERIFY(allZero(file));
    QCOMPARE(file.PathText(), QString());
}

QTEST_GUILESS_MAIN(TestCurrentFile)
#include "tst_current_file.moc"
