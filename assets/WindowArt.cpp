#include "assets/WindowArt.h"

#include "assets/BrandArt.h"
#include "assets/SvgArt.h"

#include <QPainter>

namespace korva::assets {

void DrawSplash(QPainter& painter, const QSize& size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSvg(painter, QStringLiteral("splash"), QRectF(0, 0, size.width(), size.height()));
    painter.scale(size.width() / 878.0, size.height() / 190.0);
    DrawEmblem(painter, QRectF(34, 30, 128, 128), Ground::Dark);
    DrawWordmark(painter, QPointF(188, 50), 56, Ground::Dark, true);
    painter.restore();
}

void DrawConnectWindow(QPainter& painter, const QSize& size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSvg(painter, QStringLiteral("connect_window"), QRectF(0, 0, size.width(), size.height()));
    painter.scale(size.width() / 537.0, size.height() / 871.0);
    const double emblemSide = 112;
    DrawEmblem(painter, QRectF(268 - emblemSide / 2, 140 - emblemSide / 2, emblemSide, emblemSide),
               Ground::Dark);
    const double markHeight = 34;
    DrawWordmark(painter, QPointF(268 - WordmarkWidth(markHeight, true) / 2, 222), markHeight, Ground::Dark,
                 true);
    painter.restore();
}

void DrawMainWindow(QPainter& painter, const QSize& size, bool withTools) {
    // One source holds both: the narrow window is its left 537 units.
    const QRectF part = withTools ? QRectF(0, 0, 1073, 871) : QRectF(0, 0, 537, 871);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSvg(painter, QStringLiteral("main_window"), QRectF(0, 0, size.width(), size.height()), {}, part);
    painter.restore();
}

void DrawMessageWindow(QPainter& painter, const QSize& size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSvg(painter, QStringLiteral("message_window"), QRectF(0, 0, size.width(), size.height()));
    painter.scale(size.width() / 606.0, size.height() / 287.0);
    DrawEmblem(painter, QRectF(18, 12, 38, 38), Ground::Dark);
    painter.restore();
}

} // namespace korva::assets
