#pragma once

#include <QColor>

// The colours of the program's dark theme, shared by every picture that is drawn in code.
// The SVG sources under assets/art use the same values.
namespace korva::assets::palette {

// Colours the windows and labels use as well.
inline const QColor kWindow{0x1B, 0x2A, 0x32};     // window background
inline const QColor kTitleStrip{0x18, 0x4E, 0x5C}; // title strip
inline const QColor kEditBox{0x13, 0x1E, 0x24};    // edit box background
inline const QColor kEditText{0xCB, 0xB5, 0xB6};   // edit box text
inline const QColor kText{0xDB, 0xC2, 0xC2};       // ordinary label text
inline const QColor kAccent{0x65, 0xE2, 0xFC};     // accent text and marks
inline const QColor kGreen{0x64, 0xE1, 0x68};      // busy texts
inline const QColor kRed{0xF4, 0x3D, 0x42};        // alarms and refusals
inline const QColor kWhite{0xFF, 0xFF, 0xFF};

// Shades derived from them for the artwork.
inline const QColor kInk{0x0E, 0x22, 0x29};          // dark text on accent surfaces
inline const QColor kPanel{0x1F, 0x32, 0x3C};        // raised panels
inline const QColor kPanelEdge{0x2A, 0x46, 0x53};    // panel outlines
inline const QColor kFrameEdge{0x35, 0x59, 0x6A};    // edit-box frames
inline const QColor kAccentDeep{0x2B, 0xA3, 0xC0};   // shaded accent
inline const QColor kAccentBright{0xA6, 0xF1, 0xFF}; // lit accent
inline const QColor kRingTrack{0x22, 0x38, 0x42};    // unfilled part of the progress ring
inline const QColor kStripLit{0x2A, 0x68, 0x78};     // chrome buttons at rest on the title strip

} // namespace korva::assets::palette
