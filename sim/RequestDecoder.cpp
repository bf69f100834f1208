#include "sim/RequestDecoder.h"

#include <cstring>

namespace korva::sim {
namespace {

RequestDecoding Refuse(const QString& problem) {
    return {std::nullopt, problem};
}

QString TooShort(std::uint8_t command, int length, int needed) {
    return QStringLiteral("%1 request of %2 bytes is too short (needs %3)")
        .arg(CommandName(command))
        .arg(length)
        .arg(needed);
}

} // namespace

QString CommandName(std::uint8_t command) {
    switch (static_cast<LinkCommand>(command)) {
    case LinkCommand::Status:
        return QStringLiteral("Status");
    case LinkCommand::Identify:
        return QStringLiteral("Identify");
    case LinkCommand::SetClock:
        return QStringLiteral("SetClock");
    case LinkCommand::ResetJobCount:
        return QStringLiteral("ResetJobCount");
    case LinkCommand::ToolName:
        return QStringLiteral("ToolName");
    case LinkCommand::FileStart:
        return QStringLiteral("FileStart");
    case LinkCommand::FileData:
        return QStringLiteral("FileData");
    }
    return QStringLiteral("command %1").arg(command);
}

RequestDecoding DecodeRequest(const std::uint8_t* d, int length) {
    if (length <= LinkPacket::CommandPos)
        return Refuse(QStringLiteral("datagram of %1 bytes has no command byte").arg(length));
    if (d[LinkPacket::HeaderPos] != LinkPacket::Header0 ||
        d[LinkPacket::HeaderPos + 1] != LinkPacket::Header1)
        return Refuse(QStringLiteral("header bytes %1 %2 instead of 3 0")
                          .arg(d[LinkPacket::HeaderPos])
                          .arg(d[LinkPacket::HeaderPos + 1]));
    const std::uint8_t command = d[LinkPacket::CommandPos];
    if ((length - 2) % 4 != 0)
        return Refuse(
            QStringLiteral("%1 request of %2 bytes: the bytes after the CRC are not a multiple of 4")
                .arg(CommandName(command))
                .arg(length));

    DecodedRequest r;
    r.command = static_cast<LinkCommand>(command);
    auto needs = [&](int lengthValue) { return DatagramLength(lengthValue); };

    switch (r.command) {
    case LinkCommand::Status:
        if (length < needs(5))
            return Refuse(TooShort(command, length, needs(5)));
        break;
    case LinkCommand::Identify:
        if (length < needs(8))
            return Refuse(TooShort(command, length, needs(8)));
        r.localPort = ReadInt32(d, 5);
        break;
    case LinkCommand::SetClock:
        if (length < needs(10))
            return Refuse(TooShort(command, length, needs(10)));
        r.clock.hour = d[5];
        r.clock.minute = d[6];
        r.clock.second = d[7];
        r.clock.day = d[8];
        r.clock.month = d[9];
        r.clock.year = 2000 + d[10];
        break;
    case LinkCommand::ResetJobCount:
        if (length < needs(1))
            return Refuse(TooShort(command, length, needs(1)));
        break;
    case LinkCommand::ToolName:
        if (length < needs(8))
            return Refuse(TooShort(command, length, needs(8)));
        r.toolNumber = d[5];
        break;
    case LinkCommand::FileStart: {
        if (length < needs(15))
            return Refuse(TooShort(command, length, needs(15)));
        r.fileSize = ReadInt32(d, 5);
        const int folderLength = d[11];
        const int folderEnd = 12 + folderLength; // position of the folder's zero terminator
        if (folderEnd >= length || d[folderEnd] != 0)
            return Refuse(
                QStringLiteral("FileStart folder name of %1 bytes has no zero terminator in the datagram")
                    .arg(folderLength));
        if (std::memchr(d + 12, 0, static_cast<size_t>(folderLength)) != nullptr)
            return Refuse(QStringLiteral("FileStart folder name holds a zero byte"));
        const int nameFirst = folderEnd + 1;
        const void* nameEnd = std::memchr(d + nameFirst, 0, static_cast<size_t>(length - nameFirst));
        if (nameEnd == nullptr)
            return Refuse(QStringLiteral("FileStart file name has no zero terminator in the datagram"));
        const int nameLength = static_cast<int>(static_cast<const std::uint8_t*>(nameEnd) - (d + nameFirst));
        if (length < needs(folderLength + nameLength + 15))
            return Refuse(TooShort(command, length, needs(folderLength + nameLength + 15)));
        r.folderName = QByteArray(reinterpret_cast<const char*>(d + 12), folderLength);
        r.fileName = QByteArray(reinterpret_cast<const char*>(d + nameFirst), nameLength);
        break;
    }
    case LinkCommand::FileData: {
        if (length < needs(14))
            return Refuse(TooShort(command, length, needs(14)));
        r.chunkNumber = ReadInt32(d, 5);
        r.chunkLength = ReadInt32(d, 9);
        if (r.chunkNumber < 0)
            return Refuse(QStringLiteral("FileData chunk number %1 is negative").arg(r.chunkNumber));
        if (r.chunkLength < 1 || r.chunkLength > LinkPacket::ChunkSize)
            return Refuse(QStringLiteral("FileData chunk %1 announces %2 data bytes (1 to %3 allowed)")
                              .arg(r.chunkNumber)
                              .arg(r.chunkLength)
                              .arg(LinkPacket::ChunkSize));
        if (length < needs(r.chunkLength + 13))
            return Refuse(TooShort(command, length, needs(r.chunkLength + 13)));
        r.chunkData = d + 13;
        break;
    }
    default:
        return Refuse(QStringLiteral("unknown command %1").arg(command));
    }
    return {r, {}};
}

} // namespace korva::sim
