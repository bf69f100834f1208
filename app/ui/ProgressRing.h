#pragma once

#include <QObject>
#include <cstdint>

class QLabel;
class QWidget;

namespace korva {

class ImageView;

// The progress ring of the main window: the ring picture `Img_ProgressBar` (63,100, 142 x 142) and
// the percentage `lbl_Progress_Bar_Percentage` inside it (96,120, 75 x 40, centred, #65E2FC,
// 29-pixel text). Both are controls of the window given to the constructor. The ring keeps no state
// beyond what it shows; whoever calls ShowProgressRing last decides what that is. Visibility is the
// window's business.
class ProgressRing : public QObject {
    Q_OBJECT

public:
    static constexpr int FullPicture = 100;

    explicit ProgressRing(QWidget* window);

    ImageView* Img_ProgressBar;
    QLabel* lbl_Progress_Bar_Percentage;

    // Draws ring picture n (0 to 100; any other n keeps the picture shown) and writes n followed
    // by "%" (for any n, a negative one with its minus sign).
    void ShowProgressRing(std::int32_t n);

    // The ring picture last drawn (100 at creation).
    int ShownPicture() const { return shownPicture_; }

private:
    int shownPicture_ = FullPicture;
};

} // namespace korva
