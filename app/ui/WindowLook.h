#pragma once

#include <QColor>
#include <QRgb>

class QLabel;
class QLineEdit;
class QWidget;

namespace korva::look {

// The program's colours.
inline constexpr QRgb WindowBackground = 0xFF1B2A32; // under every background picture
inline constexpr QRgb TitleStrip = 0xFF184E5C;
inline constexpr QRgb EditBackground = 0xFF131E24;
inline constexpr QRgb EditText = 0xFFCBB5B6;
inline constexpr QRgb Text = 0xFFDBC2C2;   // titles, version texts, hints, job and time lines, tool names
inline constexpr QRgb Accent = 0xFF65E2FC; // links, messages, percentage, file name, tool numbers
inline constexpr QRgb Busy = 0xFF64E168;   // "Connecting...", "Machining"
inline constexpr QRgb Alarm = 0xFFF43D42;  // alarms and refusals
inline constexpr QRgb MachineName = 0xFFFFFFFF;

// The text size of a control in pixels (window points), in the default user-interface font.
void SetPixelFont(QWidget* widget, int pixelSize);

// The text colour of a label, edit box or other control.
void SetTextColour(QWidget* widget, QRgb colour);

// Fills the control's (or window's) background with the colour.
void SetBackgroundColour(QWidget* widget, QRgb colour);

// A borderless edit box: background #131E24, text #CBB5B6, the given text size.
void StyleEditBox(QLineEdit* edit, int pixelSize);

// A label's look: text colour and size; transparent background.
void StyleLabel(QLabel* label, QRgb colour, int pixelSize);

} // namespace korva::look
