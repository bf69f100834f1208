// korva-sim: a controller simulator on a loopback address for trying KORVA Rivo without a machine.

#include "sim/ControllerSimulator.h"
#include "sim/SimulatorCommandLine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

std::atomic<bool> interrupted{false};

void OnSignal(int) {
    interrupted = true;
}

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korva-sim"));

    using korva::sim::SimulatorCommandLine;
    const SimulatorCommandLine command = korva::sim::ParseSimulatorCommandLine(QCoreApplication::arguments());
    if (command.outcome == SimulatorCommandLine::Outcome::Help) {
        Print(stdout, command.text);
        return 0;
    }
    if (command.outcome == SimulatorCommandLine::Outcome::Error) {
        Print(stderr, QStringLiteral("korva-sim: %1\nTry korva-sim --help.").arg(command.text));
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    korva::sim::ControllerSimulator simulator(command.options);
    simulator.onEvent = [&clock](const QString& line) {
        const QString seconds = QString::number(static_cast<double>(clock.elapsed()) / 1000.0, 'f', 3);
        Print(stdout, seconds.rightJustified(9) + QLatin1Char(' ') + line);
    };

    QString error;
    if (!simulator.Start(&error)) {
        Print(stderr, QStringLiteral("korva-sim: %1").arg(error));
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (simulator.IsRunning() && !interrupted)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    simulator.Stop();
    return 0;
}
