#include "app/ui/WindowChrome.h"

#include "app/ui/ClickableLabel.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageLists.h"
#include "app/ui/Placement.h"
#include "app/ui/TitleStrip.h"
#include "app/ui/WindowLook.h"
#include "assets/Pictures.h"

#include <QFontMetrics>
#include <QWidget>

namespace korva {

namespace {

constexpr int CloseNormal = 2;
constexpr int CloseHover = 3;
constexpr int MinimiseNormal = 3;
constexpr int MinimiseHover = 4;
constexpr int ChromeButtonSize = 13;

} // namespace

WindowChrome::WindowChrome(QWidget* window, MinimiseRelease releaseRule) : QObject(window), window_(window) {
    // Created bottom to top: close button, title text, strip, minimise button, icon.
    Img_Close_Window = new ImageButton(QStringLiteral("Close"), window);
    Img_Close_Window->setObjectName(QStringLiteral("Img_Close_Window"));
    Img_Close_Window->SetImageList(ImageListPictures(QStringLiteral("ImageList_Close_Button")));
    Img_Close_Window->SetPictureTable(
        {CloseHover, CloseNormal, ButtonPictures::NoChange, ButtonPictures::NoChange});

    lbl_Window_Title = new ClickableLabel(window);
    lbl_Window_Title->setObjectName(QStringLiteral("lbl_Window_Title"));
    look::StyleLabel(lbl_Window_Title, look::Text, 11);
    lbl_Window_Title->SetClickable(false);

    lbl_Form_Titlebar_Move = new TitleStrip(window);
    lbl_Form_Titlebar_Move->setObjectName(QStringLiteral("lbl_Form_Titlebar_Move"));
    look::SetBackgroundColour(lbl_Form_Titlebar_Move, look::TitleStrip);

    Img_Minimize_Window = new ImageButton(QStringLiteral("Minimise"), window);
    Img_Minimize_Window->setObjectName(QStringLiteral("Img_Minimize_Window"));
    Img_Minimize_Window->SetImageList(ImageListPictures(QStringLiteral("ImageList_Minimize_Button")));
    Img_Minimize_Window->SetPictureTable(
        {MinimiseHover, MinimiseNormal, ButtonPictures::NoChange,
         releaseRule == MinimiseRelease::ReleaseShowsNormalPair ? MinimiseNormal : ButtonPictures::NoChange});

    Img_Titlebar_Icon = new ImageView(window);
    Img_Titlebar_Icon->setObjectName(QStringLiteral("Img_Titlebar_Icon"));
    Img_Titlebar_Icon->SetPicture(assets::Picture(QStringLiteral("Img_Titlebar_Icon")));

    // The pair lights up together.
    connect(Img_Close_Window, &ImageButton::Entered, this,
            [this] { Img_Minimize_Window->ShowPicture(MinimiseHover); });
    connect(Img_Close_Window, &ImageButton::Left, this,
            [this] { Img_Minimize_Window->ShowPicture(MinimiseNormal); });
    connect(Img_Minimize_Window, &ImageButton::Entered, this,
            [this] { Img_Close_Window->ShowPicture(CloseHover); });
    connect(Img_Minimize_Window, &ImageButton::Left, this,
            [this] { Img_Close_Window->ShowPicture(CloseNormal); });
    if (releaseRule == MinimiseRelease::ReleaseShowsNormalPair)
        connect(Img_Minimize_Window, &ImageButton::Released, this,
                [this] { Img_Close_Window->ShowPicture(CloseNormal); });
    connect(Img_Close_Window, &ImageButton::Clicked, this, &WindowChrome::CloseClicked);
    connect(Img_Minimize_Window, &ImageButton::Clicked, this, &WindowChrome::MinimiseClicked);

    ShowNormalPair();
    Img_Close_Window->setGeometry(3, 3, ChromeButtonSize, ChromeButtonSize);
    Img_Minimize_Window->setGeometry(42, 3, ChromeButtonSize, ChromeButtonSize);
    lbl_Form_Titlebar_Move->setGeometry(StripLeft, 0, window->width() - StripLeft, StripHeight);
    lbl_Form_Titlebar_Move->setText(QString());
    lbl_Window_Title->setText(QStringLiteral("KORVA Rivo"));
    lbl_Window_Title->raise();
    CentreTitle();
}

void WindowChrome::SetStripWidth(int width) {
    lbl_Form_Titlebar_Move->setGeometry(StripLeft, 0, width, StripHeight);
}

void WindowChrome::CentreTitle() {
    const QFontMetrics metrics(lbl_Window_Title->font());
    const int titleWidth = metrics.horizontalAdvance(lbl_Window_Title->text());
    lbl_Window_Title->resize(titleWidth, metrics.height());
    const int iconLeft = placement::TitleIconLeft(window_->width(), titleWidth, IconSize);
    Img_Titlebar_Icon->setGeometry(iconLeft, IconTop, IconSize, IconSize);
    lbl_Window_Title->move(placement::TitleTextLeft(iconLeft, IconSize), TitleTop);
}

void WindowChrome::ShowNormalPair() {
    Img_Close_Window->ShowPicture(CloseNormal);
    Img_Minimize_Window->ShowPicture(MinimiseNormal);
}

void WindowChrome::ShowHoverPair() {
    Img_Close_Window->ShowPicture(CloseHover);
    Img_Minimize_Window->ShowPicture(MinimiseHover);
}

} // namespace korva
