// The settings file: loading, saving, replacing a missing or damaged file, and failures.

#include "app/SettingsError.h"
#include "app/SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <cstring>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

using namespace korva;

namespace {

const QSize Monitor(1920, 1080);
const QString WriteErrorPrefix = QStringLiteral("Cannot write the settings file ");
const QString ReadErrorPrefix = QStringLiteral("Cannot read the settings file ");

// One empty folder per test, standing in for the application data folder.
struct Folder {
    QTemporaryDir dir;
    QString path() const { return dir.path() + u'/'; }
    QString file() const { return path() + QStringLiteral("KORVA_Link.dat"); }
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The record's bytes with a correct checksum, computed here with zlib straight from the bytes.
QByteArray withChecksum(const SettingsRecord& record) {
    QByteArray bytes = SettingsRecordBytes(record);
    std::memset(bytes.data(), 0, 4);
    const auto crc = std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), bytes.size()));
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(crc >> (8 * i));
    return bytes;
}

QByteArray defaultFile() {
    return withChecksum(DefaultSettingsRecord(Monitor));
}

// A record with every field away from its default.
SettingsRecord sampleRecord() {
    SettingsRecord record{};
    record.Reserved = {0x11, 0x22, 0x33, 0x44};
    record.WindowLeft = -1234;
    record.WindowTop = 56789;
    record.MachineName.Assign(QStringLiteral("Fräse – Werkstatt"));
    record.AutoConnect.Set(true);
    record.UseOwnNetwork.Set(true);
    record.ControllerIp = {192, 168, 1, 20};
    record.MappedFolder.Assign(QStringLiteral("JOBS"));
    record.MappedFolderPath.Assign(QStringLiteral("/Users/anna/CNC Jobs/Gehäuse"));
    record.ToolsPanelOpen.Set(true);
    return record;
}

// Runs `action`, which must throw SettingsError, and returns the error's text.
template <typename Action> std::optional<QString> settingsErrorOf(Action action) {
    try {
        action();
    } catch (const SettingsError& error) {
        if (QString::fromUtf8(error.what()) != error.Text())
            return QStringLiteral("what() differs from Text()");
        return error.Text();
    }
    return std::nullopt;
}

} // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyFieldSurvivesSaveAndLoad();
    void missingFileIsCreatedWithDefaultsAndThenLoadsClean();
    void anyChangedByteIsReportedAndReplacedByDefaults_data();
    void anyChangedByteIsReportedAndReplacedByDefaults();
    void shortFileIsReportedAndReplacedByDefaults_data();
    void shortFileIsReportedAndReplacedByDefaults();
    void longerFileCountsItsFirstRecordAndTheNextSaveCutsIt();
    void shortenedNameKeepsTheOldTailInTheFile();
    void fullLengthPathSurvivesTheFile();
    void saveFailureRaisesAReadableErrorAndKeepsTheValues_data();
    void saveFailureRaisesAReadableErrorAndKeepsTheValues();
    void unreadableFileRaisesAReadableError();
    void fullDiskDuringSaveKeepsTheOldFile();
    void killDuringSaveLeavesTheOldOrTheNewFile();
};

void SettingsStoreTest::everyFieldSurvivesSaveAndLoad() {
    Folder folder;
    SettingsStore writer(folder.path());
    writer.Record() = sampleRecord();
    writer.SaveSettings();

    // The file is the record's bytes with the zlib CRC-32 in front; the record keeps the checksum.
    const QByteArray file = readFile(folder.file());
    QCOMPARE(file, withChecksum(sampleRecord()));
    QCOMPARE(SettingsRecordBytes(writer.Record()), file);
    // Nothing else is left in the folder.
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("KORVA_Link.dat")});

    SettingsStore reader(folder.path());
    reader.LoadSettings(Monitor);
    QCOMPARE(reader.LoadStatus(), SettingsLoadStatus::Verified);
    QCOMPARE(SettingsRecordBytes(reader.Record()), file);

    const SettingsRecord& record = reader.Record();
    QCOMPARE(record.Reserved, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
    QCOMPARE(int(record.WindowLeft), -1234);
    QCOMPARE(int(record.WindowTop), 56789);
    QCOMPARE(record.MachineName.Text(), QStringLiteral("Fräse – Werkstatt"));
    QVERIFY(record.AutoConnect.IsSet());
    QVERIFY(record.UseOwnNetwork.IsSet());
    QCOMPARE(record.ControllerIp, (std::array<std::uint8_t, 4>{192, 168, 1, 20}));
    QCOMPARE(record.MappedFolder.Text(), QStringLiteral("JOBS"));
    QCOMPARE(record.MappedFolderPath.Text(), QStringLiteral("/Users/anna/CNC Jobs/Gehäuse"));
    QVERIFY(record.ToolsPanelOpen.IsSet());
}

