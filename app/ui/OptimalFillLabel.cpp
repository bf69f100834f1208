#include "app/ui/OptimalFillLabel.h"

#include <QFontMetrics>

namespace korva {

namespace {

bool TextFits(QFont font, int pixelSize, const QString& text, QSize box) {
    font.setPixelSize(pixelSize);
    const QFontMetrics metrics(font);
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::AlignTop, text);
    return needed.width() <= box.width() && needed.height() <= box.height();
}

} // namespace

int OptimalFillPixelSize(const QFont& font, const QString& text, QSize box, int maxPixelSize) {
    int high = maxPixelSize > 0 ? maxPixelSize : box.height();
    if (high < 1 || text.isEmpty())
        return std::max(1, high);
    // The largest size that fits; the text size grows with the pixel size, so a binary search works.
    int low = 1;
    if (!TextFits(font, low, text, box))
        return low;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (TextFits(font, middle, text, box))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

OptimalFillLabel::OptimalFillLabel(QWidget* parent) : ClickableLabel(parent) {
    SetClickable(false);
}

void OptimalFillLabel::setText(const QString& text) {
    QLabel::setText(text);
    Fit();
}

void OptimalFillLabel::Fit() {
    if (width() <= 0 || height() <= 0)
        return;
    QFont fitted = font();
    fitted.setPixelSize(OptimalFillPixelSize(fitted, text(), size()));
    setFont(fitted);
}

void OptimalFillLabel::resizeEvent(QResizeEvent* event) {
    ClickableLabel::resizeEvent(event);
    Fit();
}

} // namespace korva
