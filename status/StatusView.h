#pragma once

#include <QString>
#include <cstdint>

namespace korva {

// Colours of the status panel as 0xRRGGBB (no alpha); a window turns them into a colour with
// QColor::fromRgb(QRgb(value)), which takes the alpha as opaque.
namespace StatusColour {
inline constexpr std::uint32_t Text = 0xDBC2C2;   // "Machine Stopped", identity block, jobs, job time
inline constexpr std::uint32_t Accent = 0x65E2FC; // file line with a chosen or running file
inline constexpr std::uint32_t Green = 0x64E168;  // "Machining"
inline constexpr std::uint32_t Red = 0xF43D42;    // alarms, "Change Tool", file line without a file
} // namespace StatusColour

// Font sizes (points) of the status line looks.
namespace StatusFontSize {
inline constexpr int Machining = 18;
inline constexpr int Stopped = 12;
inline constexpr int Alarm = 11;
inline constexpr int ChangeTool = 16;
} // namespace StatusFontSize

// What the status panel draws into. The main window implements it with its controls; tests implement
// it with a recorder. Every call sets exactly one property and is made on the UI thread.
class StatusView {
public:
    virtual ~StatusView() = default;

    // The progress ring: picture n (0 to 100; other values keep the picture) and the text n + "%".
    virtual void ShowProgressRing(std::int32_t n) = 0;

    // lbl_Jobs caption ("Jobs: 12").
    virtual void SetJobsText(const QString& text) = 0;
    // lbl_NC_File_Sent_Time caption ("Job Time: 1:5:9").
    virtual void SetJobTimeText(const QString& text) = 0;
    // lbl_KORVA_Info caption: the three identity lines separated by "\n".
    virtual void SetIdentityText(const QString& text) = 0;

    // lbl_Machine_Status.
    virtual void SetStatusText(const QString& text) = 0;
    virtual void SetStatusFontSize(int points) = 0;
    virtual void SetStatusColour(std::uint32_t rgb) = 0;
    virtual void SetStatusVisible(bool visible) = 0;

    // tmr_Messgae_Blink. While enabled, every 500 ms the view toggles the visibility of
    // lbl_Machine_Status (tmr_Messgae_BlinkTimer); disabling only stops the timer.
    virtual void SetBlinkEnabled(bool enabled) = 0;

    // Whether the main window accepts file drops.
    virtual void SetFileDropsAccepted(bool accepted) = 0;
    // Img_Send_File_Connect and Img_Drop_NC_File together.
    virtual void SetSendAndDropVisible(bool visible) = 0;

    // lbl_NC_File_Name. The height is in pixels, already scaled to the screen (FileLineHeightPixels).
    virtual void SetFileLineColour(std::uint32_t rgb) = 0;
    virtual void SetFileLineHeight(int pixels) = 0;
    virtual void SetFileLineText(const QString& text) = 0;

    // Pixels per inch of the screen the main window is on (96 on a standard screen).
    virtual double ScreenDpi() const = 0;
};

} // namespace korva