void SettingsStoreTest::missingFileIsCreatedWithDefaultsAndThenLoadsClean() {
    Folder folder;
    SettingsStore first(folder.path());
    QCOMPARE(first.LoadStatus(), SettingsLoadStatus::NotFound);
    first.LoadSettings(Monitor);

    QCOMPARE(first.LoadStatus(), SettingsLoadStatus::NotFound);
    QCOMPARE(readFile(folder.file()), defaultFile());
    QCOMPARE(SettingsRecordBytes(first.Record()), defaultFile());
    QCOMPARE(int(first.Record().WindowLeft), 692);
    QCOMPARE(int(first.Record().WindowTop), 105);

    SettingsStore second(folder.path());
    second.LoadSettings(Monitor);
    QCOMPARE(second.LoadStatus(), SettingsLoadStatus::Verified);
    QCOMPARE(SettingsRecordBytes(second.Record()), defaultFile());
}

void SettingsStoreTest::anyChangedByteIsReportedAndReplacedByDefaults_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<quint8>("mask");

    // The name "Mill" ends at byte 20; bytes 21..46 still hold the tail of the longer sample name.
    const struct {
        const char* name;
        int offset;
    } places[] = {
        {"checksum first byte", 0}, {"checksum last byte", 3},     {"reserved byte 5", 5},
        {"window left", 8},         {"window top high byte", 15},  {"name length", 16},
        {"name text", 18},          {"after the name's text", 22}, {"end of the name field", 46},
        {"auto connect", 47},       {"own network", 48},           {"address octet", 51},
        {"folder text", 55},        {"path first byte", 84},       {"path zero padding", 2500},
        {"path last byte", 4178},   {"last byte", 4179},
    };
    for (const auto& place : places) {
        QTest::addRow("%s, one bit", place.name) << place.offset << quint8(0x01);
        QTest::addRow("%s, every bit", place.name) << place.offset << quint8(0xFF);
    }
}

void SettingsStoreTest::anyChangedByteIsReportedAndReplacedByDefaults() {
    QFETCH(int, offset);
    QFETCH(quint8, mask);

    Folder folder;
    SettingsRecord record = sampleRecord();
    record.MachineName.Assign(QStringLiteral("Mill"));
    QByteArray file = withChecksum(record);
    file[offset] = char(quint8(file[offset]) ^ mask);
    QVERIFY(writeFile(folder.file(), file));

    SettingsStore store(folder.path());
    store.LoadSettings(Monitor);
    QCOMPARE(store.LoadStatus(), SettingsLoadStatus::Corrupted);
    QCOMPARE(SettingsRecordBytes(store.Record()), defaultFile());
    QCOMPARE(readFile(folder.file()), defaultFile());
}

void SettingsStoreTest::shortFileIsReportedAndReplacedByDefaults_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("checksum only") << 4;
    QTest::newRow("up to the path") << 84;
    QTest::newRow("one byte short") << 4179;
}

void SettingsStoreTest::shortFileIsReportedAndReplacedByDefaults() {
    QFETCH(int, size);

    Folder folder;
    QVERIFY(writeFile(folder.file(), withChecksum(sampleRecord()).left(size)));

    SettingsStore store(folder.path());
    store.LoadSettings(Monitor);
    QCOMPARE(store.LoadStatus(), SettingsLoadStatus::Corrupted);
    QCOMPARE(SettingsRecordBytes(store.Record()), defaultFile());
    QCOMPARE(readFile(folder.file()), defaultFile());
}

