#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace korva {

// The settings file "KORVA_Link.dat" in the application data folder.
//
// The file is exactly one SettingsRecord, 4180 bytes, stored byte for byte as it lies in memory:
// no header, no version, nothing else. Integers are little-endian.
//
//   offset  size  field             encoding
//        0     4  Checksum          CRC-32 (zlib's crc32 from 0) of all 4180 bytes with this field 0
//        4     4  Reserved          zero in a default record; otherwise passed through untouched
//        8     4  WindowLeft        signed 32-bit, screen points, may be negative or off-screen
//       12     4  WindowTop         signed 32-bit
//       16    31  MachineName       length byte 0..30, then 30 text bytes (UTF-8)
//       47     1  AutoConnect       flag
//       48     1  UseOwnNetwork     flag
//       49     4  ControllerIp      four octets, first octet first
//       53    31  MappedFolder      length byte 0..30, then 30 text bytes (UTF-8)
//       84  4095  MappedFolderPath  UTF-8 text, then zero bytes to the end of the field
//     4179     1  ToolsPanelOpen    flag
//
// Flags are written as 0 or 1; any non-zero byte counts as set. Storing a short text writes only
// the length byte and the new text bytes: the bytes after it keep whatever an earlier, longer text
// left there (the checksum covers them, nothing else reads them). A file whose checksum does not
// match, whichever byte differs, or that is shorter than 4180 bytes is replaced by defaults; of a
// longer file only the first 4180 bytes count, and the next save cuts it to 4180.

#pragma pack(push, 1)

// A short text field: its length in bytes (0..30), then room for 30 bytes of UTF-8 text.
struct SettingsText {
    static constexpr int Capacity = 30;

    std::uint8_t Length;
    std::array<char, Capacity> Bytes;

    // The stored length; a length byte above 30 counts as 30.
    int Size() const { return Length > Capacity ? Capacity : Length; }
    QByteArray Utf8() const { return QByteArray(Bytes.data(), Size()); }
    QString Text() const { return QString::fromUtf8(Bytes.data(), Size()); }

    // Stores at most the first 30 bytes of the text, cut before a character that would not fit
    // whole. Only the length byte and the new text bytes change; the bytes after them stay.
    void AssignUtf8(QByteArrayView utf8);
    void Assign(const QString& text) { AssignUtf8(text.toUtf8()); }
};

// The fixed-size path field: UTF-8 bytes, then zero bytes to the end of the field. A path that
// fills all 4095 bytes has no zero after it.
struct SettingsPath {
    static constexpr int Capacity = 4095;

    std::array<char, Capacity> Bytes;

    // The bytes up to the first zero byte, or all 4095.
    QByteArray Utf8() const;
    QString Text() const { return QString::fromUtf8(Utf8()); }

    // Stores at most the first 4095 bytes of the path, cut before a character that would not fit
    // whole, and zeros in the rest of the field.
    void AssignUtf8(QByteArrayView utf8);
    void Assign(const QString& path) { AssignUtf8(path.toUtf8()); }
};

// A one-byte switch: written as 0 or 1, read as set for any non-zero byte.
struct SettingsFlag {
    std::uint8_t Value;

    bool IsSet() const { return Value != 0; }
    void Set(bool on) { Value = on ? 1 : 0; }
    void Toggle() { Set(!IsSet()); }
};

// Every user setting of the program, in the form it has in the settings file (see above).
// The program has a single instance, held by SettingsStore; its users assign fields directly and
// then call SettingsStore::SaveSettings().
struct SettingsRecord {
    static constexpr int FileSize = 4180;

    std::uint32_t Checksum;
    std::array<std::uint8_t, 4> Reserved;
    std::int32_t WindowLeft;
    std::int32_t WindowTop;
    SettingsText MachineName;
    SettingsFlag AutoConnect;
    SettingsFlag UseOwnNetwork;
    std::array<std::uint8_t, 4> ControllerIp;
    SettingsText MappedFolder;
    SettingsPath MappedFolderPath;
    SettingsFlag ToolsPanelOpen;
};

#pragma pack(pop)

