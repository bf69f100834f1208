#include "sim/ControllerSimulator.h"

#include "link/UdpSocket.h"
#include "sim/FileSink.h"
#include "sim/JobCycle.h"
#include "sim/ReplyEncoder.h"
#include "sim/RequestDecoder.h"

#include <QDir>
#include <algorithm>
#include <arpa/inet.h>
#include <system_error>

namespace korva::sim {
namespace {

// A job of the demo machine runs this file until a received file takes its place.
const QByteArray DemoJobFileName = "DEMO-PART.nc";

template <typename T> QString N(T value) {
    return QString::number(value);
}

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString Endpoint(const std::string& address, int port) {
    return QString::fromStdString(address) + QLatin1Char(':') + N(port);
}

QString Quoted(const QByteArray& text) {
    return QLatin1Char('"') + QString::fromUtf8(text) + QLatin1Char('"');
}

QString IdentityText(const IdentifyReply& identity) {
    return QStringLiteral("%1 controller, serial %2, %3, core version %4")
        .arg(identity.serialNumber > 5000 ? QStringLiteral("K8") : QStringLiteral("K7"),
             N(identity.serialNumber), Quoted(identity.softwareName),
             N(static_cast<double>(identity.coreVersion)));
}

QString FaultText(const SimulatorOptions& o) {
    QStringList faults;
    if (o.requestLoss > 0)
        faults << QStringLiteral("request loss %1").arg(N(o.requestLoss));
    if (o.replyLoss > 0)
        faults << QStringLiteral("reply loss %1").arg(N(o.replyLoss));
    if (o.requestLoss > 0 || o.replyLoss > 0)
        faults << QStringLiteral("seed %1").arg(N(o.seed));
    if (o.duplicateReplies)
        faults << QStringLiteral("duplicated replies");
    if (o.silenceAfterRequests >= 0)
        faults << QStringLiteral("silent after %1 requests").arg(N(o.silenceAfterRequests));
    if (o.writeFailAtChunk >= 0)
        faults << QStringLiteral("write failure at chunk %1").arg(N(o.writeFailAtChunk));
    if (o.cancelAtChunk >= 0)
        faults << QStringLiteral("cancel at chunk %1").arg(N(o.cancelAtChunk));
    if (o.replyDelayMs > 0)
        faults << QStringLiteral("replies delayed %1 ms").arg(N(o.replyDelayMs));
    return faults.join(QStringLiteral(", "));
}

} // namespace

bool IsLoopbackAddress(const std::string& address) {
    std::uint32_t networkOrder = 0;
    return ParseIpv4(address, networkOrder) && (ntohl(networkOrder) >> 24) == 127;
}

ControllerSimulator::ControllerSimulator(SimulatorOptions options)
    : options_(std::move(options)), toolNames_(options_.toolNames) {
    identity_.serialNumber = options_.serialNumber;
    identity_.coreVersion = options_.coreVersion;
    identity_.softwareName = options_.softwareName;
    status_.machineState = MachineStateStopped;
    status_.alarmCode = options_.alarmCode;
    status_.toolChangeRequest = options_.toolChangeRequest;
}

ControllerSimulator::~ControllerSimulator() {
    Stop();
}

bool ControllerSimulator::Start(QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (running_)
        return fail(QStringLiteral("the simulator is already running"));
    if (thread_.joinable()) // ended by itself earlier
        thread_.join();

    const QString address = QString::fromStdString(options_.address);
    if (!IsLoopbackAddress(options_.address))
        return fail(
            QStringLiteral("%1 is not a loopback address: the simulator binds only 127.x.x.x addresses")
                .arg(address));
    if (options_.port < 0 || options_.port > 65535)
        return fail(QStringLiteral("%1 is not a UDP port").arg(N(options_.port)));
    if (!options_.usbFolder.isEmpty() && !QDir().mkpath(options_.usbFolder))
        return fail(QStringLiteral("cannot create the USB folder %1").arg(options_.usbFolder));

    auto socket = std::make_unique<UdpSocket>();
    if (!socket->Bind(options_.address, std::to_string(options_.port)))
        return fail(QStringLiteral("cannot bind %1: %2")
                        .arg(Endpoint(options_.address, options_.port),
                             QString::fromStdString(std::generic_category().message(socket->LastError()))));
    socket_ = std::move(socket);
    boundPort_ = socket_->LocalPort();

    random_.seed(options_.seed);
    pending_.clear();
    sink_ = std::make_unique<FileSink>(options_.usbFolder,
                                       FileSink::Faults{options_.writeFailAtChunk, options_.cancelAtChunk});
    job_ =
        options_.runJob ? std::make_unique<JobCycle>(options_.jobSeconds, options_.jobPauseSeconds) : nullptr;
    requestsAnswerable_ = 0;
    silenceReported_ = false;
    noPortReported_ = false;
    identifiedAddress_.clear();
    announcedPort_ = 0;

    IdentifyReply identity;
    {
        std::lock_guard lock(mutex_);
        identity = identity_;
    }
    Emit(QStringLiteral("listening on %1 as a %2")
             .arg(Endpoint(options_.address, boundPort_), IdentityText(identity)));
    Emit(options_.usbFolder.isEmpty() ? QStringLiteral("no USB drive: every FileStart is answered 233")
                                      : QStringLiteral("USB drive: files are written into %1")
                                            .arg(QDir(options_.usbFolder).absolutePath()));
    if (const QString faults = FaultText(options_); !faults.isEmpty())
        Emit(QStringLiteral("faults: %1").arg(faults));

    stopRequested_ = false;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void ControllerSimulator::Stop() {
    stopRequested_ = true;
    if (thread_.joinable())
        thread_.join();
    socket_.reset();
    sink_.reset();
    job_.reset();
}

bool ControllerSimulator::IsRunning() const {
    return running_;
}

int ControllerSimulator::Port() const {
    return boundPort_;
}

void ControllerSimulator::Run() {
    const Clock::time_point started = Clock::now();
    std::optional<Clock::time_point> deadline;
    if (options_.stopAfterSeconds > 0)
        deadline = started + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(options_.stopAfterSeconds));

    std::array<std::uint8_t, 2048> buffer{};
    QString ending = QStringLiteral("stopped");
    while (!stopRequested_) {
        const Clock::time_point now = Clock::now();
        if (deadline && now >= *deadline) {
            ending = QStringLiteral("stopped by itself after %1 s").arg(N(options_.stopAfterSeconds));
            break;
        }
        SendDueReplies(now);
        AdvanceJob(now);

        int wait = MillisecondsToNextReply(now, 50);
        if (deadline) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - now).count() + 1;
            wait = static_cast<int>(std::min<std::int64_t>(wait, left));
        }
        const int length = socket_->Receive(buffer.data(), static_cast<int>(buffer.size()), wait);
        if (length < 0)
            continue;
        if (length > LinkPacket::LastPacketSize) {
            Emit(QStringLiteral("dropped a datagram of %1 bytes from %2: longer than any request")
                     .arg(N(length), Endpoint(socket_->SenderAddress(), socket_->SenderPort())));
            continue;
        }
        HandleDatagram(buffer.data(), length, socket_->SenderAddress(), socket_->SenderPort());
    }

    if (const QString abandoned = sink_->AbandonIncomplete(QStringLiteral("the simulator stopped"));
        !abandoned.isEmpty())
        Emit(abandoned);
    pending_.clear();
    socket_->Close();
    Emit(ending);
    running_ = false;
}

