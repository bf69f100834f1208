// The program at rest while connected: a copy of "KORVA Rivo" is laid out as a bundle in a
// temporary folder with settings that connect at start to an in-process controller simulator on
// 127.0.0.97. Prints the time from launch to the first Identify request, then, once Status
// polling runs, the CPU time the program uses over a window of wall time (goal: under 1 % of one
// core), the Status requests per second the simulator sees and the program's peak memory.
//
//   bench_idle [--seconds N (default 30)] [--job]
// Without --job the simulated machine stands still (the idle case); with --job it runs jobs, so the
// status panel redraws its progress and job time every second.

#include "app/SettingsError.h"
#include "app/SettingsRecord.h"
#include "link/LinkPacket.h"
#include "sim/ControllerSimulator.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>

using namespace korva;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* Address = "127.0.0.97"; // the program sends to the controller port here
constexpr int ControllerPort = 65535;

void Print(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// utime + stime of the process in clock ticks, from /proc/<pid>/stat.
std::optional<long long> CpuTicks(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    const qsizetype close = text.lastIndexOf(')'); // the command name may hold spaces
    if (close < 0)
        return std::nullopt;
    // After the name come the fields from the 3rd on: utime is the 14th, stime the 15th.
    const QList<QByteArray> fields = text.mid(close + 2).simplified().split(' ');
    if (fields.size() < 13)
        return std::nullopt;
    bool okUser = false;
    bool okSystem = false;
    const long long user = fields[11].toLongLong(&okUser);
    const long long system = fields[12].toLongLong(&okSystem);
    if (!okUser || !okSystem)
        return std::nullopt;
    return user + system;
}

// A "Vm...:" line of /proc/<pid>/status in KiB.
std::optional<long long> StatusKib(qint64 pid, const QByteArray& key) {
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.startsWith(key + ':'))
            continue;
        const QList<QByteArray> parts = line.mid(key.size() + 1).simplified().split(' ');
        bool ok = false;
        const long long kib = parts.value(0).toLongLong(&ok);
        return ok ? std::optional<long long>(kib) : std::nullopt;
    }
    return std::nullopt;
}

