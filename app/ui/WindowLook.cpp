#include "app/ui/WindowLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace korva::look {

void SetPixelFont(QWidget* widget, int pixelSize) {
    QFont font = widget->font();
    font.setPixelSize(pixelSize);
    widget->setFont(font);
}

void SetTextColour(QWidget* widget, QRgb colour) {
    QPalette palette = widget->palette();
    const QColor c = QColor::fromRgb(colour);
    palette.setColor(QPalette::WindowText, c);
    palette.setColor(QPalette::Text, c);
    palette.setColor(QPalette::ButtonText, c);
    widget->setPalette(palette);
}

void SetBackgroundColour(QWidget* widget, QRgb colour) {
    QPalette palette = widget->palette();
    const QColor c = QColor::fromRgb(colour);
    palette.setColor(QPalette::Window, c);
    palette.setColor(QPalette::Base, c);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void StyleEditBox(QLineEdit* edit, int pixelSize) {
    edit->setFrame(false);
    SetBackgroundColour(edit, EditBackground);
    SetTextColour(edit, EditText);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Highlight, QColor::fromRgb(Accent));
    palette.setColor(QPalette::HighlightedText, QColor::fromRgb(EditBackground));
    edit->setPalette(palette);
    edit->setTextMargins(0, 0, 0, 0);
    SetPixelFont(edit, pixelSize);
}

void StyleLabel(QLabel* label, QRgb colour, int pixelSize) {
    SetTextColour(label, colour);
    SetPixelFont(label, pixelSize);
    label->setAutoFillBackground(false);
    label->setMargin(0);
    label->setIndent(0);
}

} // namespace korva::look
