#pragma once

#include "link/LinkPacket.h"
#include "link/UdpSocket.h"

#include <string>

namespace korva::test {

// Binds `holder` to the first free port of the receive range on all local addresses, the way
// another program would hold it. Other test programs may hold ports of the range at the same time,
// so the held port is whichever is free first. Returns the port, or 0 when none was free.
inline int HoldFirstFreeReceivePort(UdpSocket& holder) {
    for (int port = LinkPacket::FirstLocalPort; port <= LinkPacket::LastLocalPort; ++port) {
        if (holder.Bind("0.0.0.0", std::to_string(port)))
            return port;
    }
    return 0;
}

} // namespace korva::test
