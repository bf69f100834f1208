// The korva-sim command line.

#include "sim/SimulatorCommandLine.h"

#include <QDir>
#include <QTest>

using namespace korva;
using namespace korva::sim;

namespace {

SimulatorCommandLine Parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("korva-sim"));
    return ParseSimulatorCommandLine(arguments);
}

} // namespace

class TestSimCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutOptionsAnswersOnLocalhostWithATemporaryUsbFolder();
    void everyOptionReachesTheSimulator();
    void helpIsOffered();
    void badCommandLinesAreRefusedWithAReason_data();
    void badCommandLinesAreRefusedWithAReason();
};

void TestSimCommandLine::withoutOptionsAnswersOnLocalhostWithATemporaryUsbFolder() {
    const SimulatorCommandLine c = Parse({});
    QCOMPARE(c.outcome, SimulatorCommandLine::Outcome::Run);
    QCOMPARE(c.options.address, std::string("127.0.0.1"));
    QCOMPARE(c.options.port, 65535);
    QCOMPARE(c.options.usbFolder, QDir::temp().filePath(QStringLiteral("korva-sim-usb")));
    QVERIFY(c.options.serialNumber > 5000);
    QCOMPARE(c.options.runJob, false);
    QCOMPARE(c.options.requestLoss, 0.0);
    QCOMPARE(c.options.silenceAfterRequests, -1);
    QCOMPARE(c.options.stopAfterSeconds, 0.0);
}

void TestSimCommandLine::everyOptionReachesTheSimulator() {
    const SimulatorCommandLine c = Parse({"--address",
                                          "127.0.0.9",
                                          "--port",
                                          "40000",
                                          "--usb",
                                          "/tmp/drive",
                                          "--serial",
                                          "1234",
                                          "--core-version",
                                          "2.75",
                                          "--software",
                                          "Lathe",
                                          "--job",
                                          "--job-seconds",
                                          "7",
                                          "--alarm",
                                          "12",
                                          "--tool-change",
                                          "--loss-requests",
                                          "0.25",
                                          "--loss-replies",
                                          "0.5",
                                          "--duplicate-replies",
                                          "--silence-after",
                                          "10",
                                          "--write-fail-at",
                                          "3",
                                          "--cancel-at",
                                          "4",
                                          "--delay",
                                          "150",
                                          "--seed",
                                          "77",
                                          "--seconds",
                                          "2.5"});
    QCOMPARE(c.outcome, SimulatorCommandLine::Outcome::Run);
    const SimulatorOptions& o = c.options;
    QCOMPARE(o.address, std::string("127.0.0.9"));
    QCOMPARE(o.port, 40000);
    QCOMPARE(o.usbFolder, QStringLiteral("/tmp/drive"));
    QCOMPARE(o.serialNumber, 1234);
    QCOMPARE(o.coreVersion, 2.75f);
    QCOMPARE(o.softwareName, QByteArray("Lathe"));
    QCOMPARE(o.runJob, true);
    QCOMPARE(o.jobSeconds, 7);
    QCOMPARE(o.alarmCode, std::uint8_t{12});
    QCOMPARE(o.toolChangeRequest, true);
    QCOMPARE(o.requestLoss, 0.25);
    QCOMPARE(o.replyLoss, 0.5);
    QCOMPARE(o.duplicateReplies, true);
    QCOMPARE(o.silenceAfterRequests, 10);
    QCOMPARE(o.writeFailAtChunk, 3);
    QCOMPARE(o.cancelAtChunk, 4);
    QCOMPARE(o.replyDelayMs, 150);
    QCOMPARE(o.seed, 77u);
    QCOMPARE(o.stopAfterSeconds, 2.5);

    QVERIFY(Parse({"--no-usb"}).options.usbFolder.isEmpty());
}

void TestSimCommandLine::helpIsOffered() {
    const SimulatorCommandLine c = Parse({"--help"});
    QCOMPARE(c.outcome, SimulatorCommandLine::Outcome::Help);
    QVERIFY(c.text.contains(QStringLiteral("--loss-replies")));
    QVERIFY(c.text.contains(QStringLiteral("--no-usb")));
}

void TestSimCommandLine::badCommandLinesAreRefusedWithAReason_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason"); // part of the message

    QTest::newRow("controller network address")
        << QStringList{"--address", "192.168.4.1"} << QStringLiteral("not a loopback address");
    QTest::newRow("every address") << QStringList{"--address", "0.0.0.0"} << QStringLiteral("not a loopback");
    QTest::newRow("host name") << QStringList{"--address", "localhost"} << QStringLiteral("dotted IPv4");
    QTest::newRow("probability above 1")
        << QStringList{"--loss-requests", "1.5"} << QStringLiteral("probability");
    QTest::newRow("probability with a comma")
        << QStringList{"--loss-replies", "0,2"} << QStringLiteral("probability");
    QTest::newRow("port 0") << QStringList{"--port", "0"} << QStringLiteral("--port");
    QTest::newRow("port too large") << QStringList{"--port", "70000"} << QStringLiteral("--port");
    QTest::newRow("alarm beyond a byte") << QStringList{"--alarm", "256"} << QStringLiteral("--alarm");
    QTest::newRow("negative chunk") << QStringList{"--cancel-at", "-1"} << QStringLiteral("--cancel-at");
    QTest::newRow("seconds not a number") << QStringList{"--seconds", "soon"} << QStringLiteral("--seconds");
    QTest::newRow("software name beyond its field")
        << QStringList{"--software", QString(30, QLatin1Char('S'))} << QStringLiteral("29");
    QTest::newRow("USB drive and none")
        << QStringList{"--usb", "/tmp/x", "--no-usb"} << QStringLiteral("exclude each other");
    QTest::newRow("unknown option") << QStringList{"--loss", "0.2"} << QStringLiteral("loss");
    QTest::newRow("stray argument") << QStringList{"extra"} << QStringLiteral("extra");
    QTest::newRow("value missing") << QStringList{"--delay"} << QStringLiteral("delay");
}

void TestSimCommandLine::badCommandLinesAreRefusedWithAReason() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const SimulatorCommandLine c = Parse(arguments);
    QCOMPARE(c.outcome, SimulatorCommandLine::Outcome::Error);
    QVERIFY2(c.text.contains(reason), qPrintable(c.text));
}

QTEST_GUILESS_MAIN(TestSimCommandLine)
#include "tst_sim_command_line.moc"
