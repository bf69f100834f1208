// The simulated USB drive: where files land, which names are refused, and the chunk rules.

#include "link/LinkPacket.h"
#include "sim/FileSink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korva;
using namespace korva::sim;

namespace {

QByteArray Pattern(int size) {
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return data;
}

FileSink::ChunkOutcome SendChunk(FileSink& sink, const QByteArray& data, int chunk) {
    const qsizetype offset = qsizetype{chunk} * LinkPacket::ChunkSize;
    const int count = static_cast<int>(std::min<qsizetype>(LinkPacket::ChunkSize, data.size() - offset));
    return sink.Chunk(chunk, reinterpret_cast<const std::uint8_t*>(data.constData()) + offset,
                      std::max(count, 1));
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestFileSink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileTargetIsPlacedInsideTheDriveOrRefused_data();
    void fileTargetIsPlacedInsideTheDriveOrRefused();
    void chunksAreWrittenOnlyWhenDue();
    void chunkBeforeAnyFileStartIsAWriteFailure();
    void emptyFileIsCompleteAtOnce();
    void incompleteFileIsRemoved_data();
    void incompleteFileIsRemoved();
    void linksLeadingOutOfTheDriveAreRefused();
};

void TestFileSink::fileTargetIsPlacedInsideTheDriveOrRefused_data() {
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("placedAt"); // relative to the drive; empty: refused

    QTest::newRow("backslash is the root")
        << QByteArray("\\") << QByteArray("a.nc") << QString::fromUtf8("a.nc");
    QTest::newRow("empty folder is the root")
        << QByteArray() << QByteArray("a.nc") << QString::fromUtf8("a.nc");
    QTest::newRow("mapped folder") << QByteArray("Jobs") << QByteArray("a.nc")
                                   << QString::fromUtf8("Jobs/a.nc");
    QTest::newRow("nested by backslash")
        << QByteArray("Jobs\\Today") << QByteArray("a.nc") << QString::fromUtf8("Jobs/Today/a.nc");
    QTest::newRow("nested by slash") << QByteArray("Jobs/Today") << QByteArray("a.nc")
                                     << QString::fromUtf8("Jobs/Today/a.nc");
    QTest::newRow("leading backslash")
        << QByteArray("\\Jobs\\") << QByteArray("a.nc") << QString::fromUtf8("Jobs/a.nc");
    QTest::newRow("dot parts skipped")
        << QByteArray(".\\Jobs\\.") << QByteArray("a.nc") << QString::fromUtf8("Jobs/a.nc");
    QTest::newRow("dots inside names")
        << QByteArray("v1..2") << QByteArray("part..nc") << QString::fromUtf8("v1..2/part..nc");
    QTest::newRow("spaces and UTF-8")
        << QByteArray() << QByteArray("Teil \xc3\xbc 1.nc") << QString::fromUtf8("Teil \u00fc 1.nc");

    QTest::newRow("parent folder") << QByteArray("..") << QByteArray("a.nc") << QString();
    QTest::newRow("parent after a folder") << QByteArray("Jobs\\..\\..") << QByteArray("a.nc") << QString();
    QTest::newRow("parent between slashes") << QByteArray("Jobs/../x") << QByteArray("a.nc") << QString();
    QTest::newRow("absolute folder") << QByteArray("/etc") << QByteArray("a.nc") << QString();
    QTest::newRow("drive letter") << QByteArray("C:\\Jobs") << QByteArray("a.nc") << QString();
    QTest::newRow("file name with slash") << QByteArray() << QByteArray("x/a.nc") << QString();
    QTest::newRow("file name with backslash") << QByteArray() << QByteArray("x\\a.nc") << QString();
    QTest::newRow("file name ..") << QByteArray() << QByteArray("..") << QString();
    QTest::newRow("file name .") << QByteArray() << QByteArray(".") << QString();
    QTest::newRow("empty file name") << QByteArray("Jobs") << QByteArray() << QString();
}

void TestFileSink::fileTargetIsPlacedInsideTheDriveOrRefused() {
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, name);
    QFETCH(QString, placedAt);

    const QString drive = QStringLiteral("/media/usb");
    const FileTarget target = ResolveFileTarget(drive, folder, name);
    if (placedAt.isEmpty()) {
        QVERIFY(!target.refusal.isEmpty());
        QVERIFY(target.filePath.isEmpty());
    } else {
        QVERIFY2(target.refusal.isEmpty(), qPrintable(target.refusal));
        QCOMPARE(target.filePath, drive + QLatin1Char('/') + placedAt);
        QVERIFY(target.filePath.startsWith(target.folderPath + QLatin1Char('/')));
    }
}

