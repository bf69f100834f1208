#include "app/ui/ImageButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>

namespace korva {

namespace {

// What assistive tools see: a push button named by its caption, or a check box with its state.
class ImageButtonAccessible : public QAccessibleWidget {
public:
    explicit ImageButtonAccessible(ImageButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::Role role() const override {
        return static_cast<ImageButton*>(widget())->IsCheckable() ? QAccessible::CheckBox
                                                                  : QAccessible::Button;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        auto* button = static_cast<ImageButton*>(widget());
        if (button->IsCheckable()) {
            s.checkable = true;
            s.checked = button->IsChecked();
        }
        return s;
    }

    QStringList actionNames() const override {
        auto* button = static_cast<ImageButton*>(widget());
        if (!button->isEnabled())
            return {};
        return {button->IsCheckable() ? toggleAction() : pressAction()};
    }

    void doAction(const QString& actionName) override {
        auto* button = static_cast<ImageButton*>(widget());
        if (button->isEnabled() && (actionName == pressAction() || actionName == toggleAction()))
            Q_EMIT button->Clicked();
    }
};

QAccessibleInterface* ImageButtonAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("korva::ImageButton") && object && object->isWidgetType())
        return new ImageButtonAccessible(static_cast<ImageButton*>(object));
    return nullptr;
}

void InstallAccessibleFactoryOnce() {
    static const bool installed = [] {
        QAccessible::installFactory(ImageButtonAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace

ImageButton::ImageButton(const QString& caption, QWidget* parent) : ImageView(parent) {
    InstallAccessibleFactoryOnce();
    setAccessibleName(caption);
    SetStretchToFill(true);
}

void ImageButton::SetImageList(const QList<QPixmap>& pictures) {
    pictures_ = pictures;
}

void ImageButton::ShowPicture(int index) {
    if (index < 0 || index >= pictures_.size())
        return;
    shown_ = index;
    SetPicture(pictures_.at(index));
}

void ImageButton::ShowIfSet(int index) {
    if (index != ButtonPictures::NoChange)
        ShowPicture(index);
}

QString ImageButton::Caption() const {
    return accessibleName();
}

void ImageButton::SetCheckable(bool checkable) {
    checkable_ = checkable;
}

void ImageButton::SetChecked(bool checked) {
    if (checked_ == checked)
        return;
    checked_ = checked;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void ImageButton::enterEvent(QEnterEvent*) {
    ShowIfSet(table_.Enter);
    Q_EMIT Entered();
}

void ImageButton::leaveEvent(QEvent*) {
    ShowIfSet(table_.Leave);
    Q_EMIT Left();
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        leftDown_ = true;
    ShowIfSet(table_.Press);
    Q_EMIT Pressed();
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        event->button() == Qt::LeftButton && leftDown_ && QRectF(rect()).contains(event->position());
    if (event->button() == Qt::LeftButton)
        leftDown_ = false;
    ShowIfSet(table_.Release);
    Q_EMIT Released();
    event->accept();
    if (click)
        Q_EMIT Clicked();
}

} // namespace korva
