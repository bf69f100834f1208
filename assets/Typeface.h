#pragma once

#include <QFont>
#include <QString>

class QPainter;
class QRectF;

namespace korva::assets {

// The platform's user-interface sans font (Helvetica Neue / SF on macOS, DejaVu Sans or the
// desktop's sans on Linux) at a size in picture pixels.
QFont ArtFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// Largest pixel size, at most `pixelSize`, at which `text` fits into `width` pixels.
int FittingPixelSize(const QString& text, int pixelSize, QFont::Weight weight, double width);

} // namespace korva::assets
