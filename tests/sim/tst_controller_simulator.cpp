// The controller simulator on loopback, seen from the program's side of the link.

#include "SimTestClient.h"
#include "sim/ControllerSimulator.h"
#include "sim/FileSink.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace korva;
using namespace korva::sim;
using korva::sim::test::Reply;
using korva::sim::test::ReplyWaitMs;
using korva::sim::test::SilenceWaitMs;
using korva::sim::test::SimTestClient;

namespace {

QByteArray RandomBytes(int size, quint32 start) {
    QRandomGenerator random(start);
    QByteArray data(size, Qt::Uninitialized);
    for (char& c : data)
        c = static_cast<char>(random.bounded(256));
    return data;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

int FilesUnder(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot).size());
}

// How a lock-step send of one file ended.
struct LockStepOutcome {
    int startResult = -1;  // FileStart result byte, -1 when no reply came
    bool complete = false; // every chunk acknowledged
    QByteArray faultReply; // bytes 5-9 of a FileData reply with status 1 or 2
    int sendings = 0;      // FileData datagrams sent, resendings included
};

// The program's transfer in its simplest form: FileStart, then one 1422-byte chunk at a time,
// each sent again every 100 ms (or at once after a reply that does not acknowledge it) until the
// simulator holds it. FileStart itself is also sent again every 100 ms until its reply arrives.
LockStepOutcome SendLockStep(SimTestClient& client, const QByteArray& data, const QByteArray& folder,
                             const QByteArray& name, int giveUpMs = 60000) {
    LockStepOutcome out;
    QElapsedTimer clock;
    clock.start();
    std::optional<Reply> reply;
    while (!reply && clock.elapsed() < giveUpMs) {
        client.Send(
            [&](RequestBuffer& b) { return BuildFileStart(b, data.size(), folder, name).lengthValue; });
        reply = client.ReceiveCommand(LinkCommand::FileStart, 100);
    }
    if (!reply)
        return out;
    out.startResult = reply->packet[LinkPacket::FileStartResult];
    if (out.startResult != LinkPacket::FileStartReady)
        return out;

    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    std::int32_t chunk = 0;
    for (qsizetype offset = 0; offset < data.size(); offset += LinkPacket::ChunkSize, ++chunk) {
        const int count = static_cast<int>(std::min<qsizetype>(LinkPacket::ChunkSize, data.size() - offset));
        for (;;) {
            if (clock.elapsed() > giveUpMs)
                return out;
            client.Send([&](RequestBuffer& b) { return BuildFileData(b, chunk, bytes + offset, count); });
            ++out.sendings;
            reply = client.ReceiveCommand(LinkCommand::FileData, 100);
            if (!reply)
                continue;
            const std::uint8_t status = reply->packet[LinkPacket::FileDataStatus];
            if (status == LinkPacket::FileDataWriteFailed ||
                (status == LinkPacket::FileDataCancelled &&
                 QByteArray(reinterpret_cast<const char*>(reply->Data() + 6), 4) == "USER")) {
                out.faultReply = QByteArray(reinterpret_cast<const char*>(reply->Data() + 5), 5);
                return out;
            }
            if (ReadInt32(reply->Data(), LinkPacket::FileDataHeld) >= chunk + 1)
                break;
        }
    }
    out.complete = true;
    return out;
}

} // namespace

class TestControllerSimulator : public QObject {
    Q_OBJECT

    // One simulator and one client on a test's own address.
    struct Rig {
        std::unique_ptr<ControllerSimulator> sim;
        SimTestClient client;
    };

    // Starts a simulator on `address` (any free port) and a client beside it.
    static bool StartRig(Rig& rig, SimulatorOptions options, const char* address) {
        options.address = address;
        options.port = 0;
        rig.sim = std::make_unique<ControllerSimulator>(std::move(options));
        QString error;
        if (!rig.sim->Start(&error)) {
            qWarning("simulator did not start: %s", qPrintable(error));
            return false;
        }
        if (!rig.client.Open(address))
            return false;
        rig.client.Aim(rig.sim->Port());
        return true;
    }

    // Announces the client's port with Identify and takes the identity reply.
    static std::optional<Reply> Identify(Rig& rig) {
        rig.client.Send([&](RequestBuffer& b) { return BuildIdentify(b, rig.client.Port()); });
        return rig.client.ReceiveCommand(LinkCommand::Identify);
    }

