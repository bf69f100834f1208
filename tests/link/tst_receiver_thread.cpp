// The receiver thread: port selection, the filters that drop datagrams, decoding into the shared
// state, the state changes it makes, and the chaining of a tool fetch.
#include "link/ReceiverThread.h"

#include "ScriptedController.h"
#include "ReceivePortHolder.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>

using namespace korva;
using namespace korva::test;

namespace {

// One receiver thread with a scripted controller on its own loopback address.
struct ReceiverRig {
    explicit ReceiverRig(const std::string& address, ReceivePortRange ports = {}) : peer(address) {
        link.Network.ControllerAddress = address;
        link.SetAllToolNames("-");
        link.Sender.OpenTxSocket(address);
        thread = std::make_unique<UDP_Server_Thread_Class>(link, ports);
        thread->start();
    }
    ~ReceiverRig() {
        thread->requestInterruption();
        thread->wait();
    }
    // Waits until the port is bound and aims the scripted controller's replies at it.
    bool WaitUntilReceiving() {
        QElapsedTimer t;
        t.start();
        while (!link.ReceiverRunning.load() && t.elapsed() < 10000)
            QTest::qWait(5);
        if (!link.ReceiverRunning.load())
            return false;
        peer.SetReplyTarget("127.0.0.1", link.Network.LocalPort.load());
        return true;
    }
    // Sends a valid datagram with an unused command byte and waits until the receiver has taken it:
    // everything the controller sent before it has been handled then.
    bool Sync() {
        const QByteArray marker = MakeReply(LinkCommand(99), "sync");
        peer.Send(marker);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            if (link.LastPacketSnapshot()[4] == 99)
                return true;
            QTest::qWait(2);
        }
        return false;
    }

    LinkShared link;
    ScriptedController peer;
    std::unique_ptr<UDP_Server_Thread_Class> thread;
};

} // namespace

class ReceiverThreadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void threadHasFourMiBStack();
    void identityReplySetsGenerationAndState_data();
    void identityReplySetsGenerationAndState();
    void clockAndResetAcknowledgementsMoveToPolling_data();
    void clockAndResetAcknowledgementsMoveToPolling();
    void statusReplyIsDecodedBeforeReplyFlag();
    void replyFromAnotherAddressIsIgnoredWithoutReloadingWatchdog();
    void replyFromUnexpectedSourcePortIsAccepted();
    void malformedDatagramsAreDropped_data();
    void malformedDatagramsAreDropped();
    void longestFittingDatagramIsAccepted();
    void toolNameReplyOutsideFetchStoresNothing();
    void toolFetchChainsFromRequestedToolWhateverTheReplyCarries();
    void busyPortIsSkipped();
    void noFreePortEndsThreadAndJoinsAtOnce();
    void stopRequestIsNoticedWithinOneReceiveTimeout();
};

void ReceiverThreadTest::threadHasFourMiBStack() {
    LinkShared link;
    link.Network.ControllerAddress = "127.0.0.51";
    UDP_Server_Thread_Class thread(link);
    QCOMPARE(thread.stackSize(), 4194304u);
}

void ReceiverThreadTest::identityReplySetsGenerationAndState_data() {
    QTest::addColumn<int>("startState");
    QTest::addColumn<int>("serial");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("isK8");
    QTest::addColumn<int>("toolCount");
    QTest::newRow("K7 while connecting") << 1 << 5000 << QByteArray("Mill") << false << 32;
    QTest::newRow("K8 Lathe") << 1 << 5001 << QByteArray("Lathe") << true << 118;
    QTest::newRow("K8 lathe") << 1 << 5001 << QByteArray("lathe") << true << 118;
    QTest::newRow("K8 empty name") << 1 << 5001 << QByteArray() << true << 118;
    QTest::newRow("K8 Mill") << 1 << 5001 << QByteArray("Mill") << true << 100;
    QTest::newRow("29-byte name") << 1 << 9000 << QByteArray(29, 'Z') << true << 100;
    QTest::newRow("during a file transfer") << 7 << 5000 << QByteArray("Mill") << false << 32;
    QTest::newRow("during a tool fetch") << 9 << 6000 << QByteArray("Mill") << true << 100;
}

