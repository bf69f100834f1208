#pragma once

#include <QLabel>
#include <QPoint>

namespace korva {

// The drawn title strip (`lbl_Form_Titlebar_Move`): an opaque empty label that moves its window
// when dragged.
//
// Press any mouse button on the strip: remember the pointer position within the strip as the grab
// point. Move while dragging: window left += X - grab X, top += Y - grab Y (X, Y the pointer
// position within the strip), so the grab point stays under the pointer. Release: stop dragging.
class TitleStrip : public QLabel {
    Q_OBJECT

public:
    explicit TitleStrip(QWidget* parent = nullptr);

    bool IsDragging() const { return dragging_; }

    // The handlers, public so the window and tests can drive them with strip-local positions.
    void lbl_Form_Titlebar_MoveMouseDown(QPoint local);
    void lbl_Form_Titlebar_MoveMouseMove(QPoint local);
    void lbl_Form_Titlebar_MoveMouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool dragging_ = false;
    QPoint grab_;
};

} // namespace korva