void TestFileSink::chunksAreWrittenOnlyWhenDue() {
    QTemporaryDir usb;
    QVERIFY(usb.isValid());
    FileSink sink(usb.path(), {});
    const QByteArray data = Pattern(2 * LinkPacket::ChunkSize + 100);
    QCOMPARE(sink.Start(static_cast<std::int32_t>(data.size()), "\\", "part.nc").result,
             LinkPacket::FileStartReady);

    struct Step {
        int chunk;
        FileSink::Reply reply;
        int held;
    };
    using R = FileSink::Reply;
    const Step steps[] = {
        {1, R::Held, 0},        // ahead of the due chunk: nothing written
        {0, R::Held, 1},        // due
        {0, R::Held, 1},        // repeated: acknowledged again, not written twice
        {2, R::Held, 1},        // ahead again
        {1, R::Held, 2},        // due
        {2, R::Held, 3},        // due, completes the file
        {3, R::WriteFailed, 0}, // beyond the announced size
        {1, R::Held, 3},        // late repeat after completion
    };
    for (const Step& step : steps) {
        const FileSink::ChunkOutcome out = SendChunk(sink, data, step.chunk);
        QCOMPARE(out.reply, step.reply);
        if (step.reply == R::Held)
            QCOMPARE(out.held, step.held);
        QCOMPARE(out.completedPath.isEmpty(), !(step.chunk == 2 && step.held == 3));
    }
    QCOMPARE(ReadFile(QDir(usb.path()).filePath(QStringLiteral("part.nc"))), data);
}

void TestFileSink::chunkBeforeAnyFileStartIsAWriteFailure() {
    QTemporaryDir usb;
    QVERIFY(usb.isValid());
    FileSink sink(usb.path(), {});
    const std::uint8_t byte = 1;
    QCOMPARE(sink.Chunk(0, &byte, 1).reply, FileSink::Reply::WriteFailed);
}

void TestFileSink::emptyFileIsCompleteAtOnce() {
    QTemporaryDir usb;
    QVERIFY(usb.isValid());
    FileSink sink(usb.path(), {});
    const FileSink::StartOutcome out = sink.Start(0, "", "empty.nc");
    QCOMPARE(out.result, LinkPacket::FileStartReady);
    const QString path = QDir(usb.path()).filePath(QStringLiteral("empty.nc"));
    QCOMPARE(out.completedPath, path);
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFile(path).size(), 0);
}

void TestFileSink::incompleteFileIsRemoved_data() {
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("faultAt");
    QTest::newRow("new FileStart") << QString::fromUtf8("restart") << -1;
    QTest::newRow("sink ends") << QString::fromUtf8("destroy") << -1;
    QTest::newRow("chunk beyond the announced size") << QString::fromUtf8("overflow") << -1;
    QTest::newRow("simulated write failure") << QString::fromUtf8("fault") << 1;
}

void TestFileSink::incompleteFileIsRemoved() {
    QFETCH(QString, ending);
    QFETCH(int, faultAt);

    QTemporaryDir usb;
    QVERIFY(usb.isValid());
    const QString path = QDir(usb.path()).filePath(QStringLiteral("half.nc"));
    auto sink = std::make_unique<FileSink>(usb.path(), FileSink::Faults{faultAt, -1});
    const QByteArray data = Pattern(3 * LinkPacket::ChunkSize);
    QCOMPARE(sink->Start(static_cast<std::int32_t>(data.size() - 10), "", "half.nc").result, 0);
    QCOMPARE(SendChunk(*sink, data, 0).held, 1);
    QVERIFY(QFile::exists(path));

    if (ending == QLatin1String("restart")) {
        QCOMPARE(sink->Start(5, "", "other.nc").result, 0);
    } else if (ending == QLatin1String("destroy")) {
        sink.reset();
    } else if (ending == QLatin1String("overflow")) {
        QCOMPARE(SendChunk(*sink, data, 1).held, 2);
        QCOMPARE(SendChunk(*sink, data, 2).reply, FileSink::Reply::WriteFailed); // 10 bytes too many
        QCOMPARE(SendChunk(*sink, data, 2).reply, FileSink::Reply::WriteFailed); // and again when repeated
    } else {
        QCOMPARE(SendChunk(*sink, data, 1).reply, FileSink::Reply::WriteFailed);
    }
    QVERIFY(!QFile::exists(path));
}

void TestFileSink::linksLeadingOutOfTheDriveAreRefused() {
    QTemporaryDir box;
    QVERIFY(box.isValid());
    const QDir root(box.path());
    QVERIFY(root.mkpath(QStringLiteral("usb")));
    QVERIFY(root.mkpath(QStringLiteral("outside")));
    const QString usb = root.filePath(QStringLiteral("usb"));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("outside")), usb + QStringLiteral("/Jobs")));
    QVERIFY(
        QFile::link(root.filePath(QStringLiteral("outside/target.nc")), usb + QStringLiteral("/trap.nc")));

    FileSink sink(usb, {});
    const FileSink::StartOutcome throughFolder = sink.Start(10, "Jobs", "a.nc");
    QCOMPARE(throughFolder.result, FileStartRefusedName);
    const FileSink::StartOutcome throughFile = sink.Start(10, "\\", "trap.nc");
    QCOMPARE(throughFile.result, FileStartRefusedName);
    QVERIFY(QDir(root.filePath(QStringLiteral("outside"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestFileSink)
#include "tst_file_sink.moc"
