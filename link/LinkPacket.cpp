#include "link/LinkPacket.h"

#include "link/Crc16.h"

#include <QDateTime>

#include <bit>
#include <cstring>

namespace korva {
namespace {

void PutCommand(RequestBuffer& buffer, LinkCommand command) {
    buffer[LinkPacket::CommandPos] = static_cast<std::uint8_t>(command);
}

} // namespace

int FinishRequest(RequestBuffer& buffer, int lengthValue) {
    if (lengthValue < 1 || lengthValue > LinkPacket::MaxLengthValue)
        return 0;
    const int padded = PaddedLength(lengthValue);
    buffer[LinkPacket::HeaderPos] = LinkPacket::Header0;
    buffer[LinkPacket::HeaderPos + 1] = LinkPacket::Header1;
    StoreCrc(buffer.data(), padded + 2);
    return padded + 2;
}

void StoreCrc(std::uint8_t* datagram, int length) {
    const std::uint16_t crc = Crc16(datagram, 2, length - 2);
    datagram[0] = static_cast<std::uint8_t>(crc & 0xFF);
    datagram[1] = static_cast<std::uint8_t>(crc >> 8);
}

bool HasValidCrc(const std::uint8_t* datagram, int length) {
    if (length < 2)
        return false;
    const std::uint16_t crc = Crc16(datagram, 2, length - 2);
    return datagram[0] == (crc & 0xFF) && datagram[1] == (crc >> 8);
}

int BuildStatus(RequestBuffer& buffer) {
    PutCommand(buffer, LinkCommand::Status);
    return 5;
}

int BuildIdentify(RequestBuffer& buffer, std::int32_t localPort) {
    PutCommand(buffer, LinkCommand::Identify);
    WriteInt32(buffer.data(), 5, localPort);
    return 8;
}

int BuildResetJobCount(RequestBuffer& buffer) {
    PutCommand(buffer, LinkCommand::ResetJobCount);
    return 1;
}

int BuildToolName(RequestBuffer& buffer, int toolNumber) {
    PutCommand(buffer, LinkCommand::ToolName);
    buffer[5] = static_cast<std::uint8_t>(toolNumber & 0xFF);
    return 8;
}

ClockReading ReadLocalClock() {
    // One reading for both: separate readings around midnight would pair the old time of day with
    // the new date and set the controller's clock a day ahead.
    const QDateTime now = QDateTime::currentDateTime();
    const QTime time = now.time();
    const QDate date = now.date();
    ClockReading clock;
    clock.hour = time.hour();
    clock.minute = time.minute();
    clock.second = time.second();
    clock.day = date.day();
    clock.month = date.month();
    clock.year = date.year();
    return clock;
}

int BuildSetClock(RequestBuffer& buffer, const ClockReading& clock) {
    PutCommand(buffer, LinkCommand::SetClock);
    buffer[5] = static_cast<std::uint8_t>(clock.hour);
    buffer[6] = static_cast<std::uint8_t>(clock.minute);
    buffer[7] = static_cast<std::uint8_t>(clock.second);
    buffer[8] = static_cast<std::uint8_t>(clock.day);
    buffer[9] = static_cast<std::uint8_t>(clock.month);
    buffer[10] = static_cast<std::uint8_t>((clock.year - 2000) & 0xFF);
    return 10;
}

QByteArray FolderNameForController(const QByteArray& mappedFolder, bool isK8) {
    if (mappedFolder.isEmpty() && isK8)
        return QByteArray(1, '\\');
    return mappedFolder;
}

FileStartBuild BuildFileStart(RequestBuffer& buffer, std::int64_t fileSize, const QByteArray& folderName,
                              const QByteArray& fileName) {
    FileStartBuild result;
    const qsizetype f = folderName.size();
    const qsizetype n = fileName.size();
    if (fileSize < 0 || fileSize > LinkPacket::MaxFileSize) {
        result.refusal = FileStartRefusal::FileTooLarge;
        return result;
    }
    if (f > LinkPacket::MaxFolderNameLength) {
        result.refusal = FileStartRefusal::FolderTooLong;
        return result;
    }
    if (f + n > LinkPacket::MaxFileStartNames) {
        result.refusal = FileStartRefusal::NamesTooLong;
        return result;
    }
    PutCommand(buffer, LinkCommand::FileStart);
    WriteInt32(buffer.data(), 5, static_cast<std::int32_t>(fileSize));
    buffer[9] = 0;
    buffer[10] = 0;
    buffer[11] = static_cast<std::uint8_t>(f);
    if (f > 0)
        std::memcpy(buffer.data() + 12, folderName.constData(), static_cast<size_t>(f));
    buffer[12 + f] = 0;
    if (n > 0)
        std::memcpy(buffer.data() + 13 + f, fileName.constData(), static_cast<size_t>(n));
    buffer[13 + f + n] = 0;
    result.lengthValue = static_cast<int>(f + n + 15);
    return result;
}

int BuildFileData(RequestBuffer& buffer, std::int32_t chunkNumber, const std::uint8_t* data, int count) {
    if (count < 1 || count > LinkPacket::ChunkSize)
        return 0;
    PutCommand(buffer, LinkCommand::FileData);
    WriteInt32(buffer.data(), 5, chunkNumber);
    WriteInt32(buffer.data(), 9, count);
    std::memcpy(buffer.data() + 13, data, static_cast<size_t>(count));
    return count + 13;
}

std::int32_t ReadInt32(const std::uint8_t* bytes, int pos) {
    const std::uint32_t value = static_cast<std::uint32_t>(bytes[pos]) |
                                (static_cast<std::uint32_t>(bytes[pos + 1]) << 8) |
                                (static_cast<std::uint32_t>(bytes[pos + 2]) << 16) |
                                (static_cast<std::uint32_t>(bytes[pos + 3]) << 24);
    return static_cast<std::int32_t>(value);
}

float ReadFloat32(const std::uint8_t* bytes, int pos) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(ReadInt32(bytes, pos)));
}

