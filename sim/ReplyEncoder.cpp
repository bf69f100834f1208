#include "sim/ReplyEncoder.h"

#include <algorithm>
#include <cstring>

namespace korva::sim {
namespace {

// A zeroed reply whose fields end at `lastFieldPos`, with header and command in place.
QByteArray NewReply(LinkCommand command, int lastFieldPos) {
    QByteArray reply(PaddedLength(lastFieldPos - 1) + 2, '\0');
    reply[LinkPacket::HeaderPos] = static_cast<char>(LinkPacket::Header0);
    reply[LinkPacket::HeaderPos + 1] = static_cast<char>(LinkPacket::Header1);
    reply[LinkPacket::CommandPos] = static_cast<char>(command);
    return reply;
}

std::uint8_t* Bytes(QByteArray& reply) {
    return reinterpret_cast<std::uint8_t*>(reply.data());
}

void PutText(QByteArray& reply, int first, int last, const QByteArray& text) {
    const qsizetype count = std::min<qsizetype>(text.size(), last - first + 1);
    std::memcpy(reply.data() + first, text.constData(), static_cast<size_t>(count));
}

QByteArray Finish(QByteArray reply) {
    StoreCrc(Bytes(reply), static_cast<int>(reply.size()));
    return reply;
}

} // namespace

QByteArray EncodeIdentifyReply(const IdentifyReply& identity) {
    QByteArray reply = NewReply(LinkCommand::Identify, LinkPacket::IdentifyNameLast);
    WriteInt32(Bytes(reply), LinkPacket::IdentifySerial, identity.serialNumber);
    WriteFloat32(Bytes(reply), LinkPacket::IdentifyCoreVersion, identity.coreVersion);
    PutText(reply, LinkPacket::IdentifyNameFirst, LinkPacket::IdentifyNameLast, identity.softwareName);
    return Finish(reply);
}

QByteArray EncodeStatusReply(const StatusReply& status) {
    QByteArray reply = NewReply(LinkCommand::Status, LinkPacket::StatusFileNameLast);
    reply[LinkPacket::StatusJobProgress] = static_cast<char>(std::clamp(status.jobProgress, 0, 255));
    reply[LinkPacket::StatusMachineState] = static_cast<char>(status.machineState);
    reply[LinkPacket::StatusAlarmCode] = static_cast<char>(status.alarmCode);
    WriteInt32(Bytes(reply), LinkPacket::StatusJobCount, status.jobCount);
    reply[LinkPacket::StatusToolChange] = static_cast<char>(status.toolChangeRequest ? 0 : 1);
    WriteInt32(Bytes(reply), LinkPacket::StatusJobTime, status.jobTimeSeconds);
    PutText(reply, LinkPacket::StatusFileNameFirst, LinkPacket::StatusFileNameLast,
            status.controllerFileName);
    return Finish(reply);
}

QByteArray EncodeAcknowledgement(LinkCommand command) {
    return Finish(NewReply(command, LinkPacket::CommandPos));
}

QByteArray EncodeToolNameReply(int toolNumber, const QByteArray& toolName) {
    QByteArray reply = NewReply(LinkCommand::ToolName, LinkPacket::ToolNameLast);
    reply[LinkPacket::ToolNumber] = static_cast<char>(toolNumber & 0xFF);
    PutText(reply, LinkPacket::ToolNameFirst, LinkPacket::ToolNameLast, toolName);
    return Finish(reply);
}

QByteArray EncodeFileStartReply(std::uint8_t result) {
    QByteArray reply = NewReply(LinkCommand::FileStart, LinkPacket::FileStartResult);
    reply[LinkPacket::FileStartResult] = static_cast<char>(result);
    return Finish(reply);
}

QByteArray EncodeFileDataHeld(std::int32_t chunksHeld) {
    QByteArray reply = NewReply(LinkCommand::FileData, LinkPacket::FileDataHeld + 3);
    reply[LinkPacket::FileDataStatus] = 0;
    WriteInt32(Bytes(reply), LinkPacket::FileDataHeld, chunksHeld);
    return Finish(reply);
}

QByteArray EncodeFileDataWriteFailed() {
    QByteArray reply = NewReply(LinkCommand::FileData, LinkPacket::FileDataHeld + 3);
    reply[LinkPacket::FileDataStatus] = static_cast<char>(LinkPacket::FileDataWriteFailed);
    return Finish(reply);
}

QByteArray EncodeFileDataCancelled() {
    QByteArray reply = NewReply(LinkCommand::FileData, LinkPacket::FileDataHeld + 3);
    reply[LinkPacket::FileDataStatus] = static_cast<char>(LinkPacket::FileDataCancelled);
    std::memcpy(reply.data() + LinkPacket::FileDataHeld, "USER", 4);
    return Finish(reply);
}

} // namespace korva::sim
