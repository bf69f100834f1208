#include "assets/ButtonArt.h"

#include "assets/Palette.h"
#include "assets/Typeface.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace korva::assets {
namespace {

struct Colours {
    QColor top;
    QColor bottom;
    QColor edge;
    QColor caption;
    QColor sheen; // thin highlight along the top inside edge
};

Colours ColoursFor(ButtonKind kind, ButtonState state) {
    using namespace palette;
    switch (kind) {
    case ButtonKind::Primary:
        switch (state) {
        case ButtonState::Normal:
            return {QColor(0x70, 0xE6, 0xFF), QColor(0x3C, 0xBB, 0xD9), QColor(0x93, 0xEE, 0xFF), kInk,
                    QColor(255, 255, 255, 90)};
        case ButtonState::Hover:
            return {QColor(0xB8, 0xF6, 0xFF), QColor(0x6C, 0xDE, 0xF7), QColor(0xE4, 0xFC, 0xFF), kInk,
                    QColor(255, 255, 255, 150)};
        case ButtonState::Pressed:
            return {QColor(0x22, 0x8A, 0xA4), QColor(0x34, 0xA9, 0xC5), QColor(0x1E, 0x80, 0x99),
                    QColor(0x06, 0x16, 0x1B), QColor(0, 0, 0, 70)};
        }
        break;
    case ButtonKind::Secondary:
        switch (state) {
        case ButtonState::Normal:
            return {QColor(0x28, 0x46, 0x54), QColor(0x1F, 0x37, 0x42), QColor(0x42, 0x6E, 0x7E), kText,
                    QColor(255, 255, 255, 22)};
        case ButtonState::Hover:
            return {QColor(0x33, 0x62, 0x74), QColor(0x27, 0x4E, 0x5D), kAccent, kWhite,
                    QColor(255, 255, 255, 40)};
        case ButtonState::Pressed:
            return {QColor(0x12, 0x22, 0x2A), QColor(0x19, 0x2E, 0x38), kAccentDeep, kAccent,
                    QColor(0, 0, 0, 80)};
        }
        break;
    case ButtonKind::Danger:
        switch (state) {
        case ButtonState::Normal:
            return {QColor(0x2C, 0x38, 0x41), QColor(0x23, 0x2E, 0x36), QColor(0xB8, 0x3C, 0x42), kText,
                    QColor(255, 255, 255, 22)};
        case ButtonState::Hover:
            return {QColor(0x62, 0x2C, 0x32), QColor(0x4C, 0x22, 0x28), kRed, kWhite,
                    QColor(255, 255, 255, 40)};
        case ButtonState::Pressed:
            return {QColor(0x2A, 0x14, 0x18), QColor(0x38, 0x1B, 0x20), QColor(0xC0, 0x30, 0x36),
                    QColor(0xFF, 0x9A, 0x9D), QColor(0, 0, 0, 80)};
        }
        break;
    }
    return {};
}

// Symbols drawn with strokes inside a square of side `s` whose top left is `o`.
void DrawGlyph(QPainter& painter, ButtonGlyph glyph, QPointF o, double s, const QColor& colour) {
    QPen pen(colour, std::max(1.6, s * 0.13), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const auto at = [&](double x, double y) { return QPointF(o.x() + x * s, o.y() + y * s); };
    switch (glyph) {
    case ButtonGlyph::None:
        break;
    case ButtonGlyph::Signal: {
        // a source dot with two waves going up and to the right
        painter.setBrush(colour);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(at(0.2, 0.8), s * 0.1, s * 0.1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QPointF centre = at(0.2, 0.8);
        for (double r : {0.38, 0.68}) {
            painter.drawArc(QRectF(centre.x() - r * s, centre.y() - r * s, 2 * r * s, 2 * r * s), 0 * 16,
                            90 * 16);
        }
        break;
    }
    case ButtonGlyph::Power: {
        // open circle with its gap at the top, and the bar through the gap
        painter.drawArc(QRectF(at(0.1, 0.16), QSizeF(0.8 * s, 0.8 * s)), 58 * 16, -296 * 16);
        painter.drawLine(at(0.5, 0.04), at(0.5, 0.5));
        break;
    }
    case ButtonGlyph::Upload:
    case ButtonGlyph::Download: {
        QPainterPath tray;
        tray.moveTo(at(0.08, 0.62));
        tray.lineTo(at(0.08, 0.92));
        tray.lineTo(at(0.92, 0.92));
        tray.lineTo(at(0.92, 0.62));
        painter.drawPath(tray);
        painter.drawLine(at(0.5, 0.06), at(0.5, 0.7));
        QPainterPath head;
        if (glyph == ButtonGlyph::Upload) {
            head.moveTo(at(0.26, 0.3));
            head.lineTo(at(0.5, 0.06));
            head.lineTo(at(0.74, 0.3));
        } else {
            head.moveTo(at(0.26, 0.46));
            head.lineTo(at(0.5, 0.7));
            head.lineTo(at(0.74, 0.46));
        }
        painter.drawPath(head);
        break;
    }
    case ButtonGlyph::Document: {
        QPainterPath page;
        page.moveTo(at(0.18, 0.04));
        page.lineTo(at(0.58, 0.04));
        page.lineTo(at(0.82, 0.28));
        page.lineTo(at(0.82, 0.96));
        page.lineTo(at(0.18, 0.96));
        page.closeSubpath();
        page.moveTo(at(0.58, 0.04));
        page.lineTo(at(0.58, 0.28));
        page.lineTo(at(0.82, 0.28));
        painter.drawPath(page);
        painter.drawLine(at(0.33, 0.52), at(0.67, 0.52));
        painter.drawLine(at(0.33, 0.74), at(0.67, 0.74));
        break;
    }
    case ButtonGlyph::Reset: {
        const QRectF circle(at(0.1, 0.12), QSizeF(0.8 * s, 0.8 * s));
        painter.drawArc(circle, 100 * 16, 280 * 16);
        // arrow head where the arc ends just left of the top, pointing on clockwise
        QPainterPath head;
        head.moveTo(at(0.30, 0.0));
        head.lineTo(at(0.50, 0.12));
        head.lineTo(at(0.32, 0.28));
        painter.drawPath(head);
        break;
    }
    case ButtonGlyph::ChevronRight:
    case ButtonGlyph::ChevronLeft: {
        QPainterPath chevron;
        const bool right = glyph == ButtonGlyph::ChevronRight;
        chevron.moveTo(at(right ? 0.34 : 0.66, 0.14));
        chevron.lineTo(at(right ? 0.7 : 0.3, 0.5));
        chevron.lineTo(at(right ? 0.34 : 0.66, 0.86));
        QPen heavy = pen;
        heavy.setWidthF(pen.widthF() * 1.25);
        painter.setPen(heavy);
        painter.drawPath(chevron);
        break;
    }
    }
}

} // namespace

void DrawButton(QPainter& painter, const QSize& size, const ButtonFace& face, ButtonState state) {
    const Colours c = ColoursFor(face.kind, state);
    const double w = size.width();
    const double h = size.height();
    const double edgeWidth = std::clamp(h * 0.05, 1.0, 2.5);
    const QRectF body =
        QRectF(0, 0, w, h)
            .adjusted(edgeWidth / 2 + 0.5, edgeWidth / 2 + 0.5, -edgeWidth / 2 - 0.5, -edgeWidth / 2 - 0.5);
    const double radius = std::min(h * 0.28, 13.0);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, c.top);
    fill.setColorAt(1, c.bottom);
    painter.setPen(QPen(c.edge, edgeWidth));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, radius, radius);

