#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

namespace korva {

// Command byte of a datagram (position 4), the same in a request and its reply.
enum class LinkCommand : std::uint8_t {
    Status = 1,
    Identify = 2,
    SetClock = 3,
    ResetJobCount = 5,
    ToolName = 8,
    FileStart = 10,
    FileData = 11,
};

// Framing of every datagram: CRC-16 little-endian at 0-1, header bytes 3 and 0 at 2-3 (requests),
// command at 4, payload from 5.
struct LinkPacket {
    static constexpr int CrcPos = 0;
    static constexpr int HeaderPos = 2;
    static constexpr int CommandPos = 4;
    static constexpr int PayloadPos = 5;

    static constexpr std::uint8_t Header0 = 3;
    static constexpr std::uint8_t Header1 = 0;

    static constexpr int ControllerPort = 65535;
    static constexpr int FirstLocalPort = 11000;
    static constexpr int LastLocalPort = 11050;

    static constexpr int RequestBufferSize = 1501; // positions 0 to 1500
    static constexpr int LastPacketSize = 1502;    // positions 0 to 1501

    static constexpr int ChunkSize = 1422;          // data bytes of a full FileData chunk
    static constexpr int MaxFolderNameLength = 30;  // MappedFolder is at most 30 bytes
    static constexpr int MaxFileStartNames = 1481;  // folder + file name bytes that fit the buffer
    static constexpr int MaxLengthValue = 1496;     // largest length value whose datagram fits the buffer
    static constexpr std::int64_t MaxFileSize = 0x7FFFFFFF; // int32 size field

    // Reply layouts (read from LastPacket at fixed positions).
    static constexpr int StatusJobProgress = 5;
    static constexpr int StatusMachineState = 6;
    static constexpr int StatusAlarmCode = 7;
    static constexpr int StatusJobCount = 8;
    static constexpr int StatusToolChange = 12;
    static constexpr int StatusJobTime = 13;
    static constexpr int StatusFileNameFirst = 17;
    static constexpr int StatusFileNameLast = 49;

    static constexpr int IdentifySerial = 5;
    static constexpr int IdentifyCoreVersion = 9;
    static constexpr int IdentifyNameFirst = 13;
    static constexpr int IdentifyNameLast = 41;

    static constexpr int ToolNumber = 5;
    static constexpr int ToolNameFirst = 6;
    static constexpr int ToolNameLast = 38;

    static constexpr int FileStartResult = 5;
    static constexpr int FileDataStatus = 5;
    static constexpr int FileDataHeld = 6;

    static constexpr std::uint8_t MachineStateMachining = 2;
    static constexpr std::uint8_t NoAlarm = 255;
    static constexpr std::uint8_t FileStartReady = 0;
    static constexpr std::uint8_t FileStartNoUsbDrive = 233;
    static constexpr std::uint8_t FileDataWriteFailed = 1;
    static constexpr std::uint8_t FileDataCancelled = 2;
};

// The shared buffer every request is built in. It is never cleared: padding bytes repeat what an
// earlier request left there (zero before the first one).
using RequestBuffer = std::array<std::uint8_t, LinkPacket::RequestBufferSize>;

// Length value rounded up to a multiple of 4 (the bytes that follow the CRC).
constexpr int PaddedLength(int lengthValue) { return (lengthValue + 3) / 4 * 4; }

// Datagram length of a request with the given length value.
constexpr int DatagramLength(int lengthValue) { return PaddedLength(lengthValue) + 2; }

// Writes the header bytes and the CRC of a request whose command and payload are already in the
// buffer; returns the number of bytes to send. A length value below 1 or above MaxLengthValue
// leaves the buffer untouched and returns 0.
int FinishRequest(RequestBuffer& buffer, int lengthValue);

// Stores the CRC of bytes 2 to length-1 at positions 0 and 1 (any datagram, also replies).
void StoreCrc(std::uint8_t* datagram, int length);

// A datagram is valid when it has at least 2 bytes and the CRC of bytes 2 onward matches bytes 0-1.
bool HasValidCrc(const std::uint8_t* datagram, int length);

// ---- Request builders. Each writes the command and payload from position 4 and returns the
// ---- request's length value; the caller then completes it with SendRequest / FinishRequest.

int BuildStatus(RequestBuffer& buffer);
int BuildIdentify(RequestBuffer& buffer, std::int32_t localPort);
int BuildResetJobCount(RequestBuffer& buffer);
int BuildToolName(RequestBuffer& buffer, int toolNumber);

// Workstation clock fields as sent by SetClock.
struct ClockReading {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int day = 1;
    int month = 1;
    int year = 2000;
};
// Reads the local date and time of day from one clock reading.
ClockReading ReadLocalClock();
int BuildSetClock(RequestBuffer& buffer, const ClockReading& clock);

enum class FileStartRefusal {
    None,
    NamesTooLong, // folder and file names do not fit the request buffer
    FileTooLarge, // 2^31 bytes or more cannot be announced in the int32 size field
    FolderTooLong // more than 30 bytes of folder name
};

struct FileStartBuild {
    FileStartRefusal refusal = FileStartRefusal::None;
    int lengthValue = 0; // valid when refusal is None
};

// The folder name a FileStart carries: the mapped folder, or "\" for a later-generation
// controller when no folder is mapped.
QByteArray FolderNameForController(const QByteArray& mappedFolder, bool isK8);

// Builds FileStart; refuses before writing anything when the request cannot be built.
FileStartBuild BuildFileStart(RequestBuffer& buffer, std::int64_t fileSize, const QByteArray& folderName,
                              const QByteArray& fileName);

// Builds one FileData chunk of 1 to 1422 bytes; returns the length value, or 0 for a bad size.
int BuildFileData(RequestBuffer& buffer, std::int32_t chunkNumber, const std::uint8_t* data, int count);

// Number of FileData chunks a file of the given size needs.
constexpr std::int64_t ChunkCount(std::int64_t fileSize) {
    return (fileSize + LinkPacket::ChunkSize - 1) / LinkPacket::ChunkSize;
}

// ---- Field readers for replies (little-endian, fixed positions).

std::int32_t ReadInt32(const std::uint8_t* bytes, int pos);
float ReadFloat32(const std::uint8_t* bytes, int pos);
void WriteInt32(std::uint8_t* bytes, int pos, std::int32_t value);
void WriteFloat32(std::uint8_t* bytes, int pos, float value);

// Text field from `first` to `last` inclusive: ends at the first zero byte or after `last`.
QByteArray ReadText(const std::uint8_t* bytes, int first, int last);

// ---- Decoded replies, read from a LastPacket-sized copy of the last valid datagram.

struct StatusReply {
    int jobProgress = 0;
    std::uint8_t machineState = 0;
    std::uint8_t alarmCode = LinkPacket::NoAlarm;
    std::int32_t jobCount = 0;
    bool toolChangeRequest = false;
    std::int32_t jobTimeSeconds = 0;
    QByteArray controllerFileName;
};
StatusReply DecodeStatus(const std::uint8_t* packet);

struct IdentifyReply {
    std::int32_t serialNumber = 0;
    float coreVersion = 0.0f;
    QByteArray softwareName;
};
IdentifyReply DecodeIdentify(const std::uint8_t* packet);

struct ToolNameReply {
    int toolNumber = 0;
    QByteArray toolName;
};
ToolNameReply DecodeToolName(const std::uint8_t* packet);

} // namespace korva
