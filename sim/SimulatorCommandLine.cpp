#include "sim/SimulatorCommandLine.h"

#include "link/UdpSocket.h"
#include "sim/ControllerSimulator.h"

#include <QCommandLineParser>
#include <QDir>
#include <cmath>
#include <limits>

namespace korva::sim {
namespace {

struct Reader {
    const QCommandLineParser& parser;
    QString problem;

    // Reads an integer option within [low, high] into `out` when it is given.
    template <typename T> void Integer(const QString& name, T& out, qint64 low, qint64 high) {
        if (!problem.isEmpty() || !parser.isSet(name))
            return;
        bool ok = false;
        const qint64 value = parser.value(name).toLongLong(&ok);
        if (!ok || value < low || value > high) {
            problem = QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                          .arg(name, QString::number(low), QString::number(high), parser.value(name));
            return;
        }
        out = static_cast<T>(value);
    }

    void Real(const QString& name, double& out, double low, double high, const QString& meaning) {
        if (!problem.isEmpty() || !parser.isSet(name))
            return;
        bool ok = false;
        const double value = parser.value(name).toDouble(&ok);
        if (!ok || !std::isfinite(value) || value < low || value > high) {
            problem = QStringLiteral("--%1 takes %2, not \"%3\"").arg(name, meaning, parser.value(name));
            return;
        }
        out = value;
    }
};

SimulatorCommandLine Error(const QString& problem) {
    SimulatorCommandLine result;
    result.outcome = SimulatorCommandLine::Outcome::Error;
    result.text = problem;
    return result;
}

} // namespace

SimulatorCommandLine ParseSimulatorCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers in place of a KORVA controller on a loopback address, so that KORVA Rivo can be tried\n"
        "without a machine. Connect the program to the address given with --address. Prints one line\n"
        "per event; stops on Ctrl+C or after --seconds."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    parser.addOption(help);
    parser.addOptions({
        {QStringLiteral("address"),
         QStringLiteral("Loopback address to answer on (127.x.x.x). Default 127.0.0.1."),
         QStringLiteral("ADDRESS")},
        {QStringLiteral("port"), QStringLiteral("UDP port to answer on. Default 65535."),
         QStringLiteral("PORT")},
        {QStringLiteral("usb"),
         QStringLiteral("Folder that plays the USB flash drive; received files are written there. Default: "
                        "korva-sim-usb in the temporary folder."),
         QStringLiteral("DIR")},
        {QStringLiteral("no-usb"), QStringLiteral("No USB drive: every file start is answered 233.")},
        {QStringLiteral("serial"),
         QStringLiteral("Serial number; above 5000 is a K8 controller. Default 7000."), QStringLiteral("N")},
        {QStringLiteral("core-version"), QStringLiteral("Core version. Default 3.1."), QStringLiteral("V")},
        {QStringLiteral("software"),
         QStringLiteral("Software name, at most 29 bytes. Default \"Mill 5-Axis\"."), QStringLiteral("NAME")},
        {QStringLiteral("job"),
         QStringLiteral("Run jobs: machining with progress and job time, the job count "
                        "going up at each end, a stop between jobs.")},
        {QStringLiteral("job-seconds"), QStringLiteral("Length of one job with --job. Default 20."),
         QStringLiteral("S")},
        {QStringLiteral("alarm"), QStringLiteral("Start with this alarm code (0-254; 255 is no alarm)."),
         QStringLiteral("CODE")},
        {QStringLiteral("tool-change"), QStringLiteral("Start with a tool change request pending.")},
        {QStringLiteral("loss-requests"), QStringLiteral("Lose requests with probability P (0 to 1)."),
         QStringLiteral("P")},
        {QStringLiteral("loss-replies"), QStringLiteral("Lose replies with probability P (0 to 1)."),
         QStringLiteral("P")},
        {QStringLiteral("duplicate-replies"), QStringLiteral("Send every reply twice.")},
        {QStringLiteral("silence-after"), QStringLiteral("Answer N requests, then nothing more."),
         QStringLiteral("N")},
        {QStringLiteral("write-fail-at"), QStringLiteral("Report a USB write failure when chunk K is due."),
         QStringLiteral("K")},
        {QStringLiteral("cancel-at"), QStringLiteral("Report a cancel by the user when chunk K is due."),
         QStringLiteral("K")},
        {QStringLiteral("delay"), QStringLiteral("Send every reply MS milliseconds late."),
         QStringLiteral("MS")},
        {QStringLiteral("seed"),
         QStringLiteral("Start value of the random losses, to repeat a run. Default 1."),
         QStringLiteral("N")},
        {QStringLiteral("seconds"), QStringLiteral("Stop by itself after S seconds."), QStringLiteral("S")},
    });

