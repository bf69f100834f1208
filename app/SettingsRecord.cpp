#include "app/SettingsRecord.h"

#include "app/SettingsError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>
#include <zlib.h>

namespace korva {

namespace {

// How many leading bytes of a UTF-8 text fit into maxBytes without cutting a character in two.
qsizetype Utf8PrefixLength(QByteArrayView text, qsizetype maxBytes) {
    if (text.size() <= maxBytes)
        return text.size();
    auto isContinuation = [&](qsizetype i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
    // The byte just past the cut continues a character: drop that character's bytes before the cut.
    // A UTF-8 character has at most three continuation bytes; longer runs are not UTF-8, cut plainly.
    qsizetype cut = maxBytes;
    while (cut > 0 && maxBytes - cut < 3 && isContinuation(cut))
        --cut;
    return isContinuation(cut) ? maxBytes : cut;
}

QString ReadErrorText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot read the settings file %1: %2").arg(path, reason);
}

QString WriteErrorText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot write the settings file %1: %2").arg(path, reason);
}

} // namespace

void SettingsText::AssignUtf8(QByteArrayView utf8) {
    const qsizetype size = Utf8PrefixLength(utf8, Capacity);
    Length = static_cast<std::uint8_t>(size);
    std::copy_n(utf8.data(), size, Bytes.data());
}

QByteArray SettingsPath::Utf8() const {
    return QByteArray(Bytes.data(), static_cast<qsizetype>(qstrnlen(Bytes.data(), Capacity)));
}

void SettingsPath::AssignUtf8(QByteArrayView utf8) {
    const qsizetype size = Utf8PrefixLength(utf8, Capacity);
    std::copy_n(utf8.data(), size, Bytes.data());
    std::fill(Bytes.begin() + size, Bytes.end(), '\0');
}

SettingsRecord DefaultSettingsRecord(QSize primaryMonitorSize) {
    SettingsRecord record{};
    record.WindowLeft = primaryMonitorSize.width() / 2 - DefaultWindowWidth / 2;
    record.WindowTop = primaryMonitorSize.height() / 2 - DefaultWindowHeight / 2;
    return record;
}

std::uint32_t SettingsChecksum(const SettingsRecord& record) {
    SettingsRecord copy = record;
    copy.Checksum = 0;
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(&copy), static_cast<uInt>(SettingsRecord::FileSize)));
}

QByteArray SettingsRecordBytes(const SettingsRecord& record) {
    return QByteArray(reinterpret_cast<const char*>(&record), SettingsRecord::FileSize);
}

SettingsRecord SettingsRecordFromBytes(QByteArrayView bytes) {
    SettingsRecord record{};
    std::memcpy(&record, bytes.data(), std::min<qsizetype>(bytes.size(), SettingsRecord::FileSize));
    return record;
}

SettingsStore::SettingsStore(QString appDataFolder) : folder_(std::move(appDataFolder)) {}

void SettingsStore::LoadSettings(QSize primaryMonitorSize) {
    const QString path = FilePath();
    if (!QFileInfo::exists(path)) {
        ResetSettings(primaryMonitorSize);
        loadStatus_ = SettingsLoadStatus::NotFound;
    } else {
        loadStatus_ = SettingsLoadStatus::Unverified;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SettingsError(ReadErrorText(path, file.errorString()));
    const QByteArray bytes = file.read(SettingsRecord::FileSize);
    if (file.error() != QFileDevice::NoError)
        throw SettingsError(ReadErrorText(path, file.errorString()));
    file.close();

    // A short file cannot hold a valid record: it is handled like a damaged one.
    if (bytes.size() < SettingsRecord::FileSize) {
        loadStatus_ = SettingsLoadStatus::Corrupted;
        ResetSettings(primaryMonitorSize);
        return;
    }

    SettingsRecord loaded = SettingsRecordFromBytes(bytes);
    const std::uint32_t stored = loaded.Checksum;
    loaded.Checksum = SettingsChecksum(loaded);
    if (loaded.Checksum != stored) {
        loadStatus_ = SettingsLoadStatus::Corrupted;
        ResetSettings(primaryMonitorSize);
        return;
    }

    record_ = loaded;
    if (loadStatus_ == SettingsLoadStatus::Unverified)
        loadStatus_ = SettingsLoadStatus::Verified;
}

void SettingsStore::SaveSettings() {
    record_.Checksum = SettingsChecksum(record_);
    const QByteArray bytes = SettingsRecordBytes(record_);
    const QString path = FilePath();

    // The new record goes to a temporary file beside the old one, which it replaces only once it
    // is complete and on disk: a crash, a kill or a full disk leaves the old file or the new one.
    // An unfinished temporary file is removed when `file` goes out of scope.
    //
    // The file is unbuffered and written in a loop, because a buffered QSaveFile does not notice
    // a write that fails while the buffer is flushed on commit and would put a cut-off file in
    // place; a partial write reports no error until the next write is tried. Commit does not
    // report a failed sync either, so the data is synced here first.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw SettingsError(WriteErrorText(path, file.errorString()));
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            throw SettingsError(WriteErrorText(path, file.errorString()));
        written += count;
    }
    if (::fsync(file.handle()) != 0)
        throw SettingsError(WriteErrorText(path, QString::fromLocal8Bit(std::strerror(errno))));
    if (!file.commit())
        throw SettingsError(WriteErrorText(path, file.errorString()));
}

void SettingsStore::ResetSettings(QSize primaryMonitorSize) {
    record_ = DefaultSettingsRecord(primaryMonitorSize);
    SaveSettings();
}

} // namespace korva