    static std::optional<Reply> AskStatus(Rig& rig, int timeoutMs = ReplyWaitMs) {
        rig.client.Send([](RequestBuffer& b) { return BuildStatus(b); });
        return rig.client.ReceiveCommand(LinkCommand::Status, timeoutMs);
    }

    static void VerifyFraming(const Reply& reply, LinkCommand command, int length) {
        QVERIFY(HasValidCrc(reply.Data(), reply.length));
        QCOMPARE(reply.length, length);
        QCOMPARE(reply.packet[2], LinkPacket::Header0);
        QCOMPARE(reply.packet[3], LinkPacket::Header1);
        QCOMPARE(reply.Command(), static_cast<std::uint8_t>(command));
    }

private Q_SLOTS:
    void identifyReplyCarriesTheConfiguredIdentity_data();
    void identifyReplyCarriesTheConfiguredIdentity();
    void statusReplyReflectsTheMachine();
    void clockAndResetRepliesCarryOnlyTheirCommand();
    void toolNameReplyCarriesNumberAndName_data();
    void toolNameReplyCarriesNumberAndName();
    void defaultToolTableNamesEveryToolWithinItsField();
    void malformedDatagramsAreDroppedUnanswered_data();
    void malformedDatagramsAreDroppedUnanswered();
    void repliesGoToThePortOfTheLatestIdentify();
    void fileArrivesByteIdenticalThroughLockStepSending_data();
    void fileArrivesByteIdenticalThroughLockStepSending();
    void fileStartIsPlacedOrRefused_data();
    void fileStartIsPlacedOrRefused();
    void writeFailureAndCancelAreAnsweredAtTheirChunk_data();
    void writeFailureAndCancelAreAnsweredAtTheirChunk();
    void fallsSilentAfterTheGivenNumberOfRequests();
    void setSilentStopsAndResumesTheReplies();
    void lostRequestsAreNeitherCountedNorAnswered();
    void lostRepliesAreCountedButNeverArrive();
    void duplicatedRepliesArriveTwice();
    void delayedRepliesLeaveNoSoonerThanTheDelay();
    void lossPatternRepeatsWithTheSameSeed();
    void jobModeRunsAJobAndCountsIt();
    void startRefusesAddressesOutsideLoopback_data();
    void startRefusesAddressesOutsideLoopback();
    void startFailsReadablyWhenThePortIsTaken();
    void stopsByItselfAfterTheGivenSeconds();
};

void TestControllerSimulator::identifyReplyCarriesTheConfiguredIdentity_data() {
    QTest::addColumn<int>("serial");
    QTest::addColumn<float>("coreVersion");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("decodedName");

    QTest::newRow("later generation by default")
        << 7000 << 3.1f << QByteArray("Mill 5-Axis") << QByteArray("Mill 5-Axis");
    QTest::newRow("earlier generation") << 1200 << 2.5f << QByteArray("Lathe") << QByteArray("Lathe");
    QTest::newRow("name filling its 29 bytes") << 5001 << 4.0f << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ012")
                                               << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ012");
    QTest::newRow("longer name cut to its field")
        << 5001 << 4.0f << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456")
        << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ012");
    QTest::newRow("empty name") << 9000 << 1.25f << QByteArray() << QByteArray();
}

void TestControllerSimulator::identifyReplyCarriesTheConfiguredIdentity() {
    QFETCH(int, serial);
    QFETCH(float, coreVersion);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, decodedName);

    SimulatorOptions options;
    if (QByteArray(QTest::currentDataTag()) != "later generation by default") {
        options.serialNumber = serial;
        options.coreVersion = coreVersion;
        options.softwareName = name;
    }
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.31"));
    const std::optional<Reply> reply = Identify(rig);
    QVERIFY(reply);
    VerifyFraming(*reply, LinkCommand::Identify, 42);
    const IdentifyReply identity = DecodeIdentify(reply->Data());
    QCOMPARE(identity.serialNumber, serial);
    QCOMPARE(identity.coreVersion, coreVersion);
    QCOMPARE(identity.softwareName, decodedName);
    QCOMPARE(rig.sim->AnnouncedPort(), rig.client.Port());

    // A new identity shows in the next reply.
    rig.sim->SetIdentity(4321, 2.0f, "Router");
    const std::optional<Reply> changed = Identify(rig);
    QVERIFY(changed);
    QCOMPARE(DecodeIdentify(changed->Data()).serialNumber, 4321);
    QCOMPARE(DecodeIdentify(changed->Data()).softwareName, QByteArray("Router"));
}

