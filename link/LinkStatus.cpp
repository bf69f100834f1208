#include "link/LinkStatus.h"

namespace korva {

LinkShared::LinkShared() { lastPacket_.fill(0); }

DecodedStatus LinkShared::DecodedSnapshot() const {
    std::lock_guard lock(dataLock_);
    return LinkStatus.Decoded;
}

LastPacketBuffer LinkShared::LastPacketSnapshot() const {
    std::lock_guard lock(dataLock_);
    return lastPacket_;
}

QByteArray LinkShared::ToolName(int toolNumber) const {
    if (toolNumber < 1 || toolNumber > MaxToolNumber)
        return {};
    std::lock_guard lock(dataLock_);
    return tools_[static_cast<size_t>(toolNumber)];
}

void LinkShared::SetAllToolNames(const QByteArray& name) {
    std::lock_guard lock(dataLock_);
    for (int n = 1; n <= MaxToolNumber; ++n)
        tools_[static_cast<size_t>(n)] = name;
}

} // namespace korva
