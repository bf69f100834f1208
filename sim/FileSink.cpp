#include "sim/FileSink.h"

#include "link/LinkPacket.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace korva::sim {
namespace {

FileTarget Refused(QString why) {
    FileTarget t;
    t.refusal = std::move(why);
    return t;
}

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

template <typename T> QString N(T value) {
    return QString::number(value);
}

bool IsInside(const QString& root, const QString& path) {
    return !root.isEmpty() && !path.isEmpty() && (path == root || path.startsWith(root + QLatin1Char('/')));
}

} // namespace

FileTarget ResolveFileTarget(const QString& usbFolder, const QByteArray& folderName,
                             const QByteArray& fileName) {
    const QString name = QFile::decodeName(fileName);
    if (fileName.isEmpty())
        return Refused(QStringLiteral("the file name is empty"));
    if (fileName.contains('/') || fileName.contains('\\'))
        return Refused(QStringLiteral("the file name %1 holds a path separator").arg(Quoted(name)));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return Refused(QStringLiteral("%1 is not a file name").arg(Quoted(name)));

    const QString folder = QFile::decodeName(folderName);
    const bool driveLetter = folder.size() >= 2 && folder[1] == QLatin1Char(':') && folder[0].isLetter();
    if (folder.startsWith(QLatin1Char('/')) || driveLetter)
        return Refused(QStringLiteral("the folder %1 is an absolute path").arg(Quoted(folder)));

    QStringList parts;
    QString part;
    const QString separated = folder + QLatin1Char('\\');
    for (const QChar c : separated) {
        if (c != QLatin1Char('\\') && c != QLatin1Char('/')) {
            part += c;
            continue;
        }
        if (part == QLatin1String(".."))
            return Refused(QStringLiteral("the folder %1 leads out of the USB drive").arg(Quoted(folder)));
        if (!part.isEmpty() && part != QLatin1String("."))
            parts << part;
        part.clear();
    }

    FileTarget t;
    const QString root = QDir(usbFolder).absolutePath();
    t.folderPath =
        parts.isEmpty() ? root : QDir::cleanPath(root + QLatin1Char('/') + parts.join(QLatin1Char('/')));
    t.filePath = t.folderPath + QLatin1Char('/') + name;
    return t;
}

FileSink::FileSink(QString usbFolder, Faults faults) : usbFolder_(std::move(usbFolder)), faults_(faults) {}

FileSink::~FileSink() {
    AbandonIncomplete(QString());
}

FileSink::StartOutcome FileSink::Start(std::int32_t size, const QByteArray& folderName,
                                       const QByteArray& fileName) {
    StartOutcome out;
    const QString shown = Quoted(QFile::decodeName(fileName));
    auto refuse = [&](std::uint8_t result, const QString& why) {
        out.result = result;
        out.events << QStringLiteral("FileStart for %1 answered %2: %3").arg(shown, N(result), why);
        return out;
    };

    if (usbFolder_.isEmpty())
        return refuse(LinkPacket::FileStartNoUsbDrive, QStringLiteral("no USB drive"));

    const QString abandoned = AbandonIncomplete(QStringLiteral("a new FileStart arrived"));
    if (!abandoned.isEmpty())
        out.events << abandoned;
    phase_ = Phase::Idle;

    if (size < 0)
        return refuse(FileStartRefusedName, QStringLiteral("negative file size %1").arg(N(size)));
    const FileTarget target = ResolveFileTarget(usbFolder_, folderName, fileName);
    if (!target.refusal.isEmpty())
        return refuse(FileStartRefusedName, target.refusal);
    if (!QDir().mkpath(target.folderPath))
        return refuse(FileStartCannotCreate,
                      QStringLiteral("cannot create the folder %1").arg(target.folderPath));

    // The names are clean; a link inside the drive must not lead out of it either.
    const QString root = QFileInfo(usbFolder_).canonicalFilePath();
    if (!IsInside(root, QFileInfo(target.folderPath).canonicalFilePath()))
        return refuse(FileStartRefusedName, QStringLiteral("the folder leads out of the USB drive"));
    if (QFileInfo(target.filePath).isSymLink())
        return refuse(FileStartRefusedName, QStringLiteral("%1 is a link").arg(target.filePath));

    file_.setFileName(target.filePath);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return refuse(FileStartCannotCreate,
                      QStringLiteral("cannot create %1: %2").arg(target.filePath, file_.errorString()));

    phase_ = Phase::Receiving;
    path_ = target.filePath;
    name_ = shown;
    size_ = size;
    written_ = 0;
    held_ = 0;
    quartersLogged_ = 0;
    out.result = LinkPacket::FileStartReady;
    out.events << QStringLiteral("receiving %1: %2 bytes in %3 chunks, into %4")
                      .arg(name_, N(size_), N(ChunkCount(size_)), path_);
    if (size_ == 0) {
        file_.close();
        phase_ = Phase::Complete;
        out.completedPath = path_;
        out.events << QStringLiteral("file complete: %1 (0 bytes)").arg(path_);
    }
    return out;
}