void TestControllerSimulator::statusReplyReflectsTheMachine() {
    Rig rig;
    QVERIFY(StartRig(rig, {}, "127.0.0.32"));
    QVERIFY(Identify(rig));

    std::optional<Reply> reply = AskStatus(rig);
    QVERIFY(reply);
    VerifyFraming(*reply, LinkCommand::Status, 50);
    StatusReply status = DecodeStatus(reply->Data());
    QVERIFY(status.machineState != LinkPacket::MachineStateMachining);
    QCOMPARE(status.alarmCode, LinkPacket::NoAlarm);
    QCOMPARE(status.toolChangeRequest, false);
    QCOMPARE(status.jobCount, 0);

    const QByteArray fullName(33, 'F'); // fills 17-49 without a zero
    rig.sim->SetAlarm(12);
    rig.sim->SetToolChangeRequest(true);
    rig.sim->SetMachineState(LinkPacket::MachineStateMachining);
    rig.sim->SetJobProgress(55);
    rig.sim->SetJobCount(-3);
    rig.sim->SetJobTimeSeconds(3600);
    rig.sim->SetControllerFileName(fullName + "tail");
    reply = AskStatus(rig);
    QVERIFY(reply);
    status = DecodeStatus(reply->Data());
    QCOMPARE(status.alarmCode, std::uint8_t{12});
    QCOMPARE(reply->packet[LinkPacket::StatusToolChange], std::uint8_t{0});
    QCOMPARE(status.toolChangeRequest, true);
    QCOMPARE(status.machineState, LinkPacket::MachineStateMachining);
    QCOMPARE(status.jobProgress, 55);
    QCOMPARE(status.jobCount, -3);
    QCOMPARE(status.jobTimeSeconds, 3600);
    QCOMPARE(status.controllerFileName, fullName);

    rig.sim->SetToolChangeRequest(false);
    rig.sim->SetAlarm(LinkPacket::NoAlarm);
    reply = AskStatus(rig);
    QVERIFY(reply);
    QVERIFY(reply->packet[LinkPacket::StatusToolChange] != 0);
    QCOMPARE(DecodeStatus(reply->Data()).alarmCode, LinkPacket::NoAlarm);
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Status), 3);
}

void TestControllerSimulator::clockAndResetRepliesCarryOnlyTheirCommand() {
    Rig rig;
    QVERIFY(StartRig(rig, {}, "127.0.0.33"));
    QVERIFY(Identify(rig));

    const ClockReading clock{14, 5, 9, 7, 3, 2024};
    rig.client.Send([&](RequestBuffer& b) { return BuildSetClock(b, clock); });
    std::optional<Reply> reply = rig.client.ReceiveCommand(LinkCommand::SetClock);
    QVERIFY(reply);
    VerifyFraming(*reply, LinkCommand::SetClock, 6);
    const std::optional<ClockReading> stored = rig.sim->LastClock();
    QVERIFY(stored);
    QCOMPARE(stored->hour, 14);
    QCOMPARE(stored->minute, 5);
    QCOMPARE(stored->second, 9);
    QCOMPARE(stored->day, 7);
    QCOMPARE(stored->month, 3);
    QCOMPARE(stored->year, 2024);

    rig.sim->SetJobCount(17);
    rig.client.Send([](RequestBuffer& b) { return BuildResetJobCount(b); });
    reply = rig.client.ReceiveCommand(LinkCommand::ResetJobCount);
    QVERIFY(reply);
    VerifyFraming(*reply, LinkCommand::ResetJobCount, 6);
    QCOMPARE(rig.sim->JobCount(), 0);
    reply = AskStatus(rig);
    QVERIFY(reply);
    QCOMPARE(DecodeStatus(reply->Data()).jobCount, 0);
}

void TestControllerSimulator::toolNameReplyCarriesNumberAndName_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<QByteArray>("configured"); // empty: keep the default table
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("first default tool") << 1 << QByteArray() << QByteArray("T1 10mm Flat Endmill");
    QTest::newRow("last default tool") << 118 << QByteArray() << DefaultToolNames()[118];
    QTest::newRow("name filling its 33 bytes") << 32 << QByteArray(33, 'n') << QByteArray(33, 'n');
    QTest::newRow("longer name cut to its field") << 100 << QByteArray(40, 'x') << QByteArray(33, 'x');
    QTest::newRow("number outside the table") << 0 << QByteArray() << QByteArray();
}