void ReceiverThreadTest::identityReplySetsGenerationAndState() {
    QFETCH(int, startState);
    QFETCH(int, serial);
    QFETCH(QByteArray, name);
    QFETCH(bool, isK8);
    QFETCH(int, toolCount);
    ReceiverRig rig("127.0.0.52");
    QVERIFY(rig.peer.Bound());
    QVERIFY(rig.WaitUntilReceiving());
    rig.link.LinkStatus.LinkState = startState;
    rig.link.LinkStatus.RequestedTool = 1;

    rig.peer.Send(IdentityReply(serial, 3.1f, name));
    QTRY_VERIFY_WITH_TIMEOUT(rig.link.ReplyFlag.load(), 10000);
    // ReplyFlag is set only after the decoded fields and the state change are in place.
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkIdentified));
    QCOMPARE(rig.link.LinkStatus.ToolCount.load(), toolCount);
    const DecodedStatus d = rig.link.DecodedSnapshot();
    QCOMPARE(d.SerialNumber, serial);
    QCOMPARE(d.IsK8, isK8);
    QCOMPARE(d.SoftwareName, name);
    QCOMPARE(d.CoreVersion, 3.1f);
    QCOMPARE(rig.link.LinkStatus.ConnectionWatchdog.load(), WatchdogReloadMs);
    QVERIFY(rig.link.AnyPacketFlag.load());
}

void ReceiverThreadTest::clockAndResetAcknowledgementsMoveToPolling_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("startState");
    QTest::newRow("clock ack while setting the clock") << 3 << 3;
    QTest::newRow("reset ack while resetting") << 5 << 6;
    QTest::newRow("clock ack in any state") << 3 << 1;
    QTest::newRow("reset ack in any state") << 5 << 9;
}

void ReceiverThreadTest::clockAndResetAcknowledgementsMoveToPolling() {
    QFETCH(int, command);
    QFETCH(int, startState);
    ReceiverRig rig("127.0.0.53");
    QVERIFY(rig.WaitUntilReceiving());
    rig.link.LinkStatus.LinkState = startState;
    rig.peer.Send(MakeReply(LinkCommand(command)));
    QTRY_VERIFY_WITH_TIMEOUT(rig.link.ReplyFlag.load(), 10000);
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkPolling));
}

void ReceiverThreadTest::statusReplyIsDecodedBeforeReplyFlag() {
    ReceiverRig rig("127.0.0.54");
    QVERIFY(rig.WaitUntilReceiving());
    rig.link.LinkStatus.LinkState = LinkPolling;
    const QByteArray longName(40, 'F'); // cut to the 33-byte field
    rig.peer.Send(StatusReplyBytes(42, 2, 7, -3, 0, 3909, longName));
    QTRY_VERIFY_WITH_TIMEOUT(rig.link.ReplyFlag.load(), 10000);
    DecodedStatus d = rig.link.DecodedSnapshot();
    QCOMPARE(d.JobProgress, 42);
    QCOMPARE(d.MachineState, std::uint8_t(2));
    QCOMPARE(d.AlarmCode, std::uint8_t(7));
    QCOMPARE(d.JobCount, -3);
    QCOMPARE(d.ToolChangeRequest, true);
    QCOMPARE(d.JobTimeSeconds, 3909);
    QCOMPARE(d.ControllerFileName, QByteArray(33, 'F'));
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkPolling)); // a status reply moves nothing

    rig.link.ReplyFlag = false;
    rig.peer.Send(StatusReplyBytes(255, 0, 255, 1, 1, 0, "job.nc"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.link.ReplyFlag.load(), 10000);
    d = rig.link.DecodedSnapshot();
    QCOMPARE(d.JobProgress, 255); // the byte as received
    QCOMPARE(d.ToolChangeRequest, false);
    QCOMPARE(d.AlarmCode, LinkPacket::NoAlarm);
    QCOMPARE(d.ControllerFileName, QByteArray("job.nc"));
}

void ReceiverThreadTest::replyFromAnotherAddressIsIgnoredWithoutReloadingWatchdog() {
    ReceiverRig rig("127.0.0.55");
    QVERIFY(rig.WaitUntilReceiving());
    rig.link.LinkStatus.LinkState = LinkConnecting;
    rig.link.LinkStatus.ConnectionWatchdog = 1234;

    UdpSocket stranger;
    QVERIFY(stranger.Bind("127.0.0.56", "0"));
    const QByteArray identity = IdentityReply(7777, 1.0f, "Mill");
    QCOMPARE(stranger.SendTo(Bytes(identity), int(identity.size()), "127.0.0.1",
                             rig.link.Network.LocalPort.load()),
             int(identity.size()));
    // Give a faulty receiver time to take it; a correct one never changes anything here.
    QTest::qWait(300);
    QCOMPARE(rig.link.LinkStatus.ConnectionWatchdog.load(), 1234);
    QVERIFY(!rig.link.ReplyFlag.load());
    QVERIFY(!rig.link.AnyPacketFlag.load());

    QVERIFY(rig.Sync()); // the receiver is alive and listening
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkConnecting));
    QCOMPARE(rig.link.DecodedSnapshot().SerialNumber, 0);
}

