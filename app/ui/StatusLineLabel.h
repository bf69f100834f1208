#pragma once

#include <QFont>
#include <QLabel>

namespace korva {

// The status line `lbl_Machine_Status`: a fixed-size label whose point size each look sets. A text
// too wide for the box breaks at its spaces. Should the broken text then be too tall, it is drawn
// in a narrower cut (semi-condensed, then condensed) of the same font at the same size, and only if that does
// not fit either, each of its lines is shortened with "…". The text is never cut through; text() and the
// accessible name keep the whole text.
class StatusLineLabel : public QLabel {
    Q_OBJECT

public:
    explicit StatusLineLabel(QWidget* parent = nullptr);

    // How the text is drawn in the box at the current font.
    struct Drawing {
        QFont font;
        QString text;
        bool wrapped = true; // broken at spaces; otherwise line by line as given
    };
    Drawing Drawn() const;
    QString DrawnText() const { return Drawn().text; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace korva