    if (!parser.parse(arguments))
        return Error(parser.errorText());
    if (parser.isSet(help)) {
        SimulatorCommandLine result;
        result.outcome = SimulatorCommandLine::Outcome::Help;
        result.text = parser.helpText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return Error(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));

    SimulatorOptions o;
    if (parser.isSet(QStringLiteral("address"))) {
        const QString address = parser.value(QStringLiteral("address"));
        o.address = address.toStdString();
        std::uint32_t ignored = 0;
        if (!ParseIpv4(o.address, ignored))
            return Error(QStringLiteral("--address takes a dotted IPv4 address such as 127.0.0.1, not \"%1\"")
                             .arg(address));
        if (!IsLoopbackAddress(o.address))
            return Error(
                QStringLiteral("%1 is not a loopback address: the simulator answers only on 127.x.x.x "
                               "addresses, never on a network")
                    .arg(address));
    }

    if (parser.isSet(QStringLiteral("usb")) && parser.isSet(QStringLiteral("no-usb")))
        return Error(QStringLiteral("--usb and --no-usb exclude each other"));
    if (parser.isSet(QStringLiteral("usb"))) {
        o.usbFolder = parser.value(QStringLiteral("usb"));
        if (o.usbFolder.isEmpty())
            return Error(QStringLiteral("--usb needs a folder"));
    } else if (!parser.isSet(QStringLiteral("no-usb"))) {
        o.usbFolder = QDir::temp().filePath(QStringLiteral("korva-sim-usb"));
    }

    if (parser.isSet(QStringLiteral("software"))) {
        o.softwareName = parser.value(QStringLiteral("software")).toUtf8();
        const int field = LinkPacket::IdentifyNameLast - LinkPacket::IdentifyNameFirst + 1;
        if (o.softwareName.size() > field)
            return Error(QStringLiteral("--software \"%1\" is %2 bytes; the name field holds %3")
                             .arg(parser.value(QStringLiteral("software")),
                                  QString::number(o.softwareName.size()), QString::number(field)));
    }
    if (parser.isSet(QStringLiteral("core-version"))) {
        bool ok = false;
        const float version = parser.value(QStringLiteral("core-version")).toFloat(&ok);
        if (!ok || !std::isfinite(version))
            return Error(QStringLiteral("--core-version takes a number such as 3.1, not \"%1\"")
                             .arg(parser.value(QStringLiteral("core-version"))));
        o.coreVersion = version;
    }

    o.runJob = parser.isSet(QStringLiteral("job"));
    o.toolChangeRequest = parser.isSet(QStringLiteral("tool-change"));
    o.duplicateReplies = parser.isSet(QStringLiteral("duplicate-replies"));

    constexpr qint64 intMax = std::numeric_limits<std::int32_t>::max();
    Reader r{parser, {}};
    r.Integer(QStringLiteral("port"), o.port, 1, 65535);
    r.Integer(QStringLiteral("serial"), o.serialNumber, 0, intMax);
    r.Integer(QStringLiteral("job-seconds"), o.jobSeconds, 1, 86400);
    r.Integer(QStringLiteral("alarm"), o.alarmCode, 0, 255);
    r.Integer(QStringLiteral("silence-after"), o.silenceAfterRequests, 0, intMax);
    r.Integer(QStringLiteral("write-fail-at"), o.writeFailAtChunk, 0, intMax);
    r.Integer(QStringLiteral("cancel-at"), o.cancelAtChunk, 0, intMax);
    r.Integer(QStringLiteral("delay"), o.replyDelayMs, 0, 60000);
    r.Integer(QStringLiteral("seed"), o.seed, 0, std::numeric_limits<std::uint32_t>::max());
    const QString probability = QStringLiteral("a probability from 0 to 1 (0.2 loses one in five)");
    r.Real(QStringLiteral("loss-requests"), o.requestLoss, 0, 1, probability);
    r.Real(QStringLiteral("loss-replies"), o.replyLoss, 0, 1, probability);
    r.Real(QStringLiteral("seconds"), o.stopAfterSeconds, 0.001, 1e7,
           QStringLiteral("a number of seconds above 0"));
    if (!r.problem.isEmpty())
        return Error(r.problem);

    SimulatorCommandLine result;
    result.outcome = SimulatorCommandLine::Outcome::Run;
    result.options = std::move(o);
    return result;
}

} // namespace korva::sim
