#pragma once

#include "app/ui/ClickableLabel.h"

#include <QFont>
#include <QSize>
#include <QString>

namespace korva {

// The largest pixel size of `font` at which `text` (line breaks included) fits inside `box`, at
// least 1. `maxPixelSize` bounds the search (0: the box height).
int OptimalFillPixelSize(const QFont& font, const QString& text, QSize box, int maxPixelSize = 0);

// A fixed-size label whose font size is chosen so that its text fills the box: the largest pixel
// size at which every line fits the width and all lines fit the height. The size is chosen again
// whenever the text or the box changes. Not clickable unless SetClickable(true).
class OptimalFillLabel : public ClickableLabel {
    Q_OBJECT

public:
    explicit OptimalFillLabel(QWidget* parent = nullptr);

    // Sets the text and fits the font to it (hides QLabel::setText, which is not virtual).
    void setText(const QString& text);
    void Fit();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace korva
