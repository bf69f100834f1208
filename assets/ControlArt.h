#pragma once

#include <QSize>

class QPainter;

namespace korva::assets {

// Small controls drawn in code: they come in states and share one style.

void DrawTickBox(QPainter& painter, const QSize& size, bool ticked);

// Close and minimise buttons of the title strip; `lit` is the hover look, `pressed` the held one.
void DrawCloseButton(QPainter& painter, const QSize& size, bool lit);
void DrawMinimizeButton(QPainter& painter, const QSize& size, bool lit, bool pressed = false);

// Thumb of the tool list's scroll bar, a vertical pill with a grip in its middle.
void DrawScrollThumb(QPainter& painter, const QSize& size);

} // namespace korva::assets