void SettingsStoreTest::longerFileCountsItsFirstRecordAndTheNextSaveCutsIt() {
    Folder folder;
    const QByteArray record = withChecksum(sampleRecord());
    QVERIFY(writeFile(folder.file(), record + QByteArray(700, 'x')));

    SettingsStore store(folder.path());
    store.LoadSettings(Monitor);
    QCOMPARE(store.LoadStatus(), SettingsLoadStatus::Verified);
    QCOMPARE(SettingsRecordBytes(store.Record()), record);
    QCOMPARE(QFileInfo(folder.file()).size(), 4180 + 700); // loading writes nothing

    store.SaveSettings();
    QCOMPARE(readFile(folder.file()), record);
}

void SettingsStoreTest::shortenedNameKeepsTheOldTailInTheFile() {
    Folder folder;
    SettingsStore store(folder.path());
    store.LoadSettings(Monitor);
    store.Record().MachineName.Assign(QStringLiteral("Router"));
    store.SaveSettings();
    store.Record().MachineName.Assign(QStringLiteral("Mill"));
    store.SaveSettings();

    const QByteArray file = readFile(folder.file());
    QCOMPARE(file.mid(16, 7), QByteArray("\x04"
                                         "Miller"));

    SettingsStore reader(folder.path());
    reader.LoadSettings(Monitor);
    QCOMPARE(reader.LoadStatus(), SettingsLoadStatus::Verified);
    QCOMPARE(reader.Record().MachineName.Text(), QStringLiteral("Mill"));
}

void SettingsStoreTest::fullLengthPathSurvivesTheFile() {
    Folder folder;
    SettingsStore store(folder.path());
    store.LoadSettings(Monitor);
    const QByteArray path = QByteArray("/Volumes/Shop/") + QByteArray(4095 - 14, 'd');
    store.Record().MappedFolderPath.AssignUtf8(path);
    store.Record().ToolsPanelOpen.Set(false);
    store.SaveSettings();

    const QByteArray file = readFile(folder.file());
    QCOMPARE(file.mid(84, 4095), path);
    QCOMPARE(file.at(4179), '\0');

    SettingsStore reader(folder.path());
    reader.LoadSettings(Monitor);
    QCOMPARE(reader.LoadStatus(), SettingsLoadStatus::Verified);
    QCOMPARE(reader.Record().MappedFolderPath.Utf8(), path);
    QVERIFY(!reader.Record().ToolsPanelOpen.IsSet());
}

void SettingsStoreTest::saveFailureRaisesAReadableErrorAndKeepsTheValues_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder is a file") << "file";
    QTest::newRow("folder is missing") << "missing";
    QTest::newRow("folder is read-only") << "read-only";
}

