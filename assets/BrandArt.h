#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>

class QPainter;

namespace korva::assets {

// The ground a brand mark is drawn on: the dark theme, or white paper (the QR picture).
enum class Ground { Dark, Light };

// The KORVA emblem (ring, spindle dot and K) filling the square `square`.
void DrawEmblem(QPainter& painter, const QRectF& square, Ground ground);

// The logotype "KORVA" (and with `withRivo` the light "Rivo" after it), `height` pixels tall with
// its top left at `topLeft`.
void DrawWordmark(QPainter& painter, const QPointF& topLeft, double height, Ground ground, bool withRivo);
double WordmarkWidth(double height, bool withRivo);

// "MADE WITH KORVA" mark for white paper, filling a picture of `size` (160 x 33).
void DrawMadeWithLogo(QPainter& painter, const QSize& size);

} // namespace korva::assets