    // sheen: a soft line inside the top edge (a shadow when pressed)
    const QRectF inner = body.adjusted(edgeWidth, edgeWidth, -edgeWidth, -edgeWidth);
    QLinearGradient sheen(0, inner.top(), 0, inner.top() + h * 0.4);
    sheen.setColorAt(0, c.sheen);
    QColor clear = c.sheen;
    clear.setAlpha(0);
    sheen.setColorAt(1, clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(sheen);
    painter.drawRoundedRect(inner, radius - edgeWidth, radius - edgeWidth);

    // caption and glyph as one group, centred; pressed content sinks a little
    const double sink = state == ButtonState::Pressed ? std::max(1.0, h * 0.035) : 0.0;
    const int wanted = static_cast<int>(std::nearbyint(h <= 40 ? h * 0.5 : h * 0.44));
    const bool hasGlyph = face.glyph != ButtonGlyph::None;
    const double glyphSide = wanted * 0.92;
    const double gap = hasGlyph ? wanted * 0.5 : 0.0;
    const double room = w - 2 * radius - (hasGlyph ? glyphSide + gap : 0.0);
    const int pixels = FittingPixelSize(face.caption, wanted, QFont::DemiBold, room);
    const QFont font = ArtFont(pixels, QFont::DemiBold);
    const QFontMetricsF metrics(font);
    const double textWidth = metrics.horizontalAdvance(face.caption);
    const double groupWidth = textWidth + (hasGlyph ? gap + glyphSide : 0.0);
    const double left = (w - groupWidth) / 2;
    const double centreY = h / 2 + sink;

    const double textLeft = face.glyphAfterCaption || !hasGlyph ? left : left + glyphSide + gap;
    const double baseline = centreY + (metrics.capHeight()) / 2;
    painter.setFont(font);
    painter.setPen(c.caption);
    painter.drawText(QPointF(textLeft, baseline), face.caption);

    if (hasGlyph) {
        const double glyphLeft = face.glyphAfterCaption ? left + textWidth + gap : left;
        DrawGlyph(painter, face.glyph, QPointF(glyphLeft, centreY - glyphSide / 2), glyphSide, c.caption);
    }
    painter.restore();
}

} // namespace korva::assets
