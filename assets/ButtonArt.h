#pragma once

#include <QSize>
#include <QString>

class QPainter;

namespace korva::assets {

// Look of an image button that carries its caption.
enum class ButtonKind {
    Primary,   // filled accent: the main action of a window
    Secondary, // dark with an accent outline
    Danger,    // dark with a red outline
};

enum class ButtonGlyph { None, Signal, Power, Upload, Download, Document, Reset, ChevronRight, ChevronLeft };

enum class ButtonState { Normal, Hover, Pressed };

struct ButtonFace {
    QString caption;
    ButtonKind kind = ButtonKind::Secondary;
    ButtonGlyph glyph = ButtonGlyph::None;
    bool glyphAfterCaption = false; // chevrons follow the caption, symbols lead it
};

// Draws one picture of a caption button filling a picture of `size` pixels (transparent corners).
void DrawButton(QPainter& painter, const QSize& size, const ButtonFace& face, ButtonState state);

} // namespace korva::assets
