#pragma once

#include "link/LinkPacket.h"

#include <chrono>

namespace korva::sim {

// Machine state the simulator reports while not machining.
inline constexpr std::uint8_t MachineStateStopped = 0;

// The simulated machine's jobs: a job of `jobSeconds` runs (machining, progress 0 to 100, the job
// time counting up each second), then the job counter goes up by one and the machine stands
// stopped for `pauseSeconds` before the next job starts.
class JobCycle {
public:
    using Clock = std::chrono::steady_clock;

    enum class Event { None, JobStarted, JobFinished };

    JobCycle(int jobSeconds, int pauseSeconds);

    // Moves the machine on to `now` and writes the progress, machine state, job time and job
    // count into `status`. Fields changed elsewhere meanwhile (a reset counter, say) are kept:
    // the cycle only adds its seconds and jobs to them.
    Event Advance(Clock::time_point now, StatusReply& status);

private:
    std::chrono::milliseconds job_;
    std::chrono::milliseconds pause_;
    bool started_ = false;
    bool machining_ = false;
    Clock::time_point phaseStart_{};
    int secondsCredited_ = 0;
};

} // namespace korva::sim