void TestControllerSimulator::toolNameReplyCarriesNumberAndName() {
    QFETCH(int, tool);
    QFETCH(QByteArray, configured);
    QFETCH(QByteArray, expected);

    SimulatorOptions options;
    if (!configured.isEmpty())
        options.toolNames[tool] = configured;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.34"));
    QVERIFY(Identify(rig));
    rig.client.Send([&](RequestBuffer& b) { return BuildToolName(b, tool); });
    const std::optional<Reply> reply = rig.client.ReceiveCommand(LinkCommand::ToolName);
    QVERIFY(reply);
    VerifyFraming(*reply, LinkCommand::ToolName, 42);
    const ToolNameReply decoded = DecodeToolName(reply->Data());
    QCOMPARE(decoded.toolNumber, tool);
    QCOMPARE(decoded.toolName, expected);
}

void TestControllerSimulator::defaultToolTableNamesEveryToolWithinItsField() {
    const ToolNames names = DefaultToolNames();
    QSet<QByteArray> seen;
    for (int n = 1; n <= MaxToolNumber; ++n) {
        QVERIFY2(!names[n].isEmpty() && names[n].size() <= 33, names[n].constData());
        QVERIFY2(names[n].startsWith("T" + QByteArray::number(n) + ' '), names[n].constData());
        seen.insert(names[n]);
    }
    QCOMPARE(seen.size(), MaxToolNumber);
}

void TestControllerSimulator::malformedDatagramsAreDroppedUnanswered_data() {
    QTest::addColumn<QByteArray>("datagram");

    auto valid = [](auto build) {
        RequestBuffer buffer{};
        const int length = FinishRequest(buffer, build(buffer));
        return QByteArray(reinterpret_cast<const char*>(buffer.data()), length);
    };
    auto withCrc = [](QByteArray d) {
        StoreCrc(reinterpret_cast<std::uint8_t*>(d.data()), static_cast<int>(d.size()));
        return d;
    };
    const QByteArray status = valid([](RequestBuffer& b) { return BuildStatus(b); });

    QByteArray flipped = status;
    flipped[0] = static_cast<char>(flipped[0] ^ 0x01);
    QByteArray swapped = status;
    std::swap(swapped[0], swapped[1]);
    QByteArray damaged = status;
    damaged[7] = 1;
    QByteArray header = status;
    header[2] = 4;
    QByteArray unknown = status;
    unknown[4] = 7;
    QByteArray oversizedChunk = valid([](RequestBuffer& b) {
        const std::uint8_t data[4] = {1, 2, 3, 4};
        return BuildFileData(b, 0, data, 4);
    });
    WriteInt32(reinterpret_cast<std::uint8_t*>(oversizedChunk.data()), 9, LinkPacket::ChunkSize + 1);

    QTest::newRow("CRC bit flipped") << flipped;
    QTest::newRow("CRC bytes swapped") << swapped;
    QTest::newRow("payload damaged after the CRC") << damaged;
    QTest::newRow("single byte") << QByteArray(1, '\0');
    QTest::newRow("header not 3 0") << withCrc(header);
    QTest::newRow("length not 2 plus a multiple of 4") << withCrc(status.left(9));
    QTest::newRow("unknown command") << withCrc(unknown);
    QTest::newRow("chunk announcing 1423 bytes") << withCrc(oversizedChunk);
}

void TestControllerSimulator::malformedDatagramsAreDroppedUnanswered() {
    QFETCH(QByteArray, datagram);
    Rig rig;
    QVERIFY(StartRig(rig, {}, "127.0.0.35"));
    QVERIFY(Identify(rig));

    rig.client.SendRaw(reinterpret_cast<const std::uint8_t*>(datagram.constData()),
                       static_cast<int>(datagram.size()));
    QVERIFY(!rig.client.Receive(SilenceWaitMs));
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Status), 0);
    QCOMPARE(rig.sim->RequestCount(LinkCommand::FileData), 0);
    // The simulator goes on answering.
    QVERIFY(AskStatus(rig));
}

