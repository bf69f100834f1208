#include "link/RequestSender.h"

namespace korva {

void RequestSender::OpenTxSocket(const std::string& controllerAddress, int port) {
    auto socket = std::make_unique<UdpSocket>();
    socket->SetDestination(controllerAddress, std::to_string(port));
    std::lock_guard lock(sendLock_);
    txSocket_ = std::move(socket);
}

void RequestSender::CloseTxSocket() {
    std::unique_ptr<UdpSocket> old;
    {
        std::lock_guard lock(sendLock_);
        old = std::move(txSocket_);
    }
    // Closed outside the lock; nobody else can reach it any more.
}

bool RequestSender::HasTxSocket() const {
    std::lock_guard lock(sendLock_);
    return txSocket_ != nullptr;
}

RequestBuffer RequestSender::SnapshotBuffer() const {
    std::lock_guard lock(sendLock_);
    return buffer_;
}

int RequestSender::SendRequest(int lengthValue) {
    const int length = FinishRequest(buffer_, lengthValue);
    if (length == 0 || !txSocket_)
        return 0;
    return txSocket_->Send(buffer_.data(), length) == length ? length : 0;
}

} // namespace korva
