#include "assets/RingArt.h"

#include "assets/Palette.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace korva::assets {

using namespace palette;

void DrawProgressRing(QPainter& painter, const QSize& size, int percent) {
    const int p = std::clamp(percent, 0, 100);
    const double scale = std::min(size.width(), size.height()) / double(RingGeometry::kPictureSide);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double radius = RingGeometry::kRadius * scale;
    const double band = RingGeometry::kBand * scale;
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    // hairlines either side of the track give it a machined edge
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x2F, 0x50, 0x5E), 1.2 * scale));
    const double outer = radius + band / 2 + 3 * scale;
    painter.drawEllipse(centre, outer, outer);

    painter.setPen(QPen(kRingTrack, band, Qt::SolidLine, Qt::FlatCap));
    painter.drawEllipse(centre, radius, radius);

    if (p > 0) {
        // Qt's angles run counter-clockwise from three o'clock; the arc runs clockwise from twelve.
        // The gradient is laid so that the arc's head is always the brightest part.
        const double sweep = 360.0 * p / 100.0;
        QConicalGradient shade(centre, 90.0);
        const double head = 1.0 - p / 100.0;
        shade.setColorAt(0.0, kAccent);
        if (head > 0.0) {
            shade.setColorAt(head, kAccent);
        }
        shade.setColorAt(1.0, kAccentDeep);
        QPen arcPen(QBrush(shade), band, Qt::SolidLine, Qt::FlatCap);
        painter.setPen(arcPen);
        if (p == 100) {
            painter.drawEllipse(centre, radius, radius);
        } else {
            painter.drawArc(circle, 90 * 16, -static_cast<int>(sweep * 16.0 + 0.5));
        }
    }
    painter.restore();
}

} // namespace korva::assets