void TestControllerSimulator::repliesGoToThePortOfTheLatestIdentify() {
    const char* address = "127.0.0.36";
    Rig rig;
    QVERIFY(StartRig(rig, {}, address));
    SimTestClient other;
    QVERIFY(other.Open(address));
    other.Aim(rig.sim->Port());

    // Before any Identify nothing is answered, though the request is counted.
    rig.client.Send([](RequestBuffer& b) { return BuildStatus(b); });
    QVERIFY(!rig.client.Receive(SilenceWaitMs));
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Status), 1);
    QCOMPARE(rig.sim->AnnouncedPort(), 0);

    // The client announces the other socket's port: every reply goes there, whoever sent the request.
    rig.client.Send([&](RequestBuffer& b) { return BuildIdentify(b, other.Port()); });
    QVERIFY(other.ReceiveCommand(LinkCommand::Identify));
    rig.client.Send([](RequestBuffer& b) { return BuildStatus(b); });
    QVERIFY(other.ReceiveCommand(LinkCommand::Status));
    QVERIFY(!rig.client.Receive(SilenceWaitMs));
    QCOMPARE(rig.sim->AnnouncedPort(), other.Port());

    // A later Identify moves the replies back.
    QVERIFY(Identify(rig));
    QVERIFY(AskStatus(rig));
    QVERIFY(!other.Receive(SilenceWaitMs));
}

void TestControllerSimulator::fileArrivesByteIdenticalThroughLockStepSending_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("requestLoss");
    QTest::addColumn<double>("replyLoss");
    QTest::addColumn<bool>("duplicates");
    QTest::addColumn<int>("delayMs");

    QTest::newRow("empty file") << 0 << 0.0 << 0.0 << false << 0;
    QTest::newRow("one full chunk") << 1422 << 0.0 << 0.0 << false << 0;
    QTest::newRow("full chunk and one byte") << 1423 << 0.0 << 0.0 << false << 0;
    QTest::newRow("plain") << 300 * 1024 + 77 << 0.0 << 0.0 << false << 0;
    QTest::newRow("20 % of requests and replies lost") << 60000 << 0.2 << 0.2 << false << 0;
    QTest::newRow("duplicated replies") << 60000 << 0.0 << 0.0 << true << 0;
    QTest::newRow("loss and duplicates together") << 40000 << 0.2 << 0.2 << true << 0;
    QTest::newRow("replies later than the resend time") << 15000 << 0.0 << 0.0 << false << 150;
}

void TestControllerSimulator::fileArrivesByteIdenticalThroughLockStepSending() {
    QFETCH(int, size);
    QFETCH(double, requestLoss);
    QFETCH(double, replyLoss);
    QFETCH(bool, duplicates);
    QFETCH(int, delayMs);

    QTemporaryDir usb;
    QVERIFY(usb.isValid());
    SimulatorOptions options;
    options.usbFolder = usb.path();
    options.requestLoss = requestLoss;
    options.replyLoss = replyLoss;
    options.duplicateReplies = duplicates;
    options.replyDelayMs = delayMs;
    options.seed = 20240307;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.37"));
    std::optional<Reply> identity;
    for (int i = 0; i < 50 && !identity; ++i) {
        rig.client.Send([&](RequestBuffer& b) { return BuildIdentify(b, rig.client.Port()); });
        identity = rig.client.ReceiveCommand(LinkCommand::Identify, 300);
    }
    QVERIFY(identity);

    const QByteArray data = RandomBytes(size, static_cast<quint32>(size));
    const LockStepOutcome out = SendLockStep(rig.client, data, "\\", "PART 7.nc");
    QCOMPARE(out.startResult, 0);
    QVERIFY(out.complete);
    const QString path = QDir(usb.path()).filePath(QStringLiteral("PART 7.nc"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.sim->CompletedFileCount(), 1, ReplyWaitMs);
    QCOMPARE(rig.sim->LastCompletedFile(), path);
    QVERIFY(ReadFile(path) == data);
    if (requestLoss > 0 || replyLoss > 0)
        QVERIFY(out.sendings > ChunkCount(size)); // the loss was real
}

void TestControllerSimulator::fileStartIsPlacedOrRefused_data() {
    QTest::addColumn<bool>("usbDrive");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("expectedResult"); // -1: refused with a value other than 0 and 233
    QTest::addColumn<QString>("placedAt");   // relative to the USB folder

    QTest::newRow("no USB drive") << false << QByteArray("\\") << QByteArray("a.nc") << 233 << QString();
    QTest::newRow("backslash is the root")
        << true << QByteArray("\\") << QByteArray("a.nc") << 0 << QStringLiteral("a.nc");
    QTest::newRow("empty folder is the root")
        << true << QByteArray() << QByteArray("b.nc") << 0 << QStringLiteral("b.nc");
    QTest::newRow("mapped folder") << true << QByteArray("Jobs") << QByteArray("c.nc") << 0
                                   << QStringLiteral("Jobs/c.nc");
    QTest::newRow("folder leading out") << true << QByteArray("..") << QByteArray("d.nc") << -1 << QString();
    QTest::newRow("absolute folder") << true << QByteArray("/tmp") << QByteArray("e.nc") << -1 << QString();
    QTest::newRow("file name with a separator")
        << true << QByteArray("\\") << QByteArray("../f.nc") << -1 << QString();
}

void TestControllerSimulator::fileStartIsPlacedOrRefused() {
    QFETCH(bool, usbDrive);
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, name);
    QFETCH(int, expectedResult);
    QFETCH(QString, placedAt);

    QTemporaryDir box; // the USB folder is a sub-folder, so nothing may appear beside it
    QVERIFY(box.isValid());
    const QString usbFolder = QDir(box.path()).filePath(QStringLiteral("usb"));
    SimulatorOptions options;
    options.usbFolder = usbDrive ? usbFolder : QString();
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.38"));
    QVERIFY(Identify(rig));

    const QByteArray data = RandomBytes(3000, 38);
    const LockStepOutcome out = SendLockStep(rig.client, data, folder, name, 10000);
    if (expectedResult >= 0) {
        QCOMPARE(out.startResult, expectedResult);
    } else {
        QVERIFY(out.startResult != -1);
        QVERIFY(out.startResult != LinkPacket::FileStartReady);
        QVERIFY(out.startResult != LinkPacket::FileStartNoUsbDrive);
    }
    if (!placedAt.isEmpty()) {
        QVERIFY(out.complete);
        QVERIFY(ReadFile(QDir(usbFolder).filePath(placedAt)) == data);
    } else {
        QCOMPARE(rig.sim->CompletedFileCount(), 0);
        QCOMPARE(FilesUnder(box.path()), 0);
        if (usbDrive)
            QCOMPARE(FilesUnder(usbFolder), 0);
    }
}

