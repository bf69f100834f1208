#include "app/ui/ProgressRing.h"

#include "app/ui/ImageView.h"
#include "app/ui/WindowLook.h"
#include "assets/Pictures.h"

#include <QLabel>

namespace korva {

ProgressRing::ProgressRing(QWidget* window) : QObject(window) {
    setObjectName(QStringLiteral("ProgressRing"));

    Img_ProgressBar = new ImageView(window);
    Img_ProgressBar->setObjectName(QStringLiteral("Img_ProgressBar"));
    Img_ProgressBar->setAccessibleName(QStringLiteral("Progress"));
    Img_ProgressBar->SetPicture(assets::ProgressRing(FullPicture));
    Img_ProgressBar->setGeometry(63, 100, 142, 142);

    lbl_Progress_Bar_Percentage = new QLabel(window);
    lbl_Progress_Bar_Percentage->setObjectName(QStringLiteral("lbl_Progress_Bar_Percentage"));
    look::StyleLabel(lbl_Progress_Bar_Percentage, look::Accent, 29);
    lbl_Progress_Bar_Percentage->setAlignment(Qt::AlignCenter);
    lbl_Progress_Bar_Percentage->setTextFormat(Qt::PlainText);
    lbl_Progress_Bar_Percentage->setGeometry(96, 120, 75, 40);
    lbl_Progress_Bar_Percentage->setText(QStringLiteral("100%"));
}

void ProgressRing::ShowProgressRing(std::int32_t n) {
    if (n >= 0 && n <= FullPicture) {
        Img_ProgressBar->SetPicture(assets::ProgressRing(n));
        shownPicture_ = n;
    }
    lbl_Progress_Bar_Percentage->setText(QString::number(n) + QLatin1Char('%'));
}

} // namespace korva
