#pragma once

#include <QObject>
#include <array>

class QLabel;
class QWidget;

namespace korva {

class ImageButton;
class ImageView;
class LinkShared;

// Arithmetic of the tool list's scroll bar (a track with a thumb of the program's own drawing).
namespace toollist {

inline constexpr int VisibleRows = 10;

// Top of the thumb whose middle is to lie at y (relative to the track's top), kept two points below
// the track's top and one point above its bottom; the bottom limit wins when both apply.
int ThumbTop(int y, int thumbHeight, int trackTop, int trackHeight);

// Index of the tool shown in the first row (0 for tool 1) for a thumb at thumbTop: the thumb's travel
// mapped linearly onto the list, rounded half to even and kept within 0 .. toolCount - visibleRows.
int FirstRow(int thumbTop, int thumbHeight, int trackTop, int trackHeight, int toolCount,
             int visibleRows = VisibleRows);

// Percentage of a tool fetch shown on the ring: requestedTool / toolCount * 100, rounded half to
// even; 0 while the tool count is not known.
int FetchPercent(int requestedTool, int toolCount);

} // namespace toollist

// The tools panel on the right of the main window (shown when the window is wide): ten rows of tool
// number and tool name, the scroll track `lbl_Tools_Sliderbar_Back` lying over the thumb
// `Img_Tools_Scrollbar`, the two thumb-height holders outside the visible area, and the Get Tools
// and Generate Text File buttons. The rows show entries of the link's tool table.
class ToolsPanel : public QObject {
    Q_OBJECT

public:
    static constexpr int TrackLeft = 512;
    static constexpr int TrackTop = 32;
    static constexpr int TrackWidth = 16;
    static constexpr int TrackHeight = 314;
    static constexpr int ThumbLeft = 516;
    static constexpr int ThumbWidth = 8;
    static constexpr int ThumbTopAtCreation = 34;
    static constexpr int ThumbHeightAtCreation = 100;

    ToolsPanel(QWidget* window, LinkShared& link);

    std::array<QLabel*, toollist::VisibleRows> lbl_Tool_No_Row;   // rows 1 to 10 at index 0 to 9
    std::array<QLabel*, toollist::VisibleRows> lbl_Tool_Name_Row; // rows 1 to 10 at index 0 to 9
    QLabel* lbl_Tools_Sliderbar_Back;
    ImageView* Img_Tools_Scrollbar;
    ImageView* Image_Tools_Sliderbar_32_Tools;
    ImageView* Image_Tools_Sliderbar_100_Tools;
    ImageButton* Img_Get_Tools_Data;
    ImageButton* Img_Generate_Text_File;

    // The number of tools the list scrolls over (100 at creation; the controller's count once it
    // has identified itself) and the number of rows shown (10).
    int ListToolCount = 100;
    int ListVisibleRows = toollist::VisibleRows;

    // Takes the controller's tool count (32, 100 or 118) for the list and chooses the thumb; a count
    // that cannot fill the ten rows or exceeds the table is not taken.
    void SetListToolCount(int toolCount);

    // The thumb picture and height for ListToolCount (the 100-point thumb for 32 tools, the 30-point
    // one otherwise); then the thumb and, above it, the track come to the front. The thumb's top and
    // the rows stay as they are.
    void ChooseToolThumb();

    // Places the thumb's middle at y (relative to the track's top, clamped to the track) and fills
    // the ten rows from the tool at the thumb's position.
    void PositionToolList(int y);

    // The tool number shown in the first row.
    int FirstShownTool() const { return firstShown_ + 1; }

private:
    LinkShared& link_;
    int firstShown_ = 0;
};

} // namespace korva
