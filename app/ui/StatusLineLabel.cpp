#include "app/ui/StatusLineLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace korva {

namespace {

constexpr int WrappedFlags = Qt::AlignCenter | Qt::TextWordWrap;

bool FitsWrapped(const QFont& font, const QString& text, const QRect& box) {
    const QRect needed = QFontMetrics(font).boundingRect(box, WrappedFlags, text);
    return needed.width() <= box.width() && needed.height() <= box.height();
}

} // namespace

StatusLineLabel::StatusLineLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
}

StatusLineLabel::Drawing StatusLineLabel::Drawn() const {
    const QRect box = contentsRect();
    QFont narrow = font();
    for (const int stretch : {int(QFont::AnyStretch), int(QFont::SemiCondensed), int(QFont::Condensed)}) {
        narrow.setStretch(stretch);
        if (FitsWrapped(narrow, text(), box))
            return {narrow, text(), true};
    }
    // Shortened line by line, measured as drawn (with the glyphs' overhang).
    const QFontMetrics metrics(narrow);
    QStringList lines = text().split(QLatin1Char('\n'));
    for (QString& line : lines) {
        for (int width = box.width(); width > 0; --width) {
            const QString shortened = metrics.elidedText(line, Qt::ElideRight, width);
            if (metrics.boundingRect(shortened).width() <= box.width()) {
                line = shortened;
                break;
            }
        }
    }
    return {narrow, lines.join(QLatin1Char('\n')), false};
}

void StatusLineLabel::paintEvent(QPaintEvent*) {
    const Drawing drawing = Drawn();
    QPainter painter(this);
    painter.setFont(drawing.font);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), drawing.wrapped ? WrappedFlags : int(Qt::AlignCenter), drawing.text);
}

} // namespace korva
