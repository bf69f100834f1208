#pragma once

#include <QPixmap>
#include <QWidget>

namespace korva {

// An image control: shows one picture scaled to the control's size in window points.
//
// The pictures are drawn at about twice their on-screen size, so they stay sharp on high-density
// displays. By default the picture is stretched proportionally (aspect ratio kept, anchored at the
// top left); SetStretchToFill(true) fills the whole control instead.
class ImageView : public QWidget {
    Q_OBJECT

public:
    explicit ImageView(QWidget* parent = nullptr);

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }

    void SetStretchToFill(bool fill);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    bool stretchToFill_ = false;
};

} // namespace korva