static_assert(std::endian::native == std::endian::little, "the settings file is the record's memory image");
static_assert(std::is_standard_layout_v<SettingsRecord> && std::is_trivially_copyable_v<SettingsRecord>);
static_assert(sizeof(SettingsText) == 31 && sizeof(SettingsPath) == 4095 && sizeof(SettingsFlag) == 1);
static_assert(sizeof(SettingsRecord) == SettingsRecord::FileSize);
static_assert(alignof(SettingsRecord) == 1);
static_assert(offsetof(SettingsRecord, Checksum) == 0);
static_assert(offsetof(SettingsRecord, Reserved) == 4);
static_assert(offsetof(SettingsRecord, WindowLeft) == 8);
static_assert(offsetof(SettingsRecord, WindowTop) == 12);
static_assert(offsetof(SettingsRecord, MachineName) == 16);
static_assert(offsetof(SettingsRecord, MachineName) + offsetof(SettingsText, Bytes) == 17);
static_assert(offsetof(SettingsRecord, AutoConnect) == 47);
static_assert(offsetof(SettingsRecord, UseOwnNetwork) == 48);
static_assert(offsetof(SettingsRecord, ControllerIp) == 49);
static_assert(offsetof(SettingsRecord, MappedFolder) == 53);
static_assert(offsetof(SettingsRecord, MappedFolderPath) == 84);
static_assert(offsetof(SettingsRecord, ToolsPanelOpen) == 4179);

// Width and height of the connect window and of the main window without its tools panel, in
// window points; the default position puts such a window's centre at the monitor's centre.
inline constexpr int DefaultWindowWidth = 536;
inline constexpr int DefaultWindowHeight = 870;

// The defaults: all bytes zero except the window position, which is the primary monitor's full
// width div 2 - 268 and height div 2 - 435 (negative on a small monitor). Checksum is left 0.
SettingsRecord DefaultSettingsRecord(QSize primaryMonitorSize);

// The CRC-32 of the record's 4180 bytes computed with Checksum taken as 0.
std::uint32_t SettingsChecksum(const SettingsRecord& record);

// The record's bytes as stored in the file, and the record made from such bytes (the first 4180;
// fewer are filled up with zeros).
QByteArray SettingsRecordBytes(const SettingsRecord& record);
SettingsRecord SettingsRecordFromBytes(QByteArrayView bytes);

// Outcome of SettingsStore::LoadSettings().
enum class SettingsLoadStatus : int {
    NotFound = 0,   // no file: defaults were made and saved (also the value before any load)
    Unverified = 1, // the file exists and is being read (stays so when reading it fails)
    Verified = 2,   // the file was read and its checksum matched
    Corrupted = 3,  // the checksum did not match or the file was too short: defaults were saved
};

// The program's settings: its single SettingsRecord and the settings file that keeps it.
//
// Input/output failures throw SettingsError with a readable text; the record then keeps the
// values it held. Saving never leaves a half-written file: the record goes to a temporary file in
// the same folder, which then replaces the old file in one step.
class SettingsStore {
public:
    static constexpr const char* FileName = "KORVA_Link.dat";

    // appDataFolder ends in "/" (see AppDataFolderFor). The record starts all zero.
    explicit SettingsStore(QString appDataFolder);

    SettingsRecord& Record() { return record_; }
    const SettingsRecord& Record() const { return record_; }
    SettingsLoadStatus LoadStatus() const { return loadStatus_; }
    const QString& Folder() const { return folder_; }
    QString FilePath() const { return folder_ + QLatin1String(FileName); }

    // Fills the record from the file and sets LoadStatus(). A missing, damaged or short file is
    // replaced by defaults for a primary monitor of the given full size, saved at once.
    void LoadSettings(QSize primaryMonitorSize);

    // Stores the record's checksum in Checksum and writes the whole record to the file.
    void SaveSettings();

    // Replaces the record with the defaults and saves it.
    void ResetSettings(QSize primaryMonitorSize);

private:
    QString folder_;
    SettingsRecord record_{};
    SettingsLoadStatus loadStatus_ = SettingsLoadStatus::NotFound;
};

} // namespace korva
