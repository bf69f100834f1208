// The send path: requests built in the shared buffer and sent through TxSocket under the send lock.
#include "link/RequestSender.h"

#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace korva;

namespace {

// This file's own loopback address; other test programs use other ones.
const std::string ControllerAddress = "127.0.0.25";

struct FakeController {
    UdpSocket socket;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(LinkPacket::LastPacketSize);

    bool Bind() { return socket.Bind(ControllerAddress, "0") && socket.LocalPort() > 0; }
    int Port() const { return socket.LocalPort(); }
    // The next datagram, or an empty one after waiting timeoutMs.
    QByteArray Next(int timeoutMs = 5000) {
        const int got = socket.Receive(buffer.data(), int(buffer.size()), timeoutMs);
        if (got < 0)
            return {};
        return QByteArray(reinterpret_cast<const char*>(buffer.data()), std::min(got, int(buffer.size())));
    }
};

const std::uint8_t* Data(const QByteArray& d) {
    return reinterpret_cast<const std::uint8_t*>(d.constData());
}

} // namespace

class RequestSenderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sentDatagramIsTheCompletedRequest_data();
    void sentDatagramIsTheCompletedRequest();
    void nothingLeavesWithoutTxSocket();
    void reopenedTxSocketAimsAtNewDestination();
    void unusableLengthValueSendsNothing_data();
    void unusableLengthValueSendsNothing();
    void requestsFromSeveralThreadsNeverMix();
};

void RequestSenderTest::sentDatagramIsTheCompletedRequest_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("datagram");
    QTest::newRow("Status") << 1 << QByteArray::fromHex("d58d0300010000000000");
    QTest::newRow("ResetJobCount") << 5 << QByteArray::fromHex("296403000500");
}

void RequestSenderTest::sentDatagramIsTheCompletedRequest() {
    QFETCH(int, command);
    QFETCH(QByteArray, datagram);
    FakeController controller;
    QVERIFY(controller.Bind());
    RequestSender sender;
    sender.OpenTxSocket(ControllerAddress, controller.Port());
    QVERIFY(sender.HasTxSocket());
    const int sent =
        sender.Send([&](RequestBuffer& b) { return command == 1 ? BuildStatus(b) : BuildResetJobCount(b); });
    QCOMPARE(sent, int(datagram.size()));
    QCOMPARE(controller.Next().toHex(' '), datagram.toHex(' '));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(sender.SnapshotBuffer().data()), sent), datagram);
}

void RequestSenderTest::nothingLeavesWithoutTxSocket() {
    FakeController controller;
    QVERIFY(controller.Bind());
    RequestSender sender;
    QVERIFY(!sender.HasTxSocket());
    QCOMPARE(sender.Send([](RequestBuffer& b) { return BuildStatus(b); }), 0);

    sender.OpenTxSocket(ControllerAddress, controller.Port());
    sender.CloseTxSocket();
    QVERIFY(!sender.HasTxSocket());
    QCOMPARE(sender.Send([](RequestBuffer& b) { return BuildStatus(b); }), 0);
    QVERIFY(controller.Next(300).isEmpty());
}

void RequestSenderTest::reopenedTxSocketAimsAtNewDestination() {
    FakeController first;
    FakeController second;
    QVERIFY(first.Bind());
    QVERIFY(second.Bind());
    RequestSender sender;
    sender.OpenTxSocket(ControllerAddress, first.Port());
    QCOMPARE(sender.Send([](RequestBuffer& b) { return BuildToolName(b, 1); }), 10);
    sender.OpenTxSocket(ControllerAddress, second.Port());
    QCOMPARE(sender.Send([](RequestBuffer& b) { return BuildToolName(b, 2); }), 10);
    QCOMPARE(int(first.Next().at(5)), 1);
    QCOMPARE(int(second.Next().at(5)), 2);
    QVERIFY(first.Next(300).isEmpty());
}

void RequestSenderTest::unusableLengthValueSendsNothing_data() {
    QTest::addColumn<int>("lengthValue");
    QTest::newRow("refused build") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("beyond the buffer") << 1497;
    QTest::newRow("far beyond the buffer") << 100000;
}