FileSink::ChunkOutcome FileSink::Chunk(std::int32_t number, const std::uint8_t* data, int count) {
    ChunkOutcome out;
    if (phase_ == Phase::Idle) {
        out.reply = Reply::WriteFailed;
        out.events << QStringLiteral("FileData chunk %1 answered 1: no file has been started").arg(N(number));
        return out;
    }
    if (phase_ == Phase::Aborted) {
        out.reply = abortReply_;
        out.events << QStringLiteral("FileData chunk %1 of %2 answered %3 again: the transfer has ended")
                          .arg(N(number), name_,
                               abortReply_ == Reply::Cancelled ? QStringLiteral("2 USER")
                                                               : QStringLiteral("1"));
        return out;
    }
    out.held = held_;
    if (number < held_) {
        out.events << QStringLiteral("chunk %1 of %2 repeated: acknowledged again with %3 held, not written")
                          .arg(N(number), name_, N(held_));
        return out;
    }
    if (number > held_) {
        out.events << QStringLiteral("chunk %1 of %2 out of order: chunk %3 is due, nothing written")
                          .arg(N(number), name_, N(held_));
        return out;
    }
    if (phase_ == Phase::Complete) {
        out.reply = Reply::WriteFailed;
        out.events << QStringLiteral("chunk %1 of %2 answered 1: the file already has all %3 announced bytes")
                          .arg(N(number), name_, N(size_));
        return out;
    }
    if (number == faults_.cancelAtChunk) {
        out.reply = Reply::Cancelled;
        out.events << Abort(
            Reply::Cancelled,
            QStringLiteral("the user cancelled on the controller at chunk %1 (simulated)").arg(N(number)));
        return out;
    }
    if (number == faults_.writeFailAtChunk) {
        out.reply = Reply::WriteFailed;
        out.events << Abort(Reply::WriteFailed,
                            QStringLiteral("write failure at chunk %1 (simulated)").arg(N(number)));
        return out;
    }
    if (written_ + count > size_) {
        out.reply = Reply::WriteFailed;
        out.events << Abort(
            Reply::WriteFailed,
            QStringLiteral("chunk %1 goes beyond the announced %2 bytes").arg(N(number), N(size_)));
        return out;
    }
    if (file_.write(reinterpret_cast<const char*>(data), count) != count) {
        out.reply = Reply::WriteFailed;
        out.events << Abort(Reply::WriteFailed, QStringLiteral("cannot write: %1").arg(file_.errorString()));
        return out;
    }
    written_ += count;
    out.held = ++held_;

    const int quarter = static_cast<int>(written_ * 4 / size_);
    if (quarter > quartersLogged_ && quarter < 4) {
        quartersLogged_ = quarter;
        out.events << QStringLiteral("receiving %1: %2 %").arg(name_, N(quarter * 25));
    }
    if (written_ == size_) {
        if (!file_.flush()) {
            out.reply = Reply::WriteFailed;
            out.events << Abort(Reply::WriteFailed,
                                QStringLiteral("cannot write: %1").arg(file_.errorString()));
            return out;
        }
        file_.close();
        phase_ = Phase::Complete;
        out.completedPath = path_;
        out.events << QStringLiteral("file complete: %1 (%2 bytes)").arg(path_, N(size_));
    }
    return out;
}

QString FileSink::Abort(Reply reply, const QString& why) {
    file_.close();
    QFile::remove(path_);
    phase_ = Phase::Aborted;
    abortReply_ = reply;
    return QStringLiteral("transfer of %1 ended: %2; the incomplete file was removed").arg(name_, why);
}

QString FileSink::AbandonIncomplete(const QString& why) {
    if (phase_ != Phase::Receiving)
        return {};
    file_.close();
    QFile::remove(path_);
    phase_ = Phase::Idle;
    return QStringLiteral("incomplete file %1 removed (%2 of %3 bytes): %4")
        .arg(path_, N(written_), N(size_), why);
}

} // namespace korva::sim
