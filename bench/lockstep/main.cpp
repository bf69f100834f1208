// Lock-step transfer speed on loopback: the program's send path (RequestSender, UdpSocket) sends
// 1438-byte FileData datagrams to an in-process controller simulator and blocks for each
// acknowledgement before the next chunk, one chunk in flight, as the transfer engine does.
// Prints chunks per second, MB/s (10^6 bytes) and the mean round trip per run, then the medians.
//
//   bench_lockstep [runs (default 5)] [payload MiB (default 10)]

#include "link/LinkPacket.h"
#include "link/RequestSender.h"
#include "link/UdpSocket.h"
#include "sim/ControllerSimulator.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

using namespace korva;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* Address = "127.0.0.29";
constexpr int ResendMs = 100;

void Print(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct RunResult {
    bool ok = false;
    double seconds = 0;
    std::int64_t chunks = 0;
    double meanRoundTripUs = 0;
    std::int64_t resendings = 0;
};

// Waits for a reply with this command byte; false after `timeoutMs` without one.
bool WaitFor(UdpSocket& rx, LinkCommand command, int timeoutMs, std::array<std::uint8_t, 1502>& packet) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left < 0)
            return false;
        const int n = rx.Receive(packet.data(), static_cast<int>(packet.size()), static_cast<int>(left));
        if (n >= 2 && n <= static_cast<int>(packet.size()) && HasValidCrc(packet.data(), n) &&
            packet[LinkPacket::CommandPos] == static_cast<std::uint8_t>(command))
            return true;
    }
}

RunResult SendOnce(RequestSender& sender, UdpSocket& rx, const QByteArray& payload) {
    RunResult result;
    std::array<std::uint8_t, 1502> packet{};
    sender.Send([&](RequestBuffer& b) {
        return BuildFileStart(b, payload.size(), QByteArray(1, '\\'), "lockstep.bin").lengthValue;
    });
    if (!WaitFor(rx, LinkCommand::FileStart, 5000, packet) || packet[LinkPacket::FileStartResult] != 0)
        return result;

    const auto* bytes = reinterpret_cast<const std::uint8_t*>(payload.constData());
    const Clock::time_point start = Clock::now();
    double roundTripSum = 0;
    std::int32_t chunk = 0;
    for (qsizetype offset = 0; offset < payload.size(); offset += LinkPacket::ChunkSize, ++chunk) {
        const int count =
            static_cast<int>(std::min<qsizetype>(LinkPacket::ChunkSize, payload.size() - offset));
        const Clock::time_point sent = Clock::now();
        for (bool first = true;; first = false) {
            if (!first)
                ++result.resendings;
            sender.Send([&](RequestBuffer& b) { return BuildFileData(b, chunk, bytes + offset, count); });
            if (WaitFor(rx, LinkCommand::FileData, ResendMs, packet) &&
                ReadInt32(packet.data(), LinkPacket::FileDataHeld) >= chunk + 1)
                break;
        }
        roundTripSum += std::chrono::duration<double, std::micro>(Clock::now() - sent).count();
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.chunks = chunk;
    result.meanRoundTripUs = chunk > 0 ? roundTripSum / chunk : 0;
    result.ok = true;
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    const int mebibytes = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 10;

    QTemporaryDir usb;
    if (!usb.isValid()) {
        Print(QStringLiteral("no temporary folder for the simulated USB drive"));
        return 1;
    }
    sim::SimulatorOptions options;
    options.address = Address;
    options.port = 0;
    options.usbFolder = usb.path();
    sim::ControllerSimulator simulator(options);
    QString error;
    if (!simulator.Start(&error)) {
        Print(QStringLiteral("simulator did not start: %1").arg(error));
        return 1;
    }

    // Like the program: replies arrive on a socket bound on all local addresses, requests leave
    // through the send path's own socket.
    UdpSocket rx;
    if (!rx.Bind("0.0.0.0", "0")) {
        Print(QStringLiteral("cannot bind the receive socket"));
        return 1;
    }
    RequestSender sender;
    sender.OpenTxSocket(Address, simulator.Port());
    std::array<std::uint8_t, 1502> packet{};
    bool identified = false;
    for (int i = 0; i < 20 && !identified; ++i) {
        sender.Send([&](RequestBuffer& b) { return BuildIdentify(b, rx.LocalPort()); });
        identified = WaitFor(rx, LinkCommand::Identify, 500, packet);
    }
    if (!identified) {
        Print(QStringLiteral("the simulator did not answer Identify"));
        return 1;
    }

    QByteArray payload(mebibytes * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator random(29);
    for (char& c : payload)
        c = static_cast<char>(random.bounded(256));

    Print(
        QStringLiteral("lock-step FileData on loopback: %1 MiB in %2 chunks of %3 bytes (%4-byte datagrams), "
                       "one in flight, %5 runs")
            .arg(QString::number(mebibytes), QString::number(ChunkCount(payload.size())),
                 QString::number(LinkPacket::ChunkSize),
                 QString::number(DatagramLength(LinkPacket::ChunkSize + 13)), QString::number(runs)));
    std::vector<double> chunksPerSecond, megabytesPerSecond, roundTrips;
    for (int run = 1; run <= runs; ++run) {
        const RunResult r = SendOnce(sender, rx, payload);
        if (!r.ok) {
            Print(QStringLiteral("run %1: the simulator refused the file").arg(run));
            return 1;
        }
        const double cps = static_cast<double>(r.chunks) / r.seconds;
        const double mbps = static_cast<double>(payload.size()) / r.seconds / 1e6;
        chunksPerSecond.push_back(cps);
        megabytesPerSecond.push_back(mbps);
        roundTrips.push_back(r.meanRoundTripUs);
        QFile received(QDir(usb.path()).filePath(QStringLiteral("lockstep.bin")));
        const bool identical = received.open(QIODevice::ReadOnly) && received.readAll() == payload;
        Print(QStringLiteral(
                  "run %1: %2 s, %3 chunks/s, %4 MB/s, mean round trip %5 us, %6 resendings, file %7")
                  .arg(QString::number(run), Fixed(r.seconds, 3), Fixed(cps, 0), Fixed(mbps, 2),
                       Fixed(r.meanRoundTripUs, 1), QString::number(r.resendings),
                       identical ? QStringLiteral("identical") : QStringLiteral("DIFFERENT")));
    }
    Print(QStringLiteral("median: %1 chunks/s, %2 MB/s, mean round trip %3 us")
              .arg(Fixed(Median(chunksPerSecond), 0), Fixed(Median(megabytesPerSecond), 2),
                   Fixed(Median(roundTrips), 1)));
    simulator.Stop();
    return 0;
}