void RequestSenderTest::unusableLengthValueSendsNothing() {
    QFETCH(int, lengthValue);
    FakeController controller;
    QVERIFY(controller.Bind());
    // On the heap, so that a CRC or send past the buffer's end is caught by AddressSanitizer.
    auto sender = std::make_unique<RequestSender>();
    sender->OpenTxSocket(ControllerAddress, controller.Port());
    const RequestBuffer before = sender->SnapshotBuffer();
    QCOMPARE(sender->Send([&](RequestBuffer& b) {
        b[4] = 99;
        return lengthValue;
    }),
             0);
    RequestBuffer expected = before;
    expected[4] = 99;
    QVERIFY(sender->SnapshotBuffer() == expected);
    QVERIFY(controller.Next(300).isEmpty());
}

// Four threads send different requests as fast as they can; every datagram that arrives must be one
// whole request with a valid CRC. Without the send lock the requests would mix in the shared buffer.
void RequestSenderTest::requestsFromSeveralThreadsNeverMix() {
    constexpr int Threads = 4;
    constexpr int PerThread = 500;
    constexpr int Window = 16; // requests in flight, well inside the receive buffer
    FakeController controller;
    QVERIFY(controller.Bind());
    RequestSender sender;
    sender.OpenTxSocket(ControllerAddress, controller.Port());

    std::atomic<int> issued{0};
    std::atomic<int> received{0};
    std::atomic<bool> stop{false};
    std::atomic<int> failedSends{0};
    const auto sendAll = [&](int kind) {
        std::vector<std::uint8_t> chunk(LinkPacket::ChunkSize, static_cast<std::uint8_t>(0xA0 + kind));
        for (int seq = 0; seq < PerThread && !stop; ++seq) {
            while (issued.load() - received.load() >= Window && !stop)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            issued.fetch_add(1);
            const int sent = sender.Send([&](RequestBuffer& b) {
                switch (kind) {
                case 0:
                    return BuildStatus(b);
                case 1:
                    return BuildIdentify(b, 11000 + seq);
                case 2:
                    return BuildFileData(b, seq, chunk.data(), seq % 2 ? LinkPacket::ChunkSize : 1 + seq);
                default:
                    return BuildFileStart(b, seq, "jobs", "part-" + QByteArray::number(seq) + ".nc")
                        .lengthValue;
                }
            });
            if (sent == 0)
                failedSends.fetch_add(1);
        }
    };
    std::vector<std::thread> threads;
    for (int kind = 0; kind < Threads; ++kind)
        threads.emplace_back(sendAll, kind);

    int whole = 0;
    QStringList faults;
    while (whole + faults.size() < Threads * PerThread) {
        const QByteArray d = controller.Next();
        if (d.isEmpty())
            break;
        received.fetch_add(1);
        const auto* p = Data(d);
        const int size = int(d.size());
        bool ok = HasValidCrc(p, size) && size >= 6 && (size - 2) % 4 == 0 && p[2] == 3 && p[3] == 0;
        if (ok) {
            switch (p[4]) {
            case 1:
                ok = size == 10;
                break;
            case 2:
                ok = size == 10 && ReadInt32(p, 5) >= 11000 && ReadInt32(p, 5) < 11000 + PerThread;
                break;
            case 11: {
                const int seq = ReadInt32(p, 5);
                const int count = ReadInt32(p, 9);
                ok = count == (seq % 2 ? LinkPacket::ChunkSize : 1 + seq) &&
                     size == DatagramLength(count + 13) && d.mid(13, count) == QByteArray(count, char(0xA2));
                break;
            }
            case 10: {
                const QByteArray file = "part-" + QByteArray::number(ReadInt32(p, 5)) + ".nc";
                ok = p[11] == 4 && d.mid(12, 5) == QByteArray("jobs\0", 5) &&
                     d.mid(17, file.size()) == file && p[17 + file.size()] == 0 &&
                     size == DatagramLength(int(file.size()) + 4 + 15);
                break;
            }
            default:
                ok = false;
            }
        }
        if (ok)
            ++whole;
        else
            faults << QString::fromLatin1(d.left(24).toHex(' '));
    }
    stop = true;
    for (auto& t : threads)
        t.join();
    QCOMPARE(failedSends.load(), 0);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 5).join(QLatin1Char('\n'))));
    QCOMPARE(whole, Threads * PerThread);
}

QTEST_GUILESS_MAIN(RequestSenderTest)
#include "tst_request_sender.moc"
