#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <initializer_list>

class QPainter;

namespace korva::assets {

// One colour of an SVG source replaced by another before it is drawn, e.g. the light logotype
// turned dark for a white ground. `from` is written as in the source ("#F2F6F8").
struct ColourSwap {
    const char* from;
    QColor to;
};

// Draws the SVG source assets/art/<name>.svg into `target`. With a valid `viewBox` only that part
// of the source is drawn. Returns false (and draws nothing) when the source is missing or broken.
bool DrawSvg(QPainter& painter, const QString& name, const QRectF& target,
             std::initializer_list<ColourSwap> swaps = {}, const QRectF& viewBox = QRectF());

// The natural size of an SVG source (its width and height), or an empty size when it is missing.
QSizeF SvgSize(const QString& name);

} // namespace korva::assets
