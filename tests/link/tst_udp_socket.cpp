// The POSIX UDP socket on loopback: exclusive binding, receive time-out, sender address,
// oversize datagrams and sending from several threads at once.
#include "link/UdpSocket.h"

#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace korva;

namespace {

// This file's own loopback addresses; other test programs use other ones.
const std::string ReceiverAddress = "127.0.0.21";
const std::string SenderAddressText = "127.0.0.22";

// Binds a socket on the receiver address at a port the system picks.
bool BindReceiver(UdpSocket& socket) {
    return socket.Bind(ReceiverAddress, "0") && socket.LocalPort() > 0;
}

// Content of datagram `seq` of sender `sender`: a header naming it, then bytes derived from both.
std::vector<std::uint8_t> MakeDatagram(int sender, int seq) {
    const int length = 8 + (seq * 37 + sender * 101) % 1430;
    std::vector<std::uint8_t> d(static_cast<size_t>(length));
    d[0] = static_cast<std::uint8_t>(sender);
    d[1] = static_cast<std::uint8_t>(seq & 0xFF);
    d[2] = static_cast<std::uint8_t>(seq >> 8);
    d[3] = static_cast<std::uint8_t>(length & 0xFF);
    d[4] = static_cast<std::uint8_t>(length >> 8);
    for (int i = 5; i < length; ++i)
        d[size_t(i)] = static_cast<std::uint8_t>(sender * 59 + seq * 13 + i);
    return d;
}

} // namespace

class UdpSocketTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bindToPortHeldElsewhereFails_data();
    void bindToPortHeldElsewhereFails();
    void malformedAddressOrPortIsRefused_data();
    void malformedAddressOrPortIsRefused();
    void receiveTimesOutWithinBound();
    void receiveWithoutSocketFailsAtOnce();
    void receiveGivesDataAndSenderAddress();
    void oversizeDatagramIsReportedLargerThanCapacity_data();
    void oversizeDatagramIsReportedLargerThanCapacity();
    void sendNeedsDestination();
    void sendsFromSeveralThreadsArriveWhole_data();
    void sendsFromSeveralThreadsArriveWhole();
};

void UdpSocketTest::bindToPortHeldElsewhereFails_data() {
    QTest::addColumn<QString>("secondAddress");
    QTest::newRow("same address") << QString::fromStdString(ReceiverAddress);
    QTest::newRow("all local addresses") << QStringLiteral("0.0.0.0");
}

void UdpSocketTest::bindToPortHeldElsewhereFails() {
    QFETCH(QString, secondAddress);
    UdpSocket first;
    QVERIFY(BindReceiver(first));
    QCOMPARE(first.LastError(), 0);
    const std::string port = std::to_string(first.LocalPort());

    UdpSocket second;
    QVERIFY(!second.Bind(secondAddress.toStdString(), port));
    QVERIFY(second.LastError() != 0);

    // Once the holder lets go, the port binds.
    first.Close();
    UdpSocket third;
    QVERIFY(third.Bind(ReceiverAddress, port));
    QCOMPARE(third.LastError(), 0);
}

void UdpSocketTest::malformedAddressOrPortIsRefused_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::newRow("three parts") << "127.0.0"
                                 << "0";
    QTest::newRow("part above 255") << "127.0.0.256"
                                    << "0";
    QTest::newRow("host name") << "localhost"
                               << "0";
    QTest::newRow("empty address") << ""
                                   << "0";
    QTest::newRow("port above 65535") << "127.0.0.21"
                                      << "65536";
    QTest::newRow("negative port") << "127.0.0.21"
                                   << "-1";
    QTest::newRow("port with text") << "127.0.0.21"
                                    << "11000x";
    QTest::newRow("empty port") << "127.0.0.21"
                                << "";
}

void UdpSocketTest::malformedAddressOrPortIsRefused() {
    QFETCH(QString, address);
    QFETCH(QString, port);
    UdpSocket socket;
    QVERIFY(!socket.Bind(address.toStdString(), port.toStdString()));
    QVERIFY(socket.LastError() != 0);
    QVERIFY(!socket.SetDestination(address.toStdString(), port.toStdString()));
    QVERIFY(socket.LastError() != 0);
}

void UdpSocketTest::receiveTimesOutWithinBound() {
    UdpSocket socket;
    QVERIFY(BindReceiver(socket));
    std::uint8_t buffer[64];
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(socket.Receive(buffer, sizeof buffer, 300), -1);
    const qint64 elapsed = timer.elapsed();
    QVERIFY(socket.LastError() != 0);
    QVERIFY2(elapsed >= 250 && elapsed < 5000, qPrintable(QString::number(elapsed)));
}

void UdpSocketTest::receiveWithoutSocketFailsAtOnce() {
    UdpSocket socket;
    std::uint8_t buffer[64];
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(socket.Receive(buffer, sizeof buffer, 3000), -1);
    QVERIFY(socket.LastError() != 0);
    QVERIFY(timer.elapsed() < 2000);
}

void UdpSocketTest::receiveGivesDataAndSenderAddress() {
    UdpSocket receiver;
    QVERIFY(BindReceiver(receiver));
    UdpSocket sender;
    QVERIFY(sender.Bind(SenderAddressText, "0"));
    QVERIFY(sender.SetDestination(ReceiverAddress, std::to_string(receiver.LocalPort())));
    const std::vector<std::uint8_t> sent = MakeDatagram(3, 77);
    QCOMPARE(sender.Send(sent.data(), int(sent.size())), int(sent.size()));
    QCOMPARE(sender.LastError(), 0);

    std::vector<std::uint8_t> buffer(1502);
    const int got = receiver.Receive(buffer.data(), int(buffer.size()), 5000);
    QCOMPARE(got, int(sent.size()));
    QCOMPARE(receiver.LastError(), 0);
    QVERIFY(std::equal(sent.begin(), sent.end(), buffer.begin()));
    QCOMPARE(receiver.SenderAddress(), SenderAddressText);
    QCOMPARE(receiver.SenderPort(), sender.LocalPort());
}