void TestControllerSimulator::writeFailureAndCancelAreAnsweredAtTheirChunk_data() {
    QTest::addColumn<int>("writeFailAt");
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<QByteArray>("expected"); // reply bytes 5-9 at the faulty chunk

    QTest::newRow("write failure at chunk 2") << 2 << -1 << QByteArray("\x01\0\0\0\0", 5);
    QTest::newRow("cancel at chunk 1") << -1 << 1 << QByteArray("\x02USER");
    QTest::newRow("cancel at the first chunk") << -1 << 0 << QByteArray("\x02USER");
}

void TestControllerSimulator::writeFailureAndCancelAreAnsweredAtTheirChunk() {
    QFETCH(int, writeFailAt);
    QFETCH(int, cancelAt);
    QFETCH(QByteArray, expected);

    QTemporaryDir usb;
    QVERIFY(usb.isValid());
    SimulatorOptions options;
    options.usbFolder = usb.path();
    options.writeFailAtChunk = writeFailAt;
    options.cancelAtChunk = cancelAt;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.39"));
    QVERIFY(Identify(rig));

    const QByteArray data = RandomBytes(5 * LinkPacket::ChunkSize, 39);
    const LockStepOutcome out = SendLockStep(rig.client, data, "\\", "fault.nc", 10000);
    QCOMPARE(out.startResult, 0);
    QVERIFY(!out.complete);
    QCOMPARE(out.faultReply, expected);

    // Sent again, the faulty chunk gets the same answer; the partial file is gone.
    const int faultAt = std::max(writeFailAt, cancelAt);
    const auto* bytes =
        reinterpret_cast<const std::uint8_t*>(data.constData()) + faultAt * LinkPacket::ChunkSize;
    rig.client.Send(
        [&](RequestBuffer& b) { return BuildFileData(b, faultAt, bytes, LinkPacket::ChunkSize); });
    const std::optional<Reply> again = rig.client.ReceiveCommand(LinkCommand::FileData);
    QVERIFY(again);
    VerifyFraming(*again, LinkCommand::FileData, 10);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(again->Data() + 5), 5), expected);
    QCOMPARE(FilesUnder(usb.path()), 0);
    QCOMPARE(rig.sim->CompletedFileCount(), 0);
}

