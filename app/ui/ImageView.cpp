#include "app/ui/ImageView.h"

#include <QPainter>

namespace korva {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {}

void ImageView::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void ImageView::SetStretchToFill(bool fill) {
    stretchToFill_ = fill;
    update();
}

QSize ImageView::sizeHint() const {
    if (picture_.isNull())
        return QWidget::sizeHint();
    return picture_.deviceIndependentSize().toSize();
}

void ImageView::paintEvent(QPaintEvent*) {
    if (picture_.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QRectF target(rect());
    if (!stretchToFill_) {
        // Proportional: the largest rectangle of the picture's shape that fits, at the top left.
        QSizeF pictureSize = picture_.size();
        pictureSize.scale(target.size(), Qt::KeepAspectRatio);
        target.setSize(pictureSize);
    }
    painter.drawPixmap(target, picture_, QRectF(picture_.rect()));
}

} // namespace korva
