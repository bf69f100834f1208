#pragma once

#include "link/LinkPacket.h"
#include "sim/DefaultToolNames.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string>

namespace korva::sim {

// Everything a simulated controller is started with.
struct SimulatorOptions {
    std::string address = "127.0.0.1";     // loopback address to bind; any address outside 127.x is refused
    int port = LinkPacket::ControllerPort; // 0: any free port (ControllerSimulator::Port tells which)

    // Identity; the defaults describe a later-generation controller (serial above 5000).
    std::int32_t serialNumber = 7000;
    float coreVersion = 3.1f;
    QByteArray softwareName = "Mill 5-Axis";

    QString usbFolder;       // where received files are written; empty: no USB drive (FileStart answers 233)
    bool runJob = false;     // job mode: machining, progress 0..100, job time counting, count + 1 at the end
    int jobSeconds = 20;     // length of one simulated job
    int jobPauseSeconds = 5; // stopped time between two jobs
    ToolNames toolNames = DefaultToolNames(); // index 1..118

    // Machine state at the start.
    std::uint8_t alarmCode = LinkPacket::NoAlarm;
    bool toolChangeRequest = false;

    // Faults.
    std::uint32_t seed = 1;        // of the random loss decisions, so that a run can be repeated
    double requestLoss = 0;        // probability that a request is lost before the controller reads it
    double replyLoss = 0;          // probability that a reply is lost on its way back
    bool duplicateReplies = false; // every reply is sent twice
    int silenceAfterRequests = -1; // answer this many requests, then none (-1: never fall silent)
    int writeFailAtChunk = -1;     // FileData status 1 (write failure) when this chunk is due
    int cancelAtChunk = -1; // FileData status 2 "USER" (cancelled on the controller) when this chunk is due
    int replyDelayMs = 0;   // every reply leaves this long after its request arrived
    double stopAfterSeconds = 0; // the simulator stops by itself after this long; 0: runs until stopped
};

} // namespace korva::sim