void ControllerSimulator::HandleDatagram(const std::uint8_t* d, int length, const std::string& sender,
                                         int senderPort) {
    const QString from = Endpoint(sender, senderPort);
    if (!HasValidCrc(d, length)) {
        Emit(QStringLiteral("dropped a %1-byte datagram from %2: bad CRC").arg(N(length), from));
        return;
    }
    const RequestDecoding decoding = DecodeRequest(d, length);
    if (!decoding.request) {
        Emit(QStringLiteral("dropped a datagram from %1: %2").arg(from, decoding.problem));
        return;
    }
    const DecodedRequest& request = *decoding.request;
    const auto command = static_cast<std::uint8_t>(request.command);
    if (Happens(options_.requestLoss)) {
        Emit(QStringLiteral("%1 request from %2 lost on its way in (simulated)")
                 .arg(CommandName(command), from));
        return;
    }
    requestCounts_[command].fetch_add(1);
    ++requestsAnswerable_;
    if (silent_)
        return;
    if (options_.silenceAfterRequests >= 0 && requestsAnswerable_ > options_.silenceAfterRequests) {
        if (!silenceReported_) {
            silenceReported_ = true;
            Emit(QStringLiteral("silent after %1 requests: nothing more is answered")
                     .arg(N(options_.silenceAfterRequests)));
        }
        return;
    }

    const std::optional<QByteArray> reply = Answer(request, sender, senderPort);
    if (!reply)
        return;
    const int port = announcedPort_;
    if (port == 0) {
        if (!noPortReported_) {
            noPortReported_ = true;
            Emit(QStringLiteral("%1 request from %2 not answered: no Identify has announced a port yet")
                     .arg(CommandName(command), from));
        }
        return;
    }
    if (Happens(options_.replyLoss)) {
        Emit(QStringLiteral("%1 reply to %2 lost on its way out (simulated)")
                 .arg(CommandName(command), Endpoint(sender, port)));
        return;
    }
    const Clock::time_point due =
        Clock::now() + std::chrono::milliseconds(std::max(0, options_.replyDelayMs));
    pending_.push_back({due, *reply, sender, port});
    if (options_.duplicateReplies)
        pending_.push_back({due, *reply, sender, port});
    SendDueReplies(Clock::now());
}

