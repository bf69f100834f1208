#pragma once

#include "app/ui/ImageView.h"

#include <QList>
#include <QPixmap>
#include <QString>

namespace korva {

// Which picture of its image list a button shows on each pointer event. NoChange (-1) means the
// event has no handler and the picture stays as it is.
struct ButtonPictures {
    static constexpr int NoChange = -1;

    int Enter = NoChange;
    int Leave = NoChange;
    int Press = NoChange;
    int Release = NoChange;

    // The ordinary button: 0 normal, 1 hover and after release, 2 while pressed.
    static constexpr ButtonPictures Ordinary() { return {1, 0, 2, 1}; }
};

// An image button: an image control whose picture is swapped for normal, hover and pressed looks.
//
// It shows picture N of its image list (a list of same-sized pictures), scaled to the control's
// window-point size. The table of ButtonPictures says which picture each pointer event shows; the
// table can be changed at any time (the Tools button switches between two sets). A press of any
// mouse button counts for the pictures; a left-button press and release inside the control emits
// Clicked() after the release picture is shown.
//
// The caption is the button's accessible name ("Connect", "OK", ...). A checkable button (the
// own-network tick box) reports itself as a check box with its checked state.
class ImageButton : public ImageView {
    Q_OBJECT

public:
    explicit ImageButton(const QString& caption, QWidget* parent = nullptr);

    void SetImageList(const QList<QPixmap>& pictures);
    const QList<QPixmap>& ImageList() const { return pictures_; }

    void SetPictureTable(const ButtonPictures& table) { table_ = table; }
    const ButtonPictures& PictureTable() const { return table_; }

    // Draws picture N of the image list; an index outside the list leaves the picture unchanged.
    void ShowPicture(int index);
    // The index last drawn, -1 before the first.
    int ShownPicture() const { return shown_; }

    QString Caption() const;

    void SetCheckable(bool checkable);
    bool IsCheckable() const { return checkable_; }
    // Only the state reported to assistive tools; the owner draws the matching picture.
    void SetChecked(bool checked);
    bool IsChecked() const { return checked_; }

Q_SIGNALS:
    void Entered();
    void Left();
    void Pressed();
    void Released();
    void Clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowIfSet(int index);

    QList<QPixmap> pictures_;
    ButtonPictures table_;
    int shown_ = -1;
    bool leftDown_ = false;
    bool checkable_ = false;
    bool checked_ = false;
};

} // namespace korva
