#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace korva::sim {

// FileStart results besides the codec's 0 (ready) and 233 (no USB drive).
inline constexpr std::uint8_t FileStartRefusedName = 1;  // bad size, or a name that leaves the drive
inline constexpr std::uint8_t FileStartCannotCreate = 2; // the folder or the file cannot be created

// Where a FileStart's folder and file name lead on the simulated USB drive.
struct FileTarget {
    QString folderPath; // absolute folder on the workstation
    QString filePath;   // absolute file path on the workstation
    QString refusal;    // non-empty when the names are refused
};

// Places a file under `usbFolder`. The folder "\" or "" is the drive's root; other folder names
// may hold sub-folders separated by "\" or "/". Refused: an empty file name, "." or "..", a file
// name with a path separator, a folder with a ".." part, and an absolute folder ("/x" or "C:...").
FileTarget ResolveFileTarget(const QString& usbFolder, const QByteArray& folderName,
                             const QByteArray& fileName);

// The simulated USB drive's receiving end, driven by FileStart and FileData requests.
//
// A chunk is written only when its number is the next one expected. A repeated chunk is
// acknowledged again without being written twice, and a chunk beyond the next expected one is
// answered with the count held, without writing. A file is complete when all its announced bytes
// are written. A file that cannot be completed (write failure, cancel, abandoned by a new
// FileStart or by the end of the simulator) is removed, so the drive never holds a partial file.
class FileSink {
public:
    struct Faults {
        int writeFailAtChunk = -1; // answer status 1 when this chunk is due
        int cancelAtChunk = -1;    // answer 2 "USER" when this chunk is due
    };

    // `usbFolder` empty: no USB drive, every FileStart is answered 233.
    FileSink(QString usbFolder, Faults faults);
    ~FileSink();
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    struct StartOutcome {
        std::uint8_t result = 0;
        QString completedPath; // set when an empty file is complete at once
        QStringList events;
    };
    StartOutcome Start(std::int32_t size, const QByteArray& folderName, const QByteArray& fileName);

    enum class Reply { Held, WriteFailed, Cancelled };
    struct ChunkOutcome {
        Reply reply = Reply::Held;
        std::int32_t held = 0; // for Reply::Held
        QString completedPath; // set by the chunk that completed a file
        QStringList events;
    };
    ChunkOutcome Chunk(std::int32_t number, const std::uint8_t* data, int count);

    // Removes an incomplete file; returns the event line, or empty when there was none.
    QString AbandonIncomplete(const QString& why);

private:
    enum class Phase { Idle, Receiving, Complete, Aborted };

    QString Abort(Reply reply, const QString& why);

    QString usbFolder_;
    Faults faults_;
    Phase phase_ = Phase::Idle;
    QFile file_;
    QString path_;
    QString name_;
    std::int64_t size_ = 0;
    std::int64_t written_ = 0;
    std::int32_t held_ = 0;
    Reply abortReply_ = Reply::WriteFailed;
    int quartersLogged_ = 0;
};

} // namespace korva::sim
