#include "assets/ControlArt.h"

#include "assets/Palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace korva::assets {

using namespace palette;

void DrawTickBox(QPainter& painter, const QSize& size, bool ticked) {
    const double s = std::min(size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(s * 0.07 + 1, s * 0.07 + 1, s * 0.86 - 2, s * 0.86 - 2);
    const double radius = s * 0.2;
    if (ticked) {
        QLinearGradient fill(0, box.top(), 0, box.bottom());
        fill.setColorAt(0, QColor(0x7C, 0xEA, 0xFF));
        fill.setColorAt(1, kAccentDeep);
        painter.setPen(QPen(kAccentBright, 2));
        painter.setBrush(fill);
        painter.drawRoundedRect(box, radius, radius);
        QPainterPath tick;
        tick.moveTo(s * 0.27, s * 0.52);
        tick.lineTo(s * 0.43, s * 0.68);
        tick.lineTo(s * 0.74, s * 0.33);
        painter.setPen(QPen(kInk, s * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    } else {
        painter.setPen(QPen(QColor(0x5A, 0x8B, 0x9B), 2));
        painter.setBrush(kEditBox);
        painter.drawRoundedRect(box, radius, radius);
    }
    painter.restore();
}

namespace {

// The round badge shared by the two chrome buttons, on a square of the title strip's colour.
void DrawChromeDisc(QPainter& painter, const QSize& size, const QColor& disc, const QColor& edge) {
    painter.fillRect(QRect(QPoint(0, 0), size), kTitleStrip);
    const double s = std::min(size.width(), size.height());
    painter.setPen(QPen(edge, 1.5));
    painter.setBrush(disc);
    painter.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
}

} // namespace

void DrawCloseButton(QPainter& painter, const QSize& size, bool lit) {
    const double s = std::min(size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    DrawChromeDisc(painter, size, lit ? kRed : kStripLit,
                   lit ? QColor(0xFF, 0x7A, 0x7E) : QColor(0x3A, 0x7F, 0x90));
    painter.setPen(QPen(lit ? kWhite : kText, s * 0.11, Qt::SolidLine, Qt::RoundCap));
    const double a = s * 0.34;
    const double b = s * 0.66;
    painter.drawLine(QPointF(a, a), QPointF(b, b));
    painter.drawLine(QPointF(a, b), QPointF(b, a));
    painter.restore();
}

void DrawMinimizeButton(QPainter& painter, const QSize& size, bool lit, bool pressed) {
    const double s = std::min(size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor disc = pressed ? kAccentDeep : lit ? kAccent : kStripLit;
    const QColor edge = pressed ? kAccentDeep : lit ? kAccentBright : QColor(0x3A, 0x7F, 0x90);
    DrawChromeDisc(painter, size, disc, edge);
    painter.setPen(QPen(lit || pressed ? kInk : kText, s * 0.11, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(s * 0.32, s * 0.5), QPointF(s * 0.68, s * 0.5));
    painter.restore();
}

void DrawScrollThumb(QPainter& painter, const QSize& size) {
    const double w = size.width();
    const double h = size.height();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF pill(0.5, 0.5, w - 1, h - 1);
    QLinearGradient fill(0, 0, w, 0);
    fill.setColorAt(0, QColor(0x7E, 0xEA, 0xFF));
    fill.setColorAt(1, kAccentDeep);
    painter.setPen(QPen(QColor(0x9C, 0xF0, 0xFF), w >= 12 ? 1.0 : 0.6));
    painter.setBrush(fill);
    painter.drawRoundedRect(pill, (w - 1) / 2, (w - 1) / 2);
    // grip: three short lines in the middle when the thumb is long enough for them
    if (h >= 3 * w) {
        painter.setPen(
            QPen(QColor(0x0E, 0x22, 0x29, 150), std::max(1.0, w / 8), Qt::SolidLine, Qt::RoundCap));
        const double step = std::max(2.5, w * 0.3);
        for (int i = -1; i <= 1; ++i) {
            const double y = h / 2 + i * step;
            painter.drawLine(QPointF(w * 0.3, y), QPointF(w * 0.7, y));
        }
    }
    painter.restore();
}

} // namespace korva::assets
