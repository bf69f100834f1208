#include "sim/JobCycle.h"

#include <algorithm>

namespace korva::sim {

JobCycle::JobCycle(int jobSeconds, int pauseSeconds)
    : job_(std::chrono::seconds(std::max(1, jobSeconds))),
      pause_(std::chrono::seconds(std::max(0, pauseSeconds))) {}

JobCycle::Event JobCycle::Advance(Clock::time_point now, StatusReply& status) {
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;

    if (!machining_) {
        if (started_ && now - phaseStart_ < pause_)
            return Event::None;
        started_ = true;
        machining_ = true;
        phaseStart_ = now;
        secondsCredited_ = 0;
        status.machineState = LinkPacket::MachineStateMachining;
        status.jobProgress = 0;
        return Event::JobStarted;
    }

    const auto elapsed = std::min(duration_cast<milliseconds>(now - phaseStart_), job_);
    const int seconds = static_cast<int>(elapsed.count() / 1000);
    status.jobTimeSeconds += seconds - secondsCredited_;
    secondsCredited_ = seconds;
    if (elapsed >= job_) {
        machining_ = false;
        phaseStart_ = now;
        status.machineState = MachineStateStopped;
        status.jobProgress = 100;
        status.jobCount += 1;
        return Event::JobFinished;
    }
    status.machineState = LinkPacket::MachineStateMachining;
    status.jobProgress = static_cast<int>(elapsed.count() * 100 / job_.count());
    return Event::None;
}

} // namespace korva::sim
