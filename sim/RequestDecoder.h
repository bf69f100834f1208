#pragma once

#include "link/LinkPacket.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace korva::sim {

// One request as the controller reads it. Only the fields of `command` are filled.
struct DecodedRequest {
    LinkCommand command = LinkCommand::Status;
    std::int32_t localPort = 0;              // Identify
    ClockReading clock;                      // SetClock (year is 2000 + the byte sent)
    int toolNumber = 0;                      // ToolName
    std::int32_t fileSize = 0;               // FileStart
    QByteArray folderName;                   // FileStart
    QByteArray fileName;                     // FileStart
    std::int32_t chunkNumber = 0;            // FileData
    const std::uint8_t* chunkData = nullptr; // FileData: points into the datagram
    int chunkLength = 0;                     // FileData: 1 to 1422
};

struct RequestDecoding {
    std::optional<DecodedRequest> request;
    QString problem; // why the datagram is not a request, when `request` is empty
};

// Reads a request whose CRC has been checked. A datagram that is shorter than its command's
// fields, whose length after the CRC is not a multiple of 4, whose header is not 3 0, whose texts
// are not terminated or whose chunk length is out of range is refused with a readable problem.
RequestDecoding DecodeRequest(const std::uint8_t* datagram, int length);

// Readable name of a command byte ("Status", "FileData", "command 7").
QString CommandName(std::uint8_t command);

} // namespace korva::sim
