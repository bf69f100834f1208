#include "status/StatusPanel.h"

#include "status/FileLineHeight.h"
#include "status/StatusTexts.h"

namespace korva {

namespace {
constexpr std::uint8_t MachiningState = 2;
constexpr std::uint8_t RedrawMarker = 255;
} // namespace

StatusPanel::StatusPanel(LinkShared& link, StatusView& view, NC_File_To_Send_Structure& currentFile)
    : link_(link), view_(view), currentFile_(currentFile) {}

void StatusPanel::ShowIdentity() {
    ShowIdentity(link_.DecodedSnapshot());
}

void StatusPanel::ShowIdentity(const DecodedStatus& decoded) {
    view_.SetIdentityText(IdentityText(decoded));
}

RefreshOutcome StatusPanel::RefreshStatus() {
    return RefreshStatus(link_.DecodedSnapshot());
}

RefreshOutcome StatusPanel::RefreshStatus(const DecodedStatus& decoded) {
    KORVA_Status_Structure& shown = link_.LinkStatus;

    if (decoded.JobProgress != shown.ShownJobProgress) {
        shown.ShownJobProgress = decoded.JobProgress;
        view_.ShowProgressRing(decoded.JobProgress);
    }

    if (decoded.JobCount != shown.ShownJobCount) {
        shown.ShownJobCount = decoded.JobCount;
        view_.SetJobsText(JobsText(decoded.JobCount));
    }

    if (decoded.JobTimeSeconds != shown.ShownJobTime) {
        shown.ShownJobTime = decoded.JobTimeSeconds;
        view_.SetJobTimeText(JobTimeText(decoded.JobTimeSeconds));
    }

    if (decoded.AlarmCode != LinkPacket::NoAlarm) {
        // Draw the machine state again once the alarm has cleared.
        shown.ShownMachineState = RedrawMarker;
        view_.SetStatusFontSize(StatusFontSize::Alarm);
        view_.SetStatusColour(StatusColour::Red);
        view_.SetBlinkEnabled(true);
        if (const std::optional<QString> text = AlarmText(decoded.AlarmCode)) {
            view_.SetStatusText(*text);
            return RefreshOutcome::EndedOnKnownAlarm;
        }
        // An alarm without a text keeps the caption, now in the alarm look.
    } else {
        drawMachineState(decoded);
    }

    drawToolChange(decoded);
    return RefreshOutcome::Completed;
}

void StatusPanel::drawMachineState(const DecodedStatus& decoded) {
    KORVA_Status_Structure& shown = link_.LinkStatus;
    if (decoded.MachineState == shown.ShownMachineState)
        return;
    shown.ShownMachineState = decoded.MachineState;

    const bool machining = decoded.MachineState == MachiningState;
    view_.SetBlinkEnabled(false);
    view_.SetFileDropsAccepted(!machining);
    view_.SetStatusVisible(true);
    if (machining) {
        view_.SetStatusText(MachiningText);
        view_.SetStatusColour(StatusColour::Green);
        view_.SetStatusFontSize(StatusFontSize::Machining);
    } else {
        view_.SetStatusText(MachineStoppedText);
        view_.SetStatusColour(StatusColour::Text);
        view_.SetStatusFontSize(StatusFontSize::Stopped);
    }
    view_.SetSendAndDropVisible(!machining);

    QString fileLine;
    if (machining) {
        view_.SetFileLineColour(StatusColour::Accent);
        fileLine = QString::fromUtf8(decoded.ControllerFileName);
    } else {
        if (currentFile_.Valid) {
            view_.SetFileLineColour(StatusColour::Accent);
        } else {
            // Without a chosen file the line is emptied, so a refusal notice does not linger.
            view_.SetFileLineColour(StatusColour::Red);
            currentFile_.Name.clear();
        }
        fileLine = currentFile_.Name;
    }
    view_.SetFileLineHeight(FileLineHeightPixels(view_.ScreenDpi()));
    view_.SetFileLineText(fileLine);
}

void StatusPanel::drawToolChange(const DecodedStatus& decoded) {
    KORVA_Status_Structure& shown = link_.LinkStatus;
    if (decoded.ToolChangeRequest && !shown.ToolChangeShown) {
        shown.ToolChangeShown = true;
        view_.SetStatusText(ChangeToolText);
        view_.SetStatusFontSize(StatusFontSize::ChangeTool);
        view_.SetStatusColour(StatusColour::Red);
        view_.SetBlinkEnabled(true);
    } else if (!decoded.ToolChangeRequest && shown.ToolChangeShown) {
        shown.ToolChangeShown = false;
        view_.SetBlinkEnabled(false);
        // The next refresh draws the machine state again and makes the line visible.
        shown.ShownMachineState = RedrawMarker;
    }
}

} // namespace korva