void TestControllerSimulator::fallsSilentAfterTheGivenNumberOfRequests() {
    SimulatorOptions options;
    options.silenceAfterRequests = 3;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.40"));
    QVERIFY(Identify(rig));  // 1
    QVERIFY(AskStatus(rig)); // 2
    QVERIFY(AskStatus(rig)); // 3
    QVERIFY(!AskStatus(rig, SilenceWaitMs));
    rig.client.Send([&](RequestBuffer& b) { return BuildIdentify(b, rig.client.Port()); });
    QVERIFY(!rig.client.Receive(SilenceWaitMs));
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Status), 3);
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Identify), 2);
}

void TestControllerSimulator::setSilentStopsAndResumesTheReplies() {
    Rig rig;
    QVERIFY(StartRig(rig, {}, "127.0.0.41"));
    QVERIFY(Identify(rig));
    rig.sim->SetSilent(true);
    QVERIFY(!AskStatus(rig, SilenceWaitMs));
    rig.sim->SetSilent(false);
    QVERIFY(AskStatus(rig));
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Status), 2);
}

void TestControllerSimulator::lostRequestsAreNeitherCountedNorAnswered() {
    SimulatorOptions options;
    options.requestLoss = 1.0;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.42"));
    rig.client.Send([&](RequestBuffer& b) { return BuildIdentify(b, rig.client.Port()); });
    QVERIFY(!rig.client.Receive(SilenceWaitMs));
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Identify), 0);
    QCOMPARE(rig.sim->AnnouncedPort(), 0);
}

void TestControllerSimulator::lostRepliesAreCountedButNeverArrive() {
    SimulatorOptions options;
    options.replyLoss = 1.0;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.43"));
    rig.client.Send([&](RequestBuffer& b) { return BuildIdentify(b, rig.client.Port()); });
    QVERIFY(!rig.client.Receive(SilenceWaitMs));
    QVERIFY(!AskStatus(rig, SilenceWaitMs));
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Identify), 1);
    QCOMPARE(rig.sim->RequestCount(LinkCommand::Status), 1);
    QCOMPARE(rig.sim->AnnouncedPort(), rig.client.Port());
}

void TestControllerSimulator::duplicatedRepliesArriveTwice() {
    SimulatorOptions options;
    options.duplicateReplies = true;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.44"));
    QVERIFY(Identify(rig));
    QVERIFY(rig.client.ReceiveCommand(LinkCommand::Identify));
    const std::optional<Reply> first = AskStatus(rig);
    const std::optional<Reply> second = rig.client.Receive();
    QVERIFY(first && second);
    QCOMPARE(second->length, first->length);
    QVERIFY(std::equal(first->packet.begin(), first->packet.begin() + first->length, second->packet.begin()));
    QVERIFY(!rig.client.Receive(SilenceWaitMs));
}

void TestControllerSimulator::delayedRepliesLeaveNoSoonerThanTheDelay() {
    SimulatorOptions options;
    options.replyDelayMs = 400;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.45"));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(Identify(rig));
    QVERIFY(clock.elapsed() >= 390);
    // Requests keep arriving while replies wait: both come back, in order.
    rig.client.Send([](RequestBuffer& b) { return BuildStatus(b); });
    rig.client.Send([](RequestBuffer& b) { return BuildToolName(b, 5); });
    const std::optional<Reply> status = rig.client.Receive();
    const std::optional<Reply> tool = rig.client.Receive();
    QVERIFY(status && tool);
    QCOMPARE(status->Command(), static_cast<std::uint8_t>(LinkCommand::Status));
    QCOMPARE(tool->Command(), static_cast<std::uint8_t>(LinkCommand::ToolName));
}

void TestControllerSimulator::lossPatternRepeatsWithTheSameSeed() {
    auto pattern = [](std::uint32_t seed) {
        SimulatorOptions options;
        options.requestLoss = 0.5;
        options.seed = seed;
        Rig rig;
        if (!StartRig(rig, options, "127.0.0.46"))
            return QByteArray();
        std::optional<Reply> identity;
        for (int i = 0; i < 40 && !identity; ++i) {
            rig.client.Send([&](RequestBuffer& b) { return BuildIdentify(b, rig.client.Port()); });
            identity = rig.client.ReceiveCommand(LinkCommand::Identify, 200);
        }
        QByteArray answered;
        for (int i = 0; i < 30; ++i)
            answered += AskStatus(rig, 150) ? '1' : '0';
        return answered;
    };
    const QByteArray first = pattern(99);
    QCOMPARE(first.size(), 30);
    QCOMPARE(pattern(99), first);
    QVERIFY2(first.count('1') >= 5 && first.count('0') >= 5, first.constData());
}