void ReceiverThreadTest::replyFromUnexpectedSourcePortIsAccepted() {
    ReceiverRig rig("127.0.0.57");
    QVERIFY(rig.WaitUntilReceiving());
    UdpSocket otherPort; // the controller's address, but not its port 65535
    QVERIFY(otherPort.Bind("127.0.0.57", "0"));
    const QByteArray ack = MakeReply(LinkCommand::SetClock);
    otherPort.SendTo(Bytes(ack), int(ack.size()), "127.0.0.1", rig.link.Network.LocalPort.load());
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 10000);
}

void ReceiverThreadTest::malformedDatagramsAreDropped_data() {
    QTest::addColumn<QByteArray>("datagram");
    // 2 to 4 bytes with a matching CRC would be decoded with the command byte an earlier datagram
    // left at position 4 (here an identity reply): they carry no command byte and are dropped.
    QTest::newRow("2 bytes") << QByteArray(2, '\0');
    QByteArray three("\0\0\x03", 3);
    StoreCrc(reinterpret_cast<std::uint8_t*>(three.data()), 3);
    QTest::newRow("3 bytes") << three;
    QByteArray four("\0\0\x03\x00", 4);
    StoreCrc(reinterpret_cast<std::uint8_t*>(four.data()), 4);
    QTest::newRow("4 bytes") << four;
    QTest::newRow("1 byte") << QByteArray(1, '\0');
    // Identity replies longer than LastPacket, with a valid CRC.
    for (int size : {1503, 2000}) {
        QByteArray big = IdentityReply(9999, 1.0f, "Mill").leftJustified(size, '\0');
        StoreCrc(reinterpret_cast<std::uint8_t*>(big.data()), size);
        QTest::newRow(qPrintable(QStringLiteral("%1 bytes").arg(size))) << big;
    }
    QByteArray swapped = IdentityReply(9999, 1.0f, "Mill");
    std::swap(swapped[0], swapped[1]);
    QTest::newRow("CRC stored big-endian") << swapped;
    QByteArray damaged = IdentityReply(9999, 1.0f, "Mill");
    damaged[20] = char(damaged[20] ^ 0x01);
    QTest::newRow("damaged payload") << damaged;
}

void ReceiverThreadTest::malformedDatagramsAreDropped() {
    QFETCH(QByteArray, datagram);
    ReceiverRig rig("127.0.0.58");
    QVERIFY(rig.WaitUntilReceiving());
    rig.peer.Send(IdentityReply(5000, 1.0f, "Mill")); // leaves command 2 at position 4
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkIdentified), 10000);
    rig.link.LinkStatus.LinkState = LinkPolling;
    rig.link.ReplyFlag = false;
    const LastPacketBuffer before = rig.link.LastPacketSnapshot();

    rig.peer.Send(datagram);
    QTest::qWait(200);
    QCOMPARE(rig.link.LastPacketSnapshot(), before);
    QVERIFY(!rig.link.ReplyFlag.load());

    QVERIFY(rig.Sync());
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkPolling));
    QCOMPARE(rig.link.DecodedSnapshot().SerialNumber, 5000);
}

void ReceiverThreadTest::longestFittingDatagramIsAccepted() {
    ReceiverRig rig("127.0.0.59");
    QVERIFY(rig.WaitUntilReceiving());
    QByteArray full = IdentityReply(6000, 1.0f, "Mill").leftJustified(LinkPacket::LastPacketSize, '\x7e');
    StoreCrc(reinterpret_cast<std::uint8_t*>(full.data()), int(full.size()));
    rig.peer.Send(full);
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkIdentified), 10000);
    const LastPacketBuffer last = rig.link.LastPacketSnapshot();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(last.data()), int(last.size())), full);

    // A shorter datagram leaves the bytes beyond its end as they were.
    rig.peer.Send(MakeReply(LinkCommand::SetClock));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkPolling), 10000);
    QCOMPARE(rig.link.LastPacketSnapshot()[LinkPacket::LastPacketSize - 1], std::uint8_t(0x7e));
}

