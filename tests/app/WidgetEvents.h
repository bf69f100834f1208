#pragma once

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

namespace korva::test {

inline void SendMouse(QWidget* widget, QEvent::Type type, QPointF local,
                      Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void Press(QWidget* widget, QPointF local = {2, 2}, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(widget, QEvent::MouseButtonPress, local, button);
}

inline void Release(QWidget* widget, QPointF local = {2, 2}, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(widget, QEvent::MouseButtonRelease, local, button);
}

inline void Click(QWidget* widget, QPointF local = {2, 2}) {
    Press(widget, local);
    Release(widget, local);
}

inline void Enter(QWidget* widget) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(widget, &event);
}

inline void Leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

} // namespace korva::test