void TestControllerSimulator::jobModeRunsAJobAndCountsIt() {
    SimulatorOptions options;
    options.runJob = true;
    options.jobSeconds = 2;
    options.jobPauseSeconds = 60;
    Rig rig;
    QVERIFY(StartRig(rig, options, "127.0.0.47"));
    QVERIFY(Identify(rig));

    bool sawMachining = false;
    bool sawProgressBetween = false;
    std::optional<StatusReply> finished;
    QElapsedTimer clock;
    clock.start();
    while (!finished && clock.elapsed() < 20000) {
        const std::optional<Reply> reply = AskStatus(rig);
        QVERIFY(reply);
        const StatusReply status = DecodeStatus(reply->Data());
        QVERIFY(status.jobProgress >= 0 && status.jobProgress <= 100);
        if (status.machineState == LinkPacket::MachineStateMachining) {
            sawMachining = true;
            QCOMPARE(status.jobCount, 0);
            QVERIFY(!status.controllerFileName.isEmpty());
            sawProgressBetween = sawProgressBetween || (status.jobProgress > 0 && status.jobProgress < 100);
        } else if (sawMachining) {
            finished = status;
        }
        QTest::qWait(50);
    }
    QVERIFY(sawMachining);
    QVERIFY(sawProgressBetween);
    QVERIFY(finished);
    QCOMPARE(finished->jobCount, 1);
    QCOMPARE(finished->jobProgress, 100);
    QCOMPARE(finished->jobTimeSeconds, 2);
    QCOMPARE(rig.sim->JobCount(), 1);
}

void TestControllerSimulator::startRefusesAddressesOutsideLoopback_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("controller access point") << QStringLiteral("192.168.4.1");
    QTest::newRow("every address") << QStringLiteral("0.0.0.0");
    QTest::newRow("name instead of an address") << QStringLiteral("localhost");
    QTest::newRow("one octet past loopback") << QStringLiteral("128.0.0.1");
}

void TestControllerSimulator::startRefusesAddressesOutsideLoopback() {
    QFETCH(QString, address);
    SimulatorOptions options;
    options.address = address.toStdString();
    ControllerSimulator sim(options);
    QString error;
    QVERIFY(!sim.Start(&error));
    QVERIFY2(error.contains(address) && error.contains(QStringLiteral("loopback")), qPrintable(error));
    QVERIFY(!sim.IsRunning());
}

void TestControllerSimulator::startFailsReadablyWhenThePortIsTaken() {
    UdpSocket holder;
    QVERIFY(holder.Bind("127.0.0.48", "0"));
    SimulatorOptions options;
    options.address = "127.0.0.48";
    options.port = holder.LocalPort();
    ControllerSimulator sim(options);
    QString error;
    QVERIFY(!sim.Start(&error));
    QVERIFY2(error.contains(QStringLiteral("127.0.0.48:%1").arg(holder.LocalPort())), qPrintable(error));
    QVERIFY(!sim.IsRunning());

    // Once the port is free the same simulator starts.
    holder.Close();
    QVERIFY2(sim.Start(&error), qPrintable(error));
    QVERIFY(sim.IsRunning());
    QCOMPARE(sim.Port(), options.port);
}

void TestControllerSimulator::stopsByItselfAfterTheGivenSeconds() {
    SimulatorOptions options;
    options.address = "127.0.0.49";
    options.port = 0;
    options.stopAfterSeconds = 0.3;
    QMutex lock;
    QStringList events; // outlives the simulator that writes it
    ControllerSimulator sim(options);
    sim.onEvent = [&](const QString& line) {
        QMutexLocker locker(&lock);
        events << line;
    };
    QVERIFY(sim.Start());
    QTRY_VERIFY_WITH_TIMEOUT(!sim.IsRunning(), 10000);
    QMutexLocker locker(&lock);
    QVERIFY(!events.isEmpty());
    QVERIFY2(events.constFirst().contains(QStringLiteral("127.0.0.49")), qPrintable(events.constFirst()));
    QVERIFY2(events.constLast().contains(QStringLiteral("stopped by itself")),
             qPrintable(events.constLast()));

    // The port is free again: a second simulator binds it.
    SimulatorOptions again = options;
    again.port = sim.Port();
    again.stopAfterSeconds = 0;
    ControllerSimulator second(again);
    QString error;
    QVERIFY2(second.Start(&error), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestControllerSimulator)
#include "tst_controller_simulator.moc"