void UdpSocketTest::oversizeDatagramIsReportedLargerThanCapacity_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("one byte short of capacity") << 1501;
    QTest::newRow("exactly capacity") << 1502;
    QTest::newRow("one byte over") << 1503;
    QTest::newRow("far over") << 9000;
}

void UdpSocketTest::oversizeDatagramIsReportedLargerThanCapacity() {
    QFETCH(int, size);
    constexpr int capacity = 1502;
    UdpSocket receiver;
    QVERIFY(BindReceiver(receiver));
    UdpSocket sender;
    std::vector<std::uint8_t> big(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i)
        big[size_t(i)] = static_cast<std::uint8_t>(i * 3);
    const std::vector<std::uint8_t> small = MakeDatagram(1, 1);
    QCOMPARE(sender.SendTo(big.data(), size, ReceiverAddress, receiver.LocalPort()), size);
    QCOMPARE(sender.SendTo(small.data(), int(small.size()), ReceiverAddress, receiver.LocalPort()),
             int(small.size()));

    // Heap buffer of exactly the capacity: a write past it is caught by AddressSanitizer.
    std::vector<std::uint8_t> buffer(capacity);
    const int got = receiver.Receive(buffer.data(), capacity, 5000);
    if (size <= capacity)
        QCOMPARE(got, size);
    else
        QVERIFY2(got > capacity, qPrintable(QString::number(got)));
    QVERIFY(std::equal(buffer.begin(), buffer.begin() + std::min(size, capacity), big.begin()));

    // The rest of an oversize datagram is gone; the next datagram arrives whole.
    const int next = receiver.Receive(buffer.data(), capacity, 5000);
    QCOMPARE(next, int(small.size()));
    QVERIFY(std::equal(small.begin(), small.end(), buffer.begin()));
}

void UdpSocketTest::sendNeedsDestination() {
    UdpSocket socket;
    const std::uint8_t byte = 1;
    QCOMPARE(socket.Send(&byte, 1), -1);
    QVERIFY(socket.LastError() != 0);
    QVERIFY(socket.SetDestination(ReceiverAddress, "9"));
    QVERIFY(!socket.SetDestination(ReceiverAddress, "port"));
    QCOMPARE(socket.Send(&byte, 1), -1); // a refused destination clears the earlier one
    QVERIFY(socket.LastError() != 0);
    QVERIFY(socket.SetDestination(ReceiverAddress, "9"));
    socket.Close();
    QCOMPARE(socket.Send(&byte, 1), -1);
}

void UdpSocketTest::sendsFromSeveralThreadsArriveWhole_data() {
    QTest::addColumn<bool>("toDestination");
    QTest::newRow("Send to the destination") << true;
    QTest::newRow("SendTo on a socket not yet open") << false;
}

void UdpSocketTest::sendsFromSeveralThreadsArriveWhole() {
    QFETCH(bool, toDestination);
    constexpr int Senders = 4;
    constexpr int PerSender = 150;
    constexpr int Window = 24; // datagrams in flight, well inside the receive buffer

    UdpSocket receiver;
    QVERIFY(BindReceiver(receiver));
    const int port = receiver.LocalPort();
    UdpSocket shared;
    if (toDestination)
        QVERIFY(shared.SetDestination(ReceiverAddress, std::to_string(port)));

    std::atomic<int> issued{0};
    std::atomic<int> received{0};
    std::atomic<bool> stop{false};
    std::atomic<int> failedSends{0};
    std::vector<std::thread> threads;
    for (int s = 0; s < Senders; ++s) {
        threads.emplace_back([&, s] {
            for (int seq = 0; seq < PerSender && !stop; ++seq) {
                while (issued.load() - received.load() >= Window && !stop)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                issued.fetch_add(1);
                const std::vector<std::uint8_t> d = MakeDatagram(s, seq);
                const int n = toDestination ? shared.Send(d.data(), int(d.size()))
                                            : shared.SendTo(d.data(), int(d.size()), ReceiverAddress, port);
                if (n != int(d.size()))
                    failedSends.fetch_add(1);
            }
        });
    }

    std::vector<std::vector<bool>> seen(Senders, std::vector<bool>(PerSender, false));
    int whole = 0;
    int broken = 0;
    std::vector<std::uint8_t> buffer(1502);
    while (whole + broken < Senders * PerSender) {
        const int got = receiver.Receive(buffer.data(), int(buffer.size()), 5000);
        if (got < 0)
            break; // nothing for five seconds: something was lost
        received.fetch_add(1);
        const int sender = buffer[0];
        const int seq = buffer[1] | (buffer[2] << 8);
        const bool known =
            got >= 5 && sender < Senders && seq < PerSender && !seen[size_t(sender)][size_t(seq)];
        if (known &&
            MakeDatagram(sender, seq) == std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + got)) {
            seen[size_t(sender)][size_t(seq)] = true;
            ++whole;
        } else {
            ++broken;
        }
    }
    stop = true;
    for (auto& t : threads)
        t.join();
    QCOMPARE(failedSends.load(), 0);
    QCOMPARE(broken, 0);
    QCOMPARE(whole, Senders * PerSender);
}

QTEST_GUILESS_MAIN(UdpSocketTest)
#include "tst_udp_socket.moc"
