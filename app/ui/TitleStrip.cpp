#include "app/ui/TitleStrip.h"

#include "app/ui/Placement.h"

#include <QMouseEvent>
#include <cmath>

namespace korva {

namespace {

QPoint LocalPoint(const QMouseEvent* event) {
    const QPointF p = event->position();
    return QPoint(static_cast<int>(std::nearbyint(p.x())), static_cast<int>(std::nearbyint(p.y())));
}

} // namespace

TitleStrip::TitleStrip(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
}

void TitleStrip::lbl_Form_Titlebar_MoveMouseDown(QPoint local) {
    dragging_ = true;
    grab_ = local;
}

void TitleStrip::lbl_Form_Titlebar_MoveMouseMove(QPoint local) {
    if (!dragging_)
        return;
    QWidget* frame = window();
    frame->move(placement::DragPosition(frame->pos(), local, grab_));
}

void TitleStrip::lbl_Form_Titlebar_MoveMouseUp() {
    dragging_ = false;
}

void TitleStrip::mousePressEvent(QMouseEvent* event) {
    lbl_Form_Titlebar_MoveMouseDown(LocalPoint(event));
    event->accept();
}

void TitleStrip::mouseMoveEvent(QMouseEvent* event) {
    lbl_Form_Titlebar_MoveMouseMove(LocalPoint(event));
    event->accept();
}

void TitleStrip::mouseReleaseEvent(QMouseEvent* event) {
    lbl_Form_Titlebar_MoveMouseUp();
    event->accept();
}

} // namespace korva
