#pragma once

#include "link/ConnectionView.h"

#include <QString>
#include <QStringList>

namespace korva::test {

// A ConnectionView that logs every call in order, one line per call.
class RecordingConnectionView : public ConnectionView {
public:
    static QString Hex(std::uint32_t rgb) {
        return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
    }

    void HideConnectedControls() override { log << QStringLiteral("HideConnectedControls"); }
    void ShowStatusLine(const QString& text, int fontSize, std::uint32_t colour) override {
        log << QStringLiteral("ShowStatusLine %1 %2 %3").arg(text).arg(fontSize).arg(Hex(colour));
    }
    void SetStatusBlink(bool enabled) override { log << QStringLiteral("SetStatusBlink %1").arg(enabled); }
    void ShowFileLine(const QString& text, std::uint32_t colour) override {
        log << QStringLiteral("ShowFileLine %1 %2").arg(text, Hex(colour));
    }
    void ApplyNarrowLayout() override { log << QStringLiteral("ApplyNarrowLayout"); }
    void ShowProgressRing(int percent) override { log << QStringLiteral("ShowProgressRing %1").arg(percent); }
    void SetMachineNameCaption(const QString& caption) override {
        log << QStringLiteral("SetMachineNameCaption ") + caption;
    }
    void ShowConnectedControls() override { log << QStringLiteral("ShowConnectedControls"); }
    void SetFileLineText(const QString& text) override { log << QStringLiteral("SetFileLineText ") + text; }
    void ApplyToolsPanelLayout() override { log << QStringLiteral("ApplyToolsPanelLayout"); }
    void ShowIdentity(const DecodedStatus& identity) override {
        log << QStringLiteral("ShowIdentity %1 %2")
                   .arg(identity.SerialNumber)
                   .arg(QString::fromLatin1(identity.SoftwareName));
    }
    void SetToolListCount(int toolCount) override {
        log << QStringLiteral("SetToolListCount %1").arg(toolCount);
    }
    bool RefreshStatus(LinkShared&) override {
        log << QStringLiteral("RefreshStatus");
        return knownAlarmShown;
    }
    void SetFileDropsAccepted(bool accepted) override {
        log << QStringLiteral("SetFileDropsAccepted %1").arg(accepted);
    }
    void SetSendAndDropPicturesVisible(bool visible) override {
        log << QStringLiteral("SetSendAndDropPicturesVisible %1").arg(visible);
    }
    void ShowToolFetchProgress(int requestedTool, int toolCount) override {
        log << QStringLiteral("ShowToolFetchProgress %1 %2").arg(requestedTool).arg(toolCount);
    }
    void ShowToolFetchEnd() override { log << QStringLiteral("ShowToolFetchEnd"); }
    void StartFileSentLine() override { log << QStringLiteral("StartFileSentLine"); }
    void ShowTransferOutcome(int transferResult) override {
        log << QStringLiteral("ShowTransferOutcome %1").arg(transferResult);
    }
    void ShowTransferProgress() override { log << QStringLiteral("ShowTransferProgress"); }

    // Calls whose line starts with the given text.
    int Count(const QString& prefix) const {
        int n = 0;
        for (const QString& line : log)
            n += line.startsWith(prefix) ? 1 : 0;
        return n;
    }
    QStringList TakeLog() {
        QStringList taken = log;
        log.clear();
        return taken;
    }

    QStringList log;
    bool knownAlarmShown = false;
};

} // namespace korva::test
