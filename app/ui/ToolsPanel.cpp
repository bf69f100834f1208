#include "app/ui/ToolsPanel.h"

#include "app/ui/ImageButton.h"
#include "app/ui/ImageLists.h"
#include "app/ui/ImageView.h"
#include "app/ui/WindowLook.h"
#include "assets/Pictures.h"
#include "link/LinkStatus.h"

#include <QLabel>
#include <cmath>

namespace korva {

namespace toollist {

int ThumbTop(int y, int thumbHeight, int trackTop, int trackHeight) {
    int top = y - thumbHeight / 2 + trackTop;
    if (top < trackTop + 2)
        top = trackTop + 2;
    if (top > trackTop + trackHeight - thumbHeight - 1)
        top = trackTop + trackHeight - thumbHeight - 1;
    return top;
}

int FirstRow(int thumbTop, int thumbHeight, int trackTop, int trackHeight, int toolCount, int visibleRows) {
    const int travel = trackHeight - thumbHeight - 2;
    int first = 0;
    if (travel > 0) {
        const double perPoint = double(toolCount - visibleRows) / double(travel);
        first = static_cast<int>(std::nearbyint(double(thumbTop - (trackTop + 2)) * perPoint));
    }
    if (first < 0)
        first = 0;
    if (first > toolCount - visibleRows)
        first = toolCount - visibleRows;
    return first;
}

int FetchPercent(int requestedTool, int toolCount) {
    if (toolCount <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(double(requestedTool) / double(toolCount) * 100.0));
}

} // namespace toollist

namespace {

constexpr int NumberRowTops[toollist::VisibleRows] = {59, 87, 116, 145, 174, 203, 232, 260, 288, 319};
constexpr int NameRowTops[toollist::VisibleRows] = {59, 87, 116, 145, 174, 203, 232, 260, 290, 319};
constexpr int NumberLeft = 301;
constexpr int NumberWidth = 43;
constexpr int NumberHeight = 29;
constexpr int NameLeft = 352;
constexpr int NameWidth = 142;
constexpr int FirstNameWidth = 141;
constexpr int NameHeight = 26;
constexpr int RowTextPixels = 11;
constexpr int ThinListTools = 32;

// Where the thumb-height holders lie: right of the wide window, never seen.
constexpr int HolderLeft = 560;

ImageButton* MakeButton(QWidget* window, const char* name, const QString& caption, const char* list,
                        QRect place) {
    auto* button = new ImageButton(caption, window);
    button->setObjectName(QLatin1String(name));
    button->SetImageList(ImageListPictures(QLatin1String(list)));
    button->SetPictureTable(ButtonPictures::Ordinary());
    button->ShowPicture(0);
    button->setGeometry(place);
    return button;
}

} // namespace

ToolsPanel::ToolsPanel(QWidget* window, LinkShared& link) : QObject(window), link_(link) {
    setObjectName(QStringLiteral("ToolsPanel"));
    for (int row = 0; row < toollist::VisibleRows; ++row) {
        auto* number = new QLabel(QString::number(row + 1), window);
        number->setObjectName(QStringLiteral("lbl_Tool_No_Row_%1").arg(row + 1));
        look::StyleLabel(number, look::Accent, RowTextPixels);
        number->setAlignment(Qt::AlignCenter);
        number->setTextFormat(Qt::PlainText);
        number->setGeometry(NumberLeft, NumberRowTops[row], NumberWidth, NumberHeight);
        lbl_Tool_No_Row[size_t(row)] = number;

        auto* name = new QLabel(QStringLiteral("-"), window);
        name->setObjectName(QStringLiteral("lbl_Tool_Name_Row_%1").arg(row + 1));
        look::StyleLabel(name, look::Text, RowTextPixels);
        name->setAlignment(Qt::AlignCenter);
        name->setTextFormat(Qt::PlainText); // names come from the controller as they are
        name->setWordWrap(true);
        name->setGeometry(NameLeft, NameRowTops[row], row == 0 ? FirstNameWidth : NameWidth, NameHeight);
        lbl_Tool_Name_Row[size_t(row)] = name;
    }

    Image_Tools_Sliderbar_32_Tools = new ImageView(window);
    Image_Tools_Sliderbar_32_Tools->setObjectName(QStringLiteral("Image_Tools_Sliderbar_32_Tools"));
    Image_Tools_Sliderbar_32_Tools->SetPicture(
        assets::Picture(QStringLiteral("Image_Tools_Sliderbar_32_Tools")));
    Image_Tools_Sliderbar_32_Tools->setGeometry(HolderLeft, 0, ThumbWidth, 100);

    Image_Tools_Sliderbar_100_Tools = new ImageView(window);
    Image_Tools_Sliderbar_100_Tools->setObjectName(QStringLiteral("Image_Tools_Sliderbar_100_Tools"));
    Image_Tools_Sliderbar_100_Tools->SetPicture(
        assets::Picture(QStringLiteral("Image_Tools_Sliderbar_100_Tools")));
    Image_Tools_Sliderbar_100_Tools->setGeometry(HolderLeft + 2 * ThumbWidth, 0, ThumbWidth, 30);

    Img_Tools_Scrollbar = new ImageView(window);
    Img_Tools_Scrollbar->setObjectName(QStringLiteral("Img_Tools_Scrollbar"));
    Img_Tools_Scrollbar->SetStretchToFill(true);
    Img_Tools_Scrollbar->SetPicture(assets::Picture(QStringLiteral("Img_Tools_Scrollbar")));
    Img_Tools_Scrollbar->setGeometry(ThumbLeft, ThumbTopAtCreation, ThumbWidth, ThumbHeightAtCreation);

    // The track lies above the thumb and takes the pointer over the whole scroll bar.
    lbl_Tools_Sliderbar_Back = new QLabel(window);
    lbl_Tools_Sliderbar_Back->setObjectName(QStringLiteral("lbl_Tools_Sliderbar_Back"));
    lbl_Tools_Sliderbar_Back->setAccessibleName(QStringLiteral("Tool list scroll bar"));
    lbl_Tools_Sliderbar_Back->setGeometry(TrackLeft, TrackTop, TrackWidth, TrackHeight);

    Img_Get_Tools_Data = MakeButton(window, "Img_Get_Tools_Data", QStringLiteral("Get Tools Data"),
                                    "ImageList_Get_Tools_Button", QRect(277, 360, 226, 27));
    Img_Generate_Text_File =
        MakeButton(window, "Img_Generate_Text_File", QStringLiteral("Generate Text File"),
                   "ImageList_Generate_Text_File_Button", QRect(277, 398, 226, 27));
}

void ToolsPanel::SetListToolCount(int toolCount) {
    if (toolCount < ListVisibleRows || toolCount > MaxToolNumber)
        return;
    ListToolCount = toolCount;
    ChooseToolThumb();
}

void ToolsPanel::ChooseToolThumb() {
    const bool thin = ListToolCount == ThinListTools;
    const QString list = thin ? QStringLiteral("ImageList_Tools_Sliderbar_32_Tools")
                              : QStringLiteral("ImageList_Tools_Sliderbar_100_Tools");
    const ImageView* holder = thin ? Image_Tools_Sliderbar_32_Tools : Image_Tools_Sliderbar_100_Tools;
    Img_Tools_Scrollbar->SetPicture(assets::ImageList::Named(list).Picture(0));
    Img_Tools_Scrollbar->resize(Img_Tools_Scrollbar->width(), holder->height());
    Img_Tools_Scrollbar->raise();
    lbl_Tools_Sliderbar_Back->raise();
}

void ToolsPanel::PositionToolList(int y) {
    const QRect track = lbl_Tools_Sliderbar_Back->geometry();
    const int thumbHeight = Img_Tools_Scrollbar->height();
    const int top = toollist::ThumbTop(y, thumbHeight, track.top(), track.height());
    Img_Tools_Scrollbar->move(Img_Tools_Scrollbar->x(), top);
    firstShown_ =
        toollist::FirstRow(top, thumbHeight, track.top(), track.height(), ListToolCount, ListVisibleRows);
    for (int row = 0; row < toollist::VisibleRows; ++row) {
        const int tool = firstShown_ + row + 1;
        lbl_Tool_No_Row[size_t(row)]->setText(QString::number(tool));
        lbl_Tool_Name_Row[size_t(row)]->setText(QString::fromUtf8(link_.ToolName(tool)));
    }
}

} // namespace korva
