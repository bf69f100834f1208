#pragma once

#include "link/LinkPacket.h"

#include <QByteArray>
#include <cstdint>

namespace korva::sim {

// Builds the controller's replies: CRC-16 little-endian at 0-1, header bytes 3 and 0, the command
// at 4, the fields at their fixed positions, and zero padding so that the bytes after the CRC are
// a multiple of 4. Text fields are cut to their field; a text that fills its field has no zero.

QByteArray EncodeIdentifyReply(const IdentifyReply& identity);
QByteArray EncodeStatusReply(const StatusReply& status);

// SetClock and ResetJobCount replies: just the command byte.
QByteArray EncodeAcknowledgement(LinkCommand command);

QByteArray EncodeToolNameReply(int toolNumber, const QByteArray& toolName);

// The FileStart reply carries command 10 so that the receiver never mistakes it for a status,
// identity, clock or reset reply.
QByteArray EncodeFileStartReply(std::uint8_t result);

// FileData replies: an accepted chunk with the number of chunks held, a write failure, or a
// transfer the user cancelled on the controller (status 2 followed by "USER").
QByteArray EncodeFileDataHeld(std::int32_t chunksHeld);
QByteArray EncodeFileDataWriteFailed();
QByteArray EncodeFileDataCancelled();

} // namespace korva::sim
