#include "assets/Pictures.h"

#include "assets/BrandArt.h"
#include "assets/ButtonArt.h"
#include "assets/ControlArt.h"
#include "assets/RingArt.h"
#include "assets/SvgArt.h"
#include "assets/WindowArt.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <functional>
#include <vector>

namespace korva::assets {
namespace {

using Draw = std::function<void(QPainter&, const QSize&, int index)>;

struct Recipe {
    QString name;
    int count;
    QSize size;
    Draw draw;
};

Draw Svg(const QString& source) {
    return [source](QPainter& p, const QSize& size, int) {
        p.setRenderHint(QPainter::Antialiasing);
        DrawSvg(p, source, QRectF(0, 0, size.width(), size.height()));
    };
}

// Normal, hover and pressed pictures of a caption button, in that order.
Draw Button(const ButtonFace& face) {
    return [face](QPainter& p, const QSize& size, int index) {
        DrawButton(p, size, face, static_cast<ButtonState>(index));
    };
}

const std::vector<Recipe>& Pictures() {
    static const std::vector<Recipe> pictures = {
        {"imgStartup", 1, {878, 190}, [](QPainter& p, const QSize& s, int) { DrawSplash(p, s); }},
        {"ImgMain_Window", 1, {537, 871}, [](QPainter& p, const QSize& s, int) { DrawConnectWindow(p, s); }},
        {"ImgMain_Window_Normal",
         1,
         {537, 871},
         [](QPainter& p, const QSize& s, int) { DrawMainWindow(p, s, false); }},
        {"ImgMain_Window_With_Tools",
         1,
         {1073, 871},
         [](QPainter& p, const QSize& s, int) { DrawMainWindow(p, s, true); }},
        {"Img_Message_Window",
         1,
         {606, 287},
         [](QPainter& p, const QSize& s, int) { DrawMessageWindow(p, s); }},
        {"Img_Titlebar_Icon", 1, {30, 30}, Svg("title_icon")},
        {"Img_Drop_NC_File", 1, {77, 79}, Svg("drop_nc_file")},
        {"Img_IP_Addr_Boxes", 1, {319, 40}, Svg("ip_addr_boxes")},
        {"Img_Editbox_KORVA_Folder_Name", 1, {374, 40}, Svg("editbox_folder")},
        {"Img_Settings_ICON", 1, {28, 29}, Svg("settings_icon")},
        {"Img_QR_Code_ICON", 1, {51, 50}, Svg("qr_icon")},
        {"Img_MAKE_WITH_KORVA_LOGO",
         1,
         {160, 33},
         [](QPainter& p, const QSize& s, int) { DrawMadeWithLogo(p, s); }},
        {"Img_ProgressBar",
         1,
         {285, 285},
         [](QPainter& p, const QSize& s, int) { DrawProgressRing(p, s, 100); }},
        {"Img_Tools_Scrollbar", 1, {8, 100}, [](QPainter& p, const QSize& s, int) { DrawScrollThumb(p, s); }},
        {"Image_Tools_Sliderbar_32_Tools",
         1,
         {16, 200},
         [](QPainter& p, const QSize& s, int) { DrawScrollThumb(p, s); }},
        {"Image_Tools_Sliderbar_100_Tools",
         1,
         {16, 60},
         [](QPainter& p, const QSize& s, int) { DrawScrollThumb(p, s); }},
    };
    return pictures;
}

const std::vector<Recipe>& Lists() {
    using G = ButtonGlyph;
    using K = ButtonKind;
    static const std::vector<Recipe> lists = {
        {"ImageList_Connect_Button", 3, {374, 40}, Button({"Connect", K::Primary, G::Signal})},
        {"ImageList_Disconnect_Button", 2, {374, 40}, Button({"Disconnect", K::Danger, G::Power})},
        {"ImageList_Send_File_Button", 3, {374, 40}, Button({"Send File", K::Primary, G::Upload})},
        {"ImageList_Tools_Button",
         6,
         {374, 40},
         [](QPainter& p, const QSize& s, int index) {
             // 0..2 with the panel closed (chevron points to where it opens), 3..5 with it open
             const bool open = index >= 3;
             const ButtonFace face{"Tools", K::Secondary, open ? G::ChevronLeft : G::ChevronRight, true};
             DrawButton(p, s, face, static_cast<ButtonState>(index % 3));
         }},
        {"ImageList_Get_Tools_Button", 3, {453, 55}, Button({"Get Tools Data", K::Primary, G::Download})},
        {"ImageList_Generate_Text_File_Button",
         3,
         {453, 55},
         Button({"Generate Text File", K::Secondary, G::Document})},
        {"ImageList_Reset_Button", 3, {146, 35}, Button({"Reset", K::Secondary, G::Reset})},
        {"ImageList_OK_Button", 3, {146, 35}, Button({"OK", K::Primary, G::None})},
        {"ImageList_Normal_Button", 2, {187, 20}, Button({"", K::Secondary, G::None})},
        {"ImageList_Tickbox",
         2,
         {28, 28},
         [](QPainter& p, const QSize& s, int i) { DrawTickBox(p, s, i == 1); }},
        {"ImageList_Close_Button",
         4,
         {26, 26},
         [](QPainter& p, const QSize& s, int i) { DrawCloseButton(p, s, i % 2 == 1); }},
        {"ImageList_Minimize_Button",
         5,
         {26, 26},
         [](QPainter& p, const QSize& s, int i) {
             // 3 normal and 4 hover are the ones shown; 0..2 are normal, hover and pressed
             DrawMinimizeButton(p, s, i == 1 || i == 4, i == 2);
         }},
        {"ImageList_ProgressBar",
         101,
         {285, 285},
         [](QPainter& p, const QSize& s, int i) { DrawProgressRing(p, s, i); }},
        {"ImageList_Tools_Sliderbar_32_Tools",
         1,
         {16, 200},
         [](QPainter& p, const QSize& s, int) { DrawScrollThumb(p, s); }},
        {"ImageList_Tools_Sliderbar_100_Tools",
         1,
         {16, 60},
         [](QPainter& p, const QSize& s, int) { DrawScrollThumb(p, s); }},
    };
    return lists;
}

int Find(const std::vector<Recipe>& recipes, const QString& name) {
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        if (recipes[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QPixmap Render(const Recipe& recipe, int index) {
    QImage image(recipe.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        recipe.draw(painter, recipe.size, index);
    }
    return QPixmap::fromImage(std::move(image));
}

// Drawn pictures, keyed by name and index. The ring's frames are many and each is shown briefly,
// so they live in a bounded cache; everything else is kept for the whole run.
struct Store {
    QMutex mutex;
    QHash<QString, QPixmap> kept;
    QCache<int, QPixmap> ringFrames{32};
};

Store& TheStore() {
    static Store store;
    return store;
}

QPixmap Cached(const Recipe& recipe, int index) {
    Store& store = TheStore();
    QMutexLocker lock(&store.mutex);
    const bool ring = recipe.count > 32;
    if (ring) {
        if (const QPixmap* frame = store.ringFrames.object(index)) {
            return *frame;
        }
    } else {
        const QString key = recipe.name + QLatin1Char('#') + QString::number(index);
        const auto found = store.kept.constFind(key);
        if (found != store.kept.constEnd()) {
            return *found;
        }
        const QPixmap pixmap = Render(recipe, index);
        store.kept.insert(key, pixmap);
        return pixmap;
    }
    const QPixmap pixmap = Render(recipe, index);
    store.ringFrames.insert(index, new QPixmap(pixmap));
    return pixmap;
}

} // namespace

QPixmap Picture(const QString& name) {
    const int entry = Find(Pictures(), name);
    return entry < 0 ? QPixmap() : Cached(Pictures()[entry], 0);
}

QStringList PictureNames() {
    QStringList names;
    for (const Recipe& recipe : Pictures()) {
        names << recipe.name;
    }
    return names;
}

ImageList ImageList::Named(const QString& listName) {
    return ImageList(Find(Lists(), listName));
}

QStringList ImageList::Names() {
    QStringList names;
    for (const Recipe& recipe : Lists()) {
        names << recipe.name;
    }
    return names;
}

QString ImageList::Name() const {
    return entry_ < 0 ? QString() : Lists()[entry_].name;
}

int ImageList::Count() const {
    return entry_ < 0 ? 0 : Lists()[entry_].count;
}

QSize ImageList::PictureSize() const {
    return entry_ < 0 ? QSize() : Lists()[entry_].size;
}

QPixmap ImageList::Picture(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return Cached(Lists()[entry_], index);
}

QPixmap ProgressRing(int percent) {
    static const ImageList ring = ImageList::Named(QStringLiteral("ImageList_ProgressBar"));
    return ring.Picture(percent);
}

} // namespace korva::assets