// Keeps the event loop going until `done` holds or the program ends; false on timeout or exit.
bool WaitUntil(QProcess& program, const std::function<bool()>& done, int timeoutMs) {
    const Clock::time_point start = Clock::now();
    while (!done()) {
        if (program.state() == QProcess::NotRunning || MillisecondsSince(start) > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    return true;
}

void StopProgram(QProcess& program) {
    if (program.state() == QProcess::NotRunning)
        return;
    program.terminate();
    if (!program.waitForFinished(3000)) {
        program.kill();
        program.waitForFinished(3000);
    }
}

void PrintProgramLog(const QString& path) {
    QFile log(path);
    if (log.open(QIODevice::ReadOnly)) {
        const QByteArray text = log.readAll().right(2000);
        if (!text.isEmpty())
            Print(QStringLiteral("program output (last part):\n") + QString::fromUtf8(text));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    int seconds = 30;
    bool runJob = false;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--seconds") && i + 1 < args.size()) {
            bool ok = false;
            seconds = args[++i].toInt(&ok);
            if (!ok || seconds < 1) {
                Print(QStringLiteral("--seconds wants a whole number of at least 1"));
                return 2;
            }
        } else if (args[i] == QLatin1String("--job")) {
            runJob = true;
        } else {
            Print(QStringLiteral("usage: bench_idle [--seconds N] [--job]"));
            return 2;
        }
    }

    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        Print(QStringLiteral("cannot make a temporary folder: ") + tmp.errorString());
        return 1;
    }

    // A copy, not a link: the program finds its settings three levels above its resolved path.
    const QString source = QString::fromUtf8(KORVA_RIVO_PATH);
    const QString macOsFolder = tmp.path() + QStringLiteral("/KORVA Rivo.app/Contents/MacOS");
    const QString executable = macOsFolder + QStringLiteral("/KORVA Rivo");
    if (!QDir().mkpath(macOsFolder) || !QFile::copy(source, executable)) {
        Print(QStringLiteral("cannot copy ") + source + QStringLiteral(" to ") + executable);
        return 1;
    }
    QFile::setPermissions(executable, QFile::permissions(source) | QFile::ExeOwner | QFile::ReadOwner);

    try {
        SettingsStore store(tmp.path() + QLatin1Char('/'));
        SettingsRecord& record = store.Record();
        record = DefaultSettingsRecord(QSize(1920, 1080));
        record.AutoConnect.Set(true);
        record.UseOwnNetwork.Set(false);
        record.ControllerIp = {127, 0, 0, 97};
        record.MachineName.Assign(QStringLiteral("Bench"));
        store.SaveSettings();
    } catch (const SettingsError& error) {
        Print(QStringLiteral("cannot write the settings: ") + error.Text());
        return 1;
    }

    sim::SimulatorOptions options;
    options.address = Address;
    options.port = ControllerPort;
    options.runJob = runJob;
    sim::ControllerSimulator simulator(options);
    QString error;
    if (!simulator.Start(&error)) {
        Print(QStringLiteral("simulator: ") + error);
        return 1;
    }

    const QString logPath = tmp.path() + QStringLiteral("/program.log");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(tmp.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setStandardOutputFile(logPath);

    Print(QStringLiteral("bench_idle: KORVA Rivo connected to the simulator on ") +
          QLatin1String(Address) + QStringLiteral(", window ") + QString::number(seconds) +
          (runJob ? QStringLiteral(" s, machine running jobs") : QStringLiteral(" s, machine standing still")));

    const Clock::time_point launch = Clock::now();
    program.start(executable, {});
    if (!program.waitForStarted(10000)) {
        Print(QStringLiteral("cannot start the program: ") + program.errorString());
        return 1;
    }
    const qint64 pid = program.processId();

    const auto identifySeen = [&] { return simulator.RequestCount(LinkCommand::Identify) > 0; };
    if (!WaitUntil(program, identifySeen, 30000)) {
        Print(QStringLiteral("no Identify request within 30 s"));
        StopProgram(program);
        PrintProgramLog(logPath);
        return 1;
    }
    const double startupMs = MillisecondsSince(launch);
    Print(QStringLiteral("start-up to connecting (the splash is shown right after): ") + Fixed(startupMs, 0) +
          QStringLiteral(" ms"));

    const auto statusSeen = [&] { return simulator.RequestCount(LinkCommand::Status) > 0; };
    if (!WaitUntil(program, statusSeen, 60000)) {
        Print(QStringLiteral("no Status request within 60 s after connecting"));
        StopProgram(program);
        PrintProgramLog(logPath);
        return 1;
    }
    Print(QStringLiteral("launch to first Status request: ") + Fixed(MillisecondsSince(launch), 0) +
          QStringLiteral(" ms"));

    const std::optional<long long> ticksBefore = CpuTicks(pid);
    const int statusBefore = simulator.RequestCount(LinkCommand::Status);
    const Clock::time_point windowStart = Clock::now();
    const double windowMs = seconds * 1000.0;
    while (MillisecondsSince(windowStart) < windowMs && program.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
    }
    const std::optional<long long> ticksAfter = CpuTicks(pid);
    const int statusAfter = simulator.RequestCount(LinkCommand::Status);
    const double wallMs = MillisecondsSince(windowStart);
    const std::optional<long long> peakKib = StatusKib(pid, "VmHWM");

    if (program.state() == QProcess::NotRunning || !ticksBefore || !ticksAfter) {
        Print(QStringLiteral("the program ended during the measurement"));
        PrintProgramLog(logPath);
        return 1;
    }

    const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
    const double cpuMs = static_cast<double>(*ticksAfter - *ticksBefore) * 1000.0 / ticksPerSecond;
    const double cpuMsPerMinute = cpuMs * 60000.0 / wallMs;
    const double percentOfCore = cpuMs * 100.0 / wallMs;
    const double statusPerSecond = (statusAfter - statusBefore) * 1000.0 / wallMs;

    Print(QStringLiteral("measured over ") + Fixed(wallMs / 1000.0, 1) + QStringLiteral(" s of wall time"));
    Print(QStringLiteral("CPU time (user + system): ") + Fixed(cpuMsPerMinute, 0) +
          QStringLiteral(" ms per minute = ") + Fixed(percentOfCore, 2) +
          QStringLiteral(" % of one core (goal under 1 %: ") +
          (percentOfCore < 1.0 ? QStringLiteral("met") : QStringLiteral("missed")) + QStringLiteral(")"));
    Print(QStringLiteral("Status requests seen by the simulator: ") + Fixed(statusPerSecond, 2) +
          QStringLiteral(" per second"));
    Print(QStringLiteral("peak memory (VmHWM): ") +
          (peakKib ? Fixed(static_cast<double>(*peakKib) / 1024.0, 1) + QStringLiteral(" MiB")
                   : QStringLiteral("unknown")));

    StopProgram(program);
    simulator.Stop();
    return 0;
}
