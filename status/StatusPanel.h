#pragma once

#include "link/LinkStatus.h"
#include "status/StatusView.h"
#include "transfer/CurrentFile.h"

namespace korva {

// How a status refresh ended. The tick ends when a known alarm ended the refresh.
enum class RefreshOutcome {
    Completed,
    EndedOnKnownAlarm,
};

// The machine status panel: turns the decoded controller data into the main window's identity block,
// status line, job counter, job time and job progress. Runs on the UI thread only. It remembers what
// it drew in the display caches of LinkStatus (ShownMachineState, ShownJobProgress, ShownJobCount,
// ShownJobTime, ToolChangeShown) and redraws a value only when it differs from the one last drawn.
class StatusPanel {
public:
    StatusPanel(LinkShared& link, StatusView& view, NC_File_To_Send_Structure& currentFile);

    // Writes the identity block. The overload without arguments takes a snapshot of the decoded data.
    void ShowIdentity();
    void ShowIdentity(const DecodedStatus& decoded);

    // One status refresh: job progress, job count, job time, alarm, machine state, tool change.
    // The overload without arguments takes one snapshot of the decoded data, so that every field is
    // read once; the other works on a snapshot the caller already took.
    RefreshOutcome RefreshStatus();
    RefreshOutcome RefreshStatus(const DecodedStatus& decoded);

private:
    void drawMachineState(const DecodedStatus& decoded);
    void drawToolChange(const DecodedStatus& decoded);

    LinkShared& link_;
    StatusView& view_;
    NC_File_To_Send_Structure& currentFile_;
};

} // namespace korva
