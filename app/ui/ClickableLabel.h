#pragma once

#include <QLabel>

namespace korva {

// A label that reports a left-button click (press and release inside the label). Its accessible
// name is its current text, as for every label.
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget* parent = nullptr);

    // Only a clickable label takes mouse presses; an unclickable one lets them through to what
    // lies below it (the default is clickable).
    void SetClickable(bool clickable);
    bool IsClickable() const { return clickable_; }

Q_SIGNALS:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool clickable_ = true;
    bool leftDown_ = false;
};

} // namespace korva
