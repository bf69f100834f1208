#include "assets/BrandArt.h"

#include "assets/Palette.h"
#include "assets/SvgArt.h"
#include "assets/Typeface.h"

#include <QFontMetricsF>
#include <QPainter>

namespace korva::assets {
namespace {

// Proportions of the logotype sources: KORVA is 466 x 100, Rivo 227 x 100, 40 apart.
constexpr double kKorvaAspect = 4.66;
constexpr double kRivoAspect = 2.27;
constexpr double kRivoGap = 0.40;

const QColor kPaperInk{0x1B, 0x2A, 0x32};
const QColor kPaperAccent{0x0F, 0x86, 0xA6};
const QColor kPaperCaption{0x18, 0x4E, 0x5C};

} // namespace

void DrawEmblem(QPainter& painter, const QRectF& square, Ground ground) {
    if (ground == Ground::Light) {
        DrawSvg(painter, QStringLiteral("emblem"), square,
                {{"#F2F6F8", kPaperInk}, {"#65E2FC", kPaperAccent}});
    } else {
        DrawSvg(painter, QStringLiteral("emblem"), square);
    }
}

double WordmarkWidth(double height, bool withRivo) {
    return height * (kKorvaAspect + (withRivo ? kRivoGap + kRivoAspect : 0.0));
}

void DrawWordmark(QPainter& painter, const QPointF& topLeft, double height, Ground ground, bool withRivo) {
    const QRectF korva(topLeft, QSizeF(height * kKorvaAspect, height));
    if (ground == Ground::Light) {
        DrawSvg(painter, QStringLiteral("korva_wordmark"), korva, {{"#F2F6F8", kPaperInk}});
    } else {
        DrawSvg(painter, QStringLiteral("korva_wordmark"), korva);
    }
    if (withRivo) {
        const QRectF rivo(QPointF(korva.right() + height * kRivoGap, topLeft.y()),
                          QSizeF(height * kRivoAspect, height));
        if (ground == Ground::Light) {
            DrawSvg(painter, QStringLiteral("rivo_wordmark"), rivo, {{"#65E2FC", kPaperAccent}});
        } else {
            DrawSvg(painter, QStringLiteral("rivo_wordmark"), rivo);
        }
    }
}

void DrawMadeWithLogo(QPainter& painter, const QSize& size) {
    // Laid out for 160 x 33 and scaled to other sizes: emblem on the left, "MADE WITH" spaced
    // out over the width of the logotype below it.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // white paper behind the mark, so that it looks the same however it is copied onto the picture
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.scale(size.width() / 160.0, size.height() / 33.0);

    const double markHeight = 18.0;
    const double markWidth = WordmarkWidth(markHeight, false);
    const double emblemSide = 31.0;
    const double gap = 7.0;
    const double left = (160.0 - (emblemSide + gap + markWidth)) / 2.0;

    DrawEmblem(painter, QRectF(left, 1, emblemSide, emblemSide), Ground::Light);
    const double column = left + emblemSide + gap;
    DrawWordmark(painter, QPointF(column, 32.0 - markHeight), markHeight, Ground::Light, false);

    QFont font = ArtFont(10, QFont::Bold);
    const QString caption = QStringLiteral("MADE WITH");
    const double natural = QFontMetricsF(font).horizontalAdvance(caption);
    const double extra = (markWidth - natural) / (caption.size() - 1);
    if (extra > 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, extra);
    }
    painter.setFont(font);
    painter.setPen(kPaperCaption);
    const double capHeight = QFontMetricsF(font).capHeight();
    painter.drawText(QPointF(column, 2.0 + capHeight), caption);
    painter.restore();
}

} // namespace korva::assets
