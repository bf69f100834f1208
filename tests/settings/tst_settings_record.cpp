// The settings record in memory: the text, path and flag fields and the default record.

#include "app/SettingsRecord.h"

#include <QTest>
#include <cstring>

using namespace korva;

class SettingsRecordTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textIsCutToThirtyBytesAtACharacterBoundary_data();
    void textIsCutToThirtyBytesAtACharacterBoundary();
    void shortenedTextKeepsTheOldTailBehindIt();
    void lengthByteAboveThirtyReadsThirtyBytes();
    void pathFillingTheWholeFieldReadsBackWhole();
    void longerPathIsCutAndShorterPathClearsTheRest();
    void flagCountsAnyNonZeroByteAsSetAndWritesOne();
    void defaultsCentreTheWindowOnThePrimaryMonitor_data();
    void defaultsCentreTheWindowOnThePrimaryMonitor();
    void checksumIgnoresTheStoredChecksum();
};

static QByteArray ascii(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += char('a' + i % 26);
    return text;
}

void SettingsRecordTest::textIsCutToThirtyBytesAtACharacterBoundary_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");

    const QByteArray eAcute = "\xC3\xA9";       // 2 bytes
    const QByteArray euro = "\xE2\x82\xAC";     // 3 bytes
    const QByteArray grin = "\xF0\x9F\x98\x80"; // 4 bytes
    QTest::newRow("empty") << QStringLiteral("") << QByteArray();
    QTest::newRow("30 ASCII fit") << QString::fromUtf8(ascii(30)) << ascii(30);
    QTest::newRow("31st byte dropped") << QString::fromUtf8(ascii(31)) << ascii(30);
    QTest::newRow("long text") << QString::fromUtf8(ascii(200)) << ascii(30);
    QTest::newRow("28 + 2-byte char fit") << QString::fromUtf8(ascii(28) + eAcute) << ascii(28) + eAcute;
    QTest::newRow("29 + 2-byte char") << QString::fromUtf8(ascii(29) + eAcute) << ascii(29);
    QTest::newRow("29 + 2-byte char + more") << QString::fromUtf8(ascii(29) + eAcute + "xyz") << ascii(29);
    QTest::newRow("27 + 3-byte char fit") << QString::fromUtf8(ascii(27) + euro) << ascii(27) + euro;
    QTest::newRow("28 + 3-byte char") << QString::fromUtf8(ascii(28) + euro) << ascii(28);
    QTest::newRow("29 + 3-byte char") << QString::fromUtf8(ascii(29) + euro) << ascii(29);
    QTest::newRow("26 + 4-byte char fit") << QString::fromUtf8(ascii(26) + grin) << ascii(26) + grin;
    QTest::newRow("27 + 4-byte char") << QString::fromUtf8(ascii(27) + grin) << ascii(27);
    QTest::newRow("all 2-byte chars") << QString::fromUtf8(eAcute.repeated(16)) << eAcute.repeated(15);
    QTest::newRow("all 3-byte chars") << QString::fromUtf8(euro.repeated(11)) << euro.repeated(10);
}

void SettingsRecordTest::textIsCutToThirtyBytesAtACharacterBoundary() {
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);

    SettingsRecord record{};
    record.MachineName.Assign(text);
    QCOMPARE(record.MachineName.Length, stored.size());
    QCOMPARE(record.MachineName.Utf8(), stored);
    QCOMPARE(record.MachineName.Text(), QString::fromUtf8(stored));
    QVERIFY(text.startsWith(record.MachineName.Text()));

    // The field next to the text is not touched.
    QCOMPARE(record.AutoConnect.Value, 0);
}

void SettingsRecordTest::shortenedTextKeepsTheOldTailBehindIt() {
    SettingsRecord record{};
    record.MachineName.Assign(QStringLiteral("Router"));
    record.MachineName.Assign(QStringLiteral("Mill"));

    QCOMPARE(record.MachineName.Text(), QStringLiteral("Mill"));
    const auto* field = reinterpret_cast<const char*>(&record.MachineName);
    QCOMPARE(QByteArray(field, 7), QByteArray("\x04"
                                              "Miller"));
    QCOMPARE(field[5], 'e');
    QCOMPARE(field[6], 'r');
}

void SettingsRecordTest::lengthByteAboveThirtyReadsThirtyBytes() {
    SettingsRecord record{};
    record.MappedFolder.Assign(QString::fromUtf8(ascii(30)));
    record.MappedFolder.Length = 200;
    QCOMPARE(record.MappedFolder.Utf8(), ascii(30));
    // The path field that follows is not read as part of the text.
    record.MappedFolderPath.Assign(QStringLiteral("/x"));
    QCOMPARE(record.MappedFolder.Text(), QString::fromUtf8(ascii(30)));
}

