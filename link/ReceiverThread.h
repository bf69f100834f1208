#pragma once

#include "link/LinkPacket.h"
#include "link/LinkStatus.h"

#include <QThread>

#include <atomic>
#include <cstdint>
#include <string>

namespace korva {

// The ports the receiver tries, in order, until one binds.
struct ReceivePortRange {
    int first = LinkPacket::FirstLocalPort;
    int last = LinkPacket::LastLocalPort;
};

// The only reader of the network. Binds the first free receive port on all local addresses,
// receives every datagram, drops what is not a valid datagram from the controller, keeps a copy of
// the last valid one in LastPacket, decodes the replies into LinkStatus and ToolTable, moves
// LinkState on identity, clock and reset replies, reloads the watchdog and chains the ToolName
// requests of a tool fetch.
//
// The owner creates it, starts it at once, and to stop it calls requestInterruption() and wait();
// the thread notices the request within one receive timeout. The thread never deletes itself.
class UDP_Server_Thread_Class : public QThread {
    Q_OBJECT
public:
    static constexpr uint StackSize = 4194304; // 4 MiB
    static constexpr int ReceiveTimeoutMs = 1000;
    // Datagrams shorter than this carry no command byte and are dropped.
    static constexpr int MinDatagramLength = LinkPacket::CommandPos + 1;

    // Takes the controller's address from link.Network.ControllerAddress, which must be set first.
    explicit UDP_Server_Thread_Class(LinkShared& link, ReceivePortRange ports = {},
                                     QObject* parent = nullptr);
    ~UDP_Server_Thread_Class() override;

protected:
    void run() override;

private:
    void Run();
    void ReceiveLoop(class UdpSocket& socket);
    void HandleDatagram(const std::uint8_t* datagram, int length);

    LinkShared& link_;
    const std::string controllerAddress_;
    const ReceivePortRange ports_;
    // Set as the very last step of run(). QThread::wait() synchronises through Qt's own primitives,
    // which ThreadSanitizer cannot see; the destructor reads this flag after the join so that
    // everything run() did is ordered before the object goes away, for the tools as for the reader.
    std::atomic<bool> runEnded_{false};
};

} // namespace korva