void SettingsStoreTest::saveFailureRaisesAReadableErrorAndKeepsTheValues() {
    QFETCH(QString, kind);

    Folder base;
    QString folderPath;
    QByteArray oldFile;
    if (kind == QLatin1String("file")) {
        folderPath = base.path() + QStringLiteral("plain/");
        QVERIFY(writeFile(base.path() + QStringLiteral("plain"), "not a folder"));
    } else if (kind == QLatin1String("missing")) {
        folderPath = base.path() + QStringLiteral("missing/");
    } else {
        if (geteuid() == 0)
            QSKIP("the superuser may write into a read-only folder");
        folderPath = base.path();
        oldFile = defaultFile();
        QVERIFY(writeFile(base.file(), oldFile));
        QVERIFY(QFile::setPermissions(base.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    }

    SettingsStore store(folderPath);
    store.Record().MachineName.Assign(QStringLiteral("Kept"));
    store.Record().WindowLeft = 42;
    store.Record().AutoConnect.Set(true);

    const std::optional<QString> text = settingsErrorOf([&] { store.SaveSettings(); });
    QFile::setPermissions(base.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY2(text.has_value(), "SaveSettings did not raise an error");
    const QString prefix = WriteErrorPrefix + store.FilePath() + QStringLiteral(": ");
    QVERIFY2(text->startsWith(prefix) && text->size() > prefix.size() + 3, qPrintable(*text));
    if (kind == QLatin1String("file"))
        QCOMPARE(*text, prefix + QStringLiteral("Not a directory"));

    QCOMPARE(store.Record().MachineName.Text(), QStringLiteral("Kept"));
    QCOMPARE(int(store.Record().WindowLeft), 42);
    QVERIFY(store.Record().AutoConnect.IsSet());
    if (!oldFile.isEmpty())
        QCOMPARE(readFile(base.file()), oldFile);
}

void SettingsStoreTest::unreadableFileRaisesAReadableError() {
    Folder folder;
    QVERIFY(QDir().mkdir(folder.file()));

    SettingsStore store(folder.path());
    store.Record().MachineName.Assign(QStringLiteral("Kept"));
    const std::optional<QString> text = settingsErrorOf([&] { store.LoadSettings(Monitor); });

    QVERIFY2(text.has_value(), "LoadSettings did not raise an error");
    const QString prefix = ReadErrorPrefix + store.FilePath() + QStringLiteral(": ");
    QVERIFY2(text->startsWith(prefix) && text->size() > prefix.size() + 3, qPrintable(*text));
    QCOMPARE(store.LoadStatus(), SettingsLoadStatus::Unverified);
    QCOMPARE(store.Record().MachineName.Text(), QStringLiteral("Kept"));
}

void SettingsStoreTest::fullDiskDuringSaveKeepsTheOldFile() {
    Folder folder;
    SettingsStore store(folder.path());
    store.Record() = sampleRecord();
    store.SaveSettings();
    const QByteArray oldFile = readFile(folder.file());

    store.Record().MachineName.Assign(QStringLiteral("New name"));
    std::optional<QString> text;
    {
        // The process may write files of at most 1000 bytes: the save runs out of room midway.
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 1000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        text = settingsErrorOf([&] { store.SaveSettings(); });
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }

    QVERIFY2(text.has_value(), "SaveSettings did not raise an error");
    QCOMPARE(*text, WriteErrorPrefix + store.FilePath() + QStringLiteral(": File too large"));
    QCOMPARE(store.Record().MachineName.Text(), QStringLiteral("New name"));
    QCOMPARE(readFile(folder.file()), oldFile);

    SettingsStore reader(folder.path());
    reader.LoadSettings(Monitor);
    QCOMPARE(reader.LoadStatus(), SettingsLoadStatus::Verified);
    QCOMPARE(reader.Record().MachineName.Text(), QStringLiteral("Fräse – Werkstatt"));
}

void SettingsStoreTest::killDuringSaveLeavesTheOldOrTheNewFile() {
    Folder folder;
    // The saver switches between two records; whichever is in the file must be whole.
    for (int round = 0; round < 30; ++round) {
        QProcess saver;
        saver.start(QStringLiteral(KORVA_SETTINGS_SAVE_LOOP), {folder.path()});
        QVERIFY2(saver.waitForStarted(30000), qPrintable(saver.errorString()));
        QVERIFY(saver.waitForReadyRead(30000)); // it has saved at least once
        QThread::usleep(QRandomGenerator::global()->bounded(100, 20000));
        saver.kill();
        QVERIFY(saver.waitForFinished(30000));
        QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

        QCOMPARE(QFileInfo(folder.file()).size(), 4180);
        SettingsStore store(folder.path());
        store.LoadSettings(Monitor);
        QCOMPARE(store.LoadStatus(), SettingsLoadStatus::Verified);
        const SettingsRecord& record = store.Record();
        const bool alpha = record.MachineName.Text() == QStringLiteral("Alpha mill");
        QVERIFY2(alpha || record.MachineName.Text() == QStringLiteral("Bravo"),
                 qPrintable(record.MachineName.Text()));
        QCOMPARE(record.MappedFolderPath.Utf8(), alpha ? QByteArray(4095, 'a') : QByteArray(17, 'b'));
        QCOMPARE(int(record.WindowLeft), alpha ? 111 : 222);
        QCOMPARE(record.ToolsPanelOpen.IsSet(), alpha);
    }
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settings_store.moc"
