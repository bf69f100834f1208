#pragma once

#include <QObject>

class QWidget;

namespace korva {

class ClickableLabel;
class ImageButton;
class ImageView;
class TitleStrip;

// The drawn frame of the connect and main windows: close and minimise buttons at the top left,
// the title strip that drags the window, and the centred title icon and title text.
//
// Construct it right after the window's background picture so the stacking is, from bottom to top:
// background, close button, title text, title strip, minimise button, title icon, and then the title
// text brought to the front. The constructor draws the normal pair (close 2, minimise 3), places
// close at 3,3, minimise at 42,3 and the strip at 35,0 with height 19, sets the title "KORVA Rivo"
// (#DBC2C2, 11 px) and centres icon and title in the window's width.
//
// The close and minimise buttons light up together: entering either shows close 3 and minimise 4,
// leaving either shows close 2 and minimise 3. Releasing the mouse on the minimise button shows the
// normal pair again in the connect window (ReleaseShowsNormalPair) and changes nothing in the main
// window (ReleaseKeepsPictures). Clicks are only reported: the window decides what they do.
class WindowChrome : public QObject {
    Q_OBJECT

public:
    enum class MinimiseRelease { ReleaseShowsNormalPair, ReleaseKeepsPictures };

    static constexpr int StripLeft = 35;
    static constexpr int StripHeight = 19;
    static constexpr int IconTop = 2;
    static constexpr int IconSize = 15;
    static constexpr int TitleTop = 3;
    static constexpr int TitleGap = 3;

    WindowChrome(QWidget* window, MinimiseRelease releaseRule);

    ImageButton* Img_Close_Window;
    ImageButton* Img_Minimize_Window;
    TitleStrip* lbl_Form_Titlebar_Move;
    ImageView* Img_Titlebar_Icon;
    ClickableLabel* lbl_Window_Title;

    // The strip runs from left 35 with the given width (233 in the connect window, the window's
    // width in the main window).
    void SetStripWidth(int width);

    // Centres the icon and the title text, as one group with a 3-point gap, in the window's current
    // width; the title is sized to its current text first.
    void CentreTitle();

    void ShowNormalPair();
    void ShowHoverPair();

Q_SIGNALS:
    void CloseClicked();
    void MinimiseClicked();

private:
    QWidget* window_;
};

} // namespace korva