void ReceiverThreadTest::toolNameReplyOutsideFetchStoresNothing() {
    ReceiverRig rig("127.0.0.60");
    QVERIFY(rig.WaitUntilReceiving());
    rig.link.LinkStatus.LinkState = LinkPolling;
    rig.link.LinkStatus.ToolCount = 32;
    rig.link.LinkStatus.RequestedTool = 1;
    rig.link.LinkStatus.ConnectionWatchdog = 0;
    rig.peer.Send(ToolNameReplyBytes(5, "Endmill 6"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.link.ReplyFlag.load(), 10000);
    QCOMPARE(rig.link.LinkStatus.ConnectionWatchdog.load(), WatchdogReloadMs);
    QCOMPARE(rig.link.ToolName(5), QByteArray("-"));
    QCOMPARE(rig.link.LinkStatus.RequestedTool.load(), 1);
    QCOMPARE(rig.link.LinkStatus.LinkState.load(), int(LinkPolling));
    QTest::qWait(200);
    QCOMPARE(rig.peer.Total(), 0); // no chained request
}

void ReceiverThreadTest::toolFetchChainsFromRequestedToolWhateverTheReplyCarries() {
    ReceiverRig rig("127.0.0.51");
    QVERIFY(rig.WaitUntilReceiving());
    rig.link.LinkStatus.ToolCount = 4;
    rig.link.LinkStatus.RequestedTool = 1;
    rig.link.LinkStatus.ToolResendClock = 300;
    rig.link.LinkStatus.LinkState = LinkFetchingTools;

    const auto expectRequestFor = [&](int tool) {
        const QByteArray r = rig.peer.Take(10000);
        QCOMPARE(r.size(), 10);
        QCOMPARE(std::uint8_t(r[4]), std::uint8_t(LinkCommand::ToolName));
        QCOMPARE(int(std::uint8_t(r[5])), tool);
        QVERIFY(HasValidCrc(Bytes(r), int(r.size())));
    };

    rig.peer.Send(ToolNameReplyBytes(1, "T1"));
    expectRequestFor(2);
    QCOMPARE(rig.link.ToolName(1), QByteArray("T1"));
    QCOMPARE(rig.link.LinkStatus.ToolResendClock.load(), 0);

    rig.peer.Send(ToolNameReplyBytes(1, "T1 again")); // a duplicate also moves the fetch on
    expectRequestFor(3);
    QCOMPARE(rig.link.ToolName(1), QByteArray("T1 again"));

    rig.peer.Send(ToolNameReplyBytes(0, "stray")); // a number out of range stores nothing
    expectRequestFor(4);
    rig.peer.Send(ToolNameReplyBytes(200, "stray"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.link.LinkStatus.LinkState.load(), int(LinkToolsFetched), 10000);
    QCOMPARE(rig.link.LinkStatus.RequestedTool.load(), 4);
    for (int n = 2; n <= MaxToolNumber; ++n)
        QCOMPARE(rig.link.ToolName(n), QByteArray("-"));

    // No request past the tool count, and no chaining once the fetch is complete.
    rig.peer.Send(ToolNameReplyBytes(4, "late"));
    QVERIFY(rig.Sync());
    QCOMPARE(rig.peer.Count(LinkCommand::ToolName), 3);
    QCOMPARE(rig.link.ToolName(4), QByteArray("-"));
}

void ReceiverThreadTest::busyPortIsSkipped() {
    // Other test programs may hold ports of the range: hold the first free one and expect the
    // receiver to take a port other than it.
    UdpSocket holder;
    const int held = test::HoldFirstFreeReceivePort(holder);
    QVERIFY(held != 0);
    ReceiverRig rig("127.0.0.52", ReceivePortRange{held, LinkPacket::LastLocalPort});
    QVERIFY(rig.WaitUntilReceiving());
    QVERIFY(rig.link.Network.LocalPort.load() > held);
    QVERIFY(rig.link.Network.LocalPort.load() <= LinkPacket::LastLocalPort);
}

void ReceiverThreadTest::noFreePortEndsThreadAndJoinsAtOnce() {
    UdpSocket holder;
    const int held = test::HoldFirstFreeReceivePort(holder);
    QVERIFY(held != 0);
    LinkShared link;
    link.Network.ControllerAddress = "127.0.0.53";
    link.Network.LocalPort = 11077; // an earlier connection's port stays
    UDP_Server_Thread_Class thread(link, ReceivePortRange{held, held});
    thread.start();
    QTRY_VERIFY_WITH_TIMEOUT(thread.isFinished(), 10000);
    QVERIFY(!link.ReceiverRunning.load());
    QCOMPARE(link.Network.LocalPort.load(), 11077);
    QElapsedTimer t;
    t.start();
    thread.requestInterruption();
    QVERIFY(thread.wait());
    QVERIFY(t.elapsed() < 500);
}

void ReceiverThreadTest::stopRequestIsNoticedWithinOneReceiveTimeout() {
    LinkShared link;
    link.Network.ControllerAddress = "127.0.0.54";
    UDP_Server_Thread_Class thread(link);
    thread.start();
    QTRY_VERIFY_WITH_TIMEOUT(link.ReceiverRunning.load(), 10000);
    QElapsedTimer t;
    t.start();
    thread.requestInterruption();
    QVERIFY(thread.wait(10000));
    // One receive timeout (1000 ms) plus generous slack for a loaded machine.
    QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!link.ReceiverRunning.load());
}

QTEST_GUILESS_MAIN(ReceiverThreadTest)
#include "tst_receiver_thread.moc"