void WriteInt32(std::uint8_t* bytes, int pos, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    bytes[pos] = static_cast<std::uint8_t>(u & 0xFF);
    bytes[pos + 1] = static_cast<std::uint8_t>((u >> 8) & 0xFF);
    bytes[pos + 2] = static_cast<std::uint8_t>((u >> 16) & 0xFF);
    bytes[pos + 3] = static_cast<std::uint8_t>((u >> 24) & 0xFF);
}

void WriteFloat32(std::uint8_t* bytes, int pos, float value) {
    WriteInt32(bytes, pos, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(value)));
}

QByteArray ReadText(const std::uint8_t* bytes, int first, int last) {
    int end = first;
    while (end <= last && bytes[end] != 0)
        ++end;
    return QByteArray(reinterpret_cast<const char*>(bytes + first), end - first);
}

StatusReply DecodeStatus(const std::uint8_t* packet) {
    StatusReply r;
    r.jobProgress = packet[LinkPacket::StatusJobProgress];
    r.machineState = packet[LinkPacket::StatusMachineState];
    r.alarmCode = packet[LinkPacket::StatusAlarmCode];
    r.jobCount = ReadInt32(packet, LinkPacket::StatusJobCount);
    r.toolChangeRequest = packet[LinkPacket::StatusToolChange] == 0;
    r.jobTimeSeconds = ReadInt32(packet, LinkPacket::StatusJobTime);
    r.controllerFileName = ReadText(packet, LinkPacket::StatusFileNameFirst, LinkPacket::StatusFileNameLast);
    return r;
}

IdentifyReply DecodeIdentify(const std::uint8_t* packet) {
    IdentifyReply r;
    r.serialNumber = ReadInt32(packet, LinkPacket::IdentifySerial);
    r.coreVersion = ReadFloat32(packet, LinkPacket::IdentifyCoreVersion);
    r.softwareName = ReadText(packet, LinkPacket::IdentifyNameFirst, LinkPacket::IdentifyNameLast);
    return r;
}

ToolNameReply DecodeToolName(const std::uint8_t* packet) {
    ToolNameReply r;
    r.toolNumber = packet[LinkPacket::ToolNumber];
    r.toolName = ReadText(packet, LinkPacket::ToolNameFirst, LinkPacket::ToolNameLast);
    return r;
}

} // namespace korva
