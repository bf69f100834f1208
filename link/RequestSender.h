#pragma once

#include "link/LinkPacket.h"
#include "link/UdpSocket.h"

#include <memory>
#include <mutex>
#include <string>

namespace korva {

// The one send path of the program: the shared RequestBuffer, the send lock and TxSocket.
//
// Every request is built and sent inside Send(), which holds the send lock from the first byte
// written into the buffer until the datagram has left, so requests from the UI thread, the
// receiver thread and the transfer thread never mix. A failed send is not reported: the request
// is lost and the layer that sent it resends it when no reply comes.
class RequestSender {
public:
    RequestSender() { buffer_.fill(0); }

    // Builds and sends one request. `build` writes the command and payload into the buffer and
    // returns the request's length value (0 or less, or above LinkPacket::MaxLengthValue: nothing is
    // sent). Returns the datagram length sent, or 0.
    template <typename Build>
    int Send(Build&& build) {
        std::lock_guard lock(sendLock_);
        const int lengthValue = build(buffer_);
        if (lengthValue <= 0)
            return 0;
        return SendRequest(lengthValue);
    }

    // Releases the previous TxSocket and opens a new one aimed at the controller's request port.
    void OpenTxSocket(const std::string& controllerAddress, int port = LinkPacket::ControllerPort);

    // Closes and releases TxSocket; later sends are dropped until it is opened again.
    void CloseTxSocket();

    bool HasTxSocket() const;

    // Copy of the buffer for tests and diagnostics (taken under the send lock).
    RequestBuffer SnapshotBuffer() const;

private:
    // Completes the request in the buffer (header, CRC) and sends it. Called with the send lock held.
    int SendRequest(int lengthValue);

    mutable std::mutex sendLock_;
    RequestBuffer buffer_{};
    std::unique_ptr<UdpSocket> txSocket_;
};

} // namespace korva