std::optional<QByteArray> ControllerSimulator::Answer(const DecodedRequest& request,
                                                      const std::string& sender, int senderPort) {
    switch (request.command) {
    case LinkCommand::Identify: {
        if (request.localPort < 1 || request.localPort > 65535) {
            Emit(QStringLiteral("Identify from %1 announces port %2, which is not a UDP port: not answered")
                     .arg(Endpoint(sender, senderPort), N(request.localPort)));
            return std::nullopt;
        }
        const int previous = announcedPort_.exchange(request.localPort);
        if (previous != request.localPort || identifiedAddress_ != sender) {
            identifiedAddress_ = sender;
            Emit(QStringLiteral("Identify from %1: replies go to port %2")
                     .arg(Endpoint(sender, senderPort), N(request.localPort)));
        }
        std::lock_guard lock(mutex_);
        return EncodeIdentifyReply(identity_);
    }
    case LinkCommand::Status: {
        std::lock_guard lock(mutex_);
        return EncodeStatusReply(status_);
    }
    case LinkCommand::SetClock: {
        const ClockReading& c = request.clock;
        {
            std::lock_guard lock(mutex_);
            clock_ = c;
        }
        Emit(QStringLiteral("clock set to %1-%2-%3 %4:%5:%6")
                 .arg(N(c.year), TwoDigits(c.month), TwoDigits(c.day), TwoDigits(c.hour), TwoDigits(c.minute),
                      TwoDigits(c.second)));
        return EncodeAcknowledgement(LinkCommand::SetClock);
    }
    case LinkCommand::ResetJobCount: {
        {
            std::lock_guard lock(mutex_);
            status_.jobCount = 0;
        }
        Emit(QStringLiteral("job counter reset to 0"));
        return EncodeAcknowledgement(LinkCommand::ResetJobCount);
    }
    case LinkCommand::ToolName: {
        QByteArray name;
        if (request.toolNumber >= 1 && request.toolNumber <= MaxToolNumber) {
            std::lock_guard lock(mutex_);
            name = toolNames_[request.toolNumber];
        }
        Emit(QStringLiteral("tool %1: %2").arg(N(request.toolNumber), Quoted(name)));
        return EncodeToolNameReply(request.toolNumber, name);
    }
    case LinkCommand::FileStart: {
        const FileSink::StartOutcome out =
            sink_->Start(request.fileSize, request.folderName, request.fileName);
        NoteFileOutcome(out.events, out.completedPath);
        return EncodeFileStartReply(out.result);
    }
    case LinkCommand::FileData: {
        const FileSink::ChunkOutcome out =
            sink_->Chunk(request.chunkNumber, request.chunkData, request.chunkLength);
        NoteFileOutcome(out.events, out.completedPath);
        switch (out.reply) {
        case FileSink::Reply::Held:
            return EncodeFileDataHeld(out.held);
        case FileSink::Reply::WriteFailed:
            return EncodeFileDataWriteFailed();
        case FileSink::Reply::Cancelled:
            return EncodeFileDataCancelled();
        }
        break;
    }
    }
    return std::nullopt;
}

void ControllerSimulator::SendDueReplies(Clock::time_point now) {
    while (!pending_.empty() && pending_.front().due <= now) {
        const PendingReply& reply = pending_.front();
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(reply.bytes.constData());
        if (socket_->SendTo(bytes, static_cast<int>(reply.bytes.size()), reply.address, reply.port) < 0)
            Emit(QStringLiteral("reply to %1 could not be sent: %2")
                     .arg(Endpoint(reply.address, reply.port),
                          QString::fromStdString(std::generic_category().message(socket_->LastError()))));
        pending_.pop_front();
    }
}

int ControllerSimulator::MillisecondsToNextReply(Clock::time_point now, int atMost) const {
    if (pending_.empty())
        return atMost;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(pending_.front().due - now).count();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, atMost));
}

