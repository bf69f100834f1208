#include "app/ui/ClickableLabel.h"

#include <QMouseEvent>

namespace korva {

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {}

void ClickableLabel::SetClickable(bool clickable) {
    clickable_ = clickable;
    leftDown_ = false;
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (!clickable_) {
        QLabel::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton)
        leftDown_ = true;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (!clickable_) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    const bool click =
        event->button() == Qt::LeftButton && leftDown_ && QRectF(rect()).contains(event->position());
    if (event->button() == Qt::LeftButton)
        leftDown_ = false;
    event->accept();
    if (click)
        Q_EMIT Clicked();
}

} // namespace korva
