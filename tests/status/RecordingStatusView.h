#pragma once

#include "status/StatusView.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace korva::test {

// A StatusView that keeps the state a window would show and logs every call in order, so a test can
// check both what is on screen and what was drawn by one refresh.
class RecordingStatusView : public StatusView {
public:
    static QString hex(std::uint32_t rgb) {
        return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
    }

    void ShowProgressRing(std::int32_t n) override {
        ring = n;
        log << QStringLiteral("ring %1").arg(n);
    }
    void SetJobsText(const QString& text) override {
        jobs = text;
        log << QStringLiteral("jobs ") + text;
    }
    void SetJobTimeText(const QString& text) override {
        jobTime = text;
        log << QStringLiteral("jobTime ") + text;
    }
    void SetIdentityText(const QString& text) override {
        identity = text;
        log << QStringLiteral("identity ") + text;
    }
    void SetStatusText(const QString& text) override {
        statusText = text;
        log << QStringLiteral("status.text ") + text;
    }
    void SetStatusFontSize(int points) override {
        statusSize = points;
        log << QStringLiteral("status.size %1").arg(points);
    }
    void SetStatusColour(std::uint32_t rgb) override {
        statusColour = rgb;
        log << QStringLiteral("status.colour ") + hex(rgb);
    }
    void SetStatusVisible(bool visible) override {
        statusVisible = visible;
        log << QStringLiteral("status.visible %1").arg(visible);
    }
    void SetBlinkEnabled(bool enabled) override {
        blink = enabled;
        log << QStringLiteral("blink %1").arg(enabled);
    }
    void SetFileDropsAccepted(bool accepted) override {
        dropsAccepted = accepted;
        log << QStringLiteral("drops %1").arg(accepted);
    }
    void SetSendAndDropVisible(bool visible) override {
        sendAndDropVisible = visible;
        log << QStringLiteral("sendAndDrop.visible %1").arg(visible);
    }
    void SetFileLineColour(std::uint32_t rgb) override {
        fileLineColour = rgb;
        log << QStringLiteral("file.colour ") + hex(rgb);
    }
    void SetFileLineHeight(int pixels) override {
        fileLineHeight = pixels;
        log << QStringLiteral("file.height %1").arg(pixels);
    }
    void SetFileLineText(const QString& text) override {
        fileLine = text;
        log << QStringLiteral("file.text ") + text;
    }
    double ScreenDpi() const override { return dpi; }

    // One tick of tmr_Messgae_Blink while it is enabled.
    void blinkTick() {
        if (blink)
            statusVisible = !statusVisible;
    }

    double dpi = 96.0;
    QStringList log;

    std::int32_t ring = -1;
    QString jobs = QStringLiteral("Jobs:");
    QString jobTime;
    QString identity;
    QString statusText = QStringLiteral("Connecting...");
    int statusSize = 12;
    std::uint32_t statusColour = StatusColour::Green;
    bool statusVisible = true;
    bool blink = true;
    bool dropsAccepted = false;
    bool sendAndDropVisible = false;
    std::uint32_t fileLineColour = 0;
    int fileLineHeight = 0;
    QString fileLine;
};

} // namespace korva::test