void SettingsRecordTest::pathFillingTheWholeFieldReadsBackWhole() {
    SettingsRecord record{};
    record.ToolsPanelOpen.Set(true);
    const QByteArray path = "/" + QByteArray("Jobs/").repeated(819); // 4096 bytes
    record.MappedFolderPath.AssignUtf8(path.left(SettingsPath::Capacity));

    QCOMPARE(record.MappedFolderPath.Utf8(), path.left(4095));
    QVERIFY(std::memchr(record.MappedFolderPath.Bytes.data(), 0, SettingsPath::Capacity) == nullptr);
    QCOMPARE(record.ToolsPanelOpen.Value, 1);
}

void SettingsRecordTest::longerPathIsCutAndShorterPathClearsTheRest() {
    SettingsRecord record{};
    record.ToolsPanelOpen.Set(true);
    record.MappedFolderPath.Assign(QString(5000, u'p'));
    QCOMPARE(record.MappedFolderPath.Utf8(), QByteArray(4095, 'p'));
    QCOMPARE(record.ToolsPanelOpen.Value, 1);

    // A character that would cross the end of the field is left out whole.
    record.MappedFolderPath.AssignUtf8(QByteArray(4094, 'q') + "\xC3\xA9");
    QCOMPARE(record.MappedFolderPath.Utf8(), QByteArray(4094, 'q'));

    const QString shortPath = QStringLiteral("/Users/anna/CNC Jobs/Gehäuse");
    record.MappedFolderPath.Assign(shortPath);
    QCOMPARE(record.MappedFolderPath.Text(), shortPath);
    const QByteArray field(record.MappedFolderPath.Bytes.data(), SettingsPath::Capacity);
    const qsizetype used = shortPath.toUtf8().size();
    QCOMPARE(field.mid(used), QByteArray(SettingsPath::Capacity - used, '\0'));
}

void SettingsRecordTest::flagCountsAnyNonZeroByteAsSetAndWritesOne() {
    SettingsFlag flag{0x80};
    QVERIFY(flag.IsSet());
    flag.Set(true);
    QCOMPARE(flag.Value, 1);
    flag.Toggle();
    QCOMPARE(flag.Value, 0);
    QVERIFY(!flag.IsSet());
    flag.Toggle();
    QCOMPARE(flag.Value, 1);
}

void SettingsRecordTest::defaultsCentreTheWindowOnThePrimaryMonitor_data() {
    QTest::addColumn<QSize>("monitor");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");

    QTest::newRow("1920x1080") << QSize(1920, 1080) << 692 << 105;
    QTest::newRow("2560x1440") << QSize(2560, 1440) << 1012 << 285;
    QTest::newRow("1366x768 is too low") << QSize(1366, 768) << 415 << -51;
    QTest::newRow("odd sizes drop the half") << QSize(1441, 901) << 452 << 15;
    QTest::newRow("535 wide is one point short") << QSize(535, 871) << -1 << 0;
    QTest::newRow("narrow monitor") << QSize(480, 320) << -28 << -275;
}

void SettingsRecordTest::defaultsCentreTheWindowOnThePrimaryMonitor() {
    QFETCH(QSize, monitor);
    QFETCH(int, left);
    QFETCH(int, top);

    const SettingsRecord record = DefaultSettingsRecord(monitor);
    QCOMPARE(int(record.WindowLeft), left);
    QCOMPARE(int(record.WindowTop), top);

    // Everything else is zero.
    SettingsRecord rest = record;
    rest.WindowLeft = 0;
    rest.WindowTop = 0;
    QCOMPARE(SettingsRecordBytes(rest), QByteArray(SettingsRecord::FileSize, '\0'));
}

void SettingsRecordTest::checksumIgnoresTheStoredChecksum() {
    SettingsRecord record = DefaultSettingsRecord(QSize(1920, 1080));
    record.MachineName.Assign(QStringLiteral("Mill"));
    const std::uint32_t checksum = SettingsChecksum(record);
    record.Checksum = 0xFFFFFFFF;
    QCOMPARE(SettingsChecksum(record), checksum);
    record.Reserved[2] = 1;
    QVERIFY(SettingsChecksum(record) != checksum);
}

QTEST_GUILESS_MAIN(SettingsRecordTest)
#include "tst_settings_record.moc"