void ControllerSimulator::AdvanceJob(Clock::time_point now) {
    if (!job_)
        return;
    JobCycle::Event event = JobCycle::Event::None;
    StatusReply status;
    {
        std::lock_guard lock(mutex_);
        event = job_->Advance(now, status_);
        if (event == JobCycle::Event::JobStarted)
            status_.controllerFileName = lastCompletedFile_.isEmpty()
                                             ? DemoJobFileName
                                             : QFile::encodeName(QFileInfo(lastCompletedFile_).fileName());
        status = status_;
    }
    if (event == JobCycle::Event::JobStarted)
        Emit(QStringLiteral("job started: %1, %2 s")
                 .arg(Quoted(status.controllerFileName), N(options_.jobSeconds)));
    else if (event == JobCycle::Event::JobFinished)
        Emit(QStringLiteral("job finished: job count %1, job time %2 s")
                 .arg(N(status.jobCount), N(status.jobTimeSeconds)));
}

bool ControllerSimulator::Happens(double probability) {
    if (probability <= 0)
        return false;
    if (probability >= 1)
        return true;
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < probability;
}

void ControllerSimulator::NoteFileOutcome(const QStringList& events, const QString& completedPath) {
    for (const QString& event : events)
        Emit(event);
    if (!completedPath.isEmpty()) {
        std::lock_guard lock(mutex_);
        lastCompletedFile_ = completedPath;
        ++completedFiles_;
    }
}

void ControllerSimulator::Emit(const QString& line) {
    if (!onEvent)
        return;
    std::lock_guard lock(eventMutex_);
    onEvent(line);
}

void ControllerSimulator::SetAlarm(std::uint8_t code) {
    {
        std::lock_guard lock(mutex_);
        status_.alarmCode = code;
    }
    Emit(code == LinkPacket::NoAlarm ? QStringLiteral("alarm cleared")
                                     : QStringLiteral("alarm %1").arg(N(code)));
}

void ControllerSimulator::SetToolChangeRequest(bool pending) {
    {
        std::lock_guard lock(mutex_);
        status_.toolChangeRequest = pending;
    }
    Emit(pending ? QStringLiteral("tool change requested") : QStringLiteral("tool change done"));
}

void ControllerSimulator::SetMachineState(std::uint8_t state) {
    {
        std::lock_guard lock(mutex_);
        status_.machineState = state;
    }
    Emit(QStringLiteral("machine state %1").arg(N(state)));
}

void ControllerSimulator::SetJobProgress(int percent) {
    std::lock_guard lock(mutex_);
    status_.jobProgress = std::clamp(percent, 0, 255);
}

void ControllerSimulator::SetJobCount(std::int32_t count) {
    std::lock_guard lock(mutex_);
    status_.jobCount = count;
}

void ControllerSimulator::SetJobTimeSeconds(std::int32_t seconds) {
    std::lock_guard lock(mutex_);
    status_.jobTimeSeconds = seconds;
}

void ControllerSimulator::SetControllerFileName(QByteArray name) {
    std::lock_guard lock(mutex_);
    status_.controllerFileName = std::move(name);
}

void ControllerSimulator::SetSilent(bool silent) {
    if (silent_.exchange(silent) != silent)
        Emit(silent ? QStringLiteral("silent: requests are no longer answered")
                    : QStringLiteral("answering again"));
}

void ControllerSimulator::SetIdentity(std::int32_t serial, float coreVersion, QByteArray softwareName) {
    IdentifyReply identity;
    {
        std::lock_guard lock(mutex_);
        identity_.serialNumber = serial;
        identity_.coreVersion = coreVersion;
        identity_.softwareName = std::move(softwareName);
        identity = identity_;
    }
    Emit(QStringLiteral("identity: %1").arg(IdentityText(identity)));
}

void ControllerSimulator::SetToolName(int toolNumber, QByteArray name) {
    if (toolNumber < 1 || toolNumber > MaxToolNumber)
        return;
    std::lock_guard lock(mutex_);
    toolNames_[toolNumber] = std::move(name);
}

int ControllerSimulator::RequestCount(LinkCommand command) const {
    return requestCounts_[static_cast<std::uint8_t>(command)].load();
}

int ControllerSimulator::AnnouncedPort() const {
    return announcedPort_;
}

std::int32_t ControllerSimulator::JobCount() const {
    std::lock_guard lock(mutex_);
    return status_.jobCount;
}

StatusReply ControllerSimulator::Status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

std::optional<ClockReading> ControllerSimulator::LastClock() const {
    std::lock_guard lock(mutex_);
    return clock_;
}

int ControllerSimulator::CompletedFileCount() const {
    return completedFiles_;
}

QString ControllerSimulator::LastCompletedFile() const {
    std::lock_guard lock(mutex_);
    return lastCompletedFile_;
}

} // namespace korva::sim
