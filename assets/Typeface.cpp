#include "assets/Typeface.h"

#include <QFontMetricsF>
#include <QGuiApplication>

namespace korva::assets {

QFont ArtFont(int pixelSize, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setPixelSize(pixelSize < 1 ? 1 : pixelSize);
    font.setWeight(weight);
    font.setKerning(true);
    return font;
}

int FittingPixelSize(const QString& text, int pixelSize, QFont::Weight weight, double width) {
    int size = pixelSize;
    while (size > 6 && QFontMetricsF(ArtFont(size, weight)).horizontalAdvance(text) > width) {
        --size;
    }
    return size;
}

} // namespace korva::assets
