#pragma once

#include <QSize>

class QPainter;

namespace korva::assets {

// Full-window background pictures. Each is laid out for its stored size and scaled to `size`.

void DrawSplash(QPainter& painter, const QSize& size);                     // 878 x 190
void DrawConnectWindow(QPainter& painter, const QSize& size);              // 537 x 871
void DrawMainWindow(QPainter& painter, const QSize& size, bool withTools); // 537 or 1073 x 871
void DrawMessageWindow(QPainter& painter, const QSize& size);              // 606 x 287

} // namespace korva::assets
