#pragma once

#include "sim/SimulatorOptions.h"

#include <QString>
#include <QStringList>

namespace korva::sim {

// What the korva-sim command line asks for.
struct SimulatorCommandLine {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Error;
    SimulatorOptions options; // for Run
    QString text;             // the help text for Help, the problem for Error
};

// Reads the korva-sim arguments (the program name first). Without --usb or --no-usb the USB
// drive is the folder "korva-sim-usb" in the system's temporary folder, so files can be sent
// right away. Addresses outside 127.x.x.x, values out of range and unknown options are errors.
SimulatorCommandLine ParseSimulatorCommandLine(const QStringList& arguments);

} // namespace korva::sim
