// Renders every picture of the program onto one contact sheet PNG for people to look at:
// the windows as they look with their controls and sample texts (at picture size and at the
// on-screen size of a 96 dpi display), then each picture and each image list on its own.
//
//   korva_contact_sheet <out.png> [--sections]
//
// --sections also writes each part of the sheet beside it (<out>-1.png, ...).

#include "assets/Palette.h"
#include "assets/Pictures.h"
#include "assets/Typeface.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <vector>

using namespace korva::assets;

namespace {

// Mock windows are drawn in window points and shown at twice that (the pictures' own size).
class Mock {
public:
    explicit Mock(QImage& image) : painter_(&image) {
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.setRenderHint(QPainter::SmoothPixmapTransform);
        painter_.setRenderHint(QPainter::TextAntialiasing);
        painter_.scale(2, 2);
    }

    void Pixmap(const QPixmap& pixmap, QRectF box, bool keepAspect = true) {
        if (keepAspect) {
            const QSizeF fitted = QSizeF(pixmap.size()).scaled(box.size(), Qt::KeepAspectRatio);
            box = QRectF(box.topLeft(), fitted);
        }
        painter_.drawPixmap(box, pixmap, QRectF(pixmap.rect()));
    }

    void Fill(const QRectF& box, const QColor& colour) { painter_.fillRect(box, colour); }

    void Text(const QRectF& box, const QString& text, const QColor& colour, double pixels,
              Qt::Alignment align = Qt::AlignCenter, bool fit = false, bool wrap = false) {
        QFont font = ArtFont(1);
        font.setPixelSize(std::max(1, int(pixels)));
        if (fit) {
            // grow or shrink until the text just fills the box
            for (int px = 60; px > 4; --px) {
                font.setPixelSize(px);
                const QRectF need = QFontMetricsF(font).boundingRect(QRectF(0, 0, 10000, 10000), 0, text);
                if (need.width() <= box.width() && need.height() <= box.height()) {
                    break;
                }
            }
        }
        painter_.setFont(font);
        painter_.setPen(colour);
        painter_.drawText(box, int(align) | (wrap ? Qt::TextWordWrap : 0), text);
    }

    double TextWidth(const QString& text, double pixels) {
        QFont font = ArtFont(int(pixels));
        return QFontMetricsF(font).horizontalAdvance(text);
    }

    // Close and minimise buttons, the strip, and the centred icon and title.
    void Chrome(double width, double stripWidth) {
        Pixmap(ImageList::Named("ImageList_Close_Button").Picture(2), QRectF(3, 3, 13, 13));
        Fill(QRectF(35, 0, stripWidth, 19), palette::kTitleStrip);
        Pixmap(ImageList::Named("ImageList_Minimize_Button").Picture(3), QRectF(42, 3, 13, 13));
        const double titleWidth = TextWidth("KORVA Rivo", 11);
        const double iconLeft = std::nearbyint(width * 0.5 - (titleWidth + 15 + 3) * 0.5);
        Pixmap(Picture("Img_Titlebar_Icon"), QRectF(iconLeft, 2, 15, 15));
        Text(QRectF(iconLeft + 18, 3, titleWidth + 2, 14), "KORVA Rivo", palette::kText, 11,
             Qt::AlignLeft | Qt::AlignTop);
    }

    void Edit(const QRectF& box, const QString& text, Qt::Alignment align) {
        Fill(box, palette::kEditBox);
        Text(box.adjusted(2, 0, -2, 0), text, palette::kEditText, 11, align | Qt::AlignVCenter);
    }

private:
    QPainter painter_;
};

const QString kVersion = QStringLiteral("KORVA Rivo v2.12\nBuild: 7 March 2024");

QImage SplashMock() {
    QImage image(878, 190, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette::kWindow);
    Mock m(image);
    m.Pixmap(Picture("imgStartup"), QRectF(0, 0, 439, 95));
    m.Text(QRectF(310, 61, 122, 30), kVersion, palette::kText, 12, Qt::AlignRight | Qt::AlignVCenter, true);
    return image;
}

QImage ConnectMock() {
    QImage image(537, 871, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette::kWindow);
    Mock m(image);
    m.Pixmap(Picture("ImgMain_Window"), QRectF(0, 0, 268, 435), false);
    m.Chrome(268, 233);
    m.Pixmap(ImageList::Named("ImageList_Tickbox").Picture(0), QRectF(41, 171, 14, 14));
    m.Text(QRectF(60, 171, 169, 13), "Connected to My KORVA network", palette::kText, 11);
    m.Pixmap(Picture("Img_IP_Addr_Boxes"), QRectF(55, 194, 159, 20));
    const QStringList octets{"192", "168", "1", "20"};
    for (int i = 0; i < 4; ++i) {
        m.Edit(QRectF(56 + 42 * i, 196, 31, 16), octets[i], Qt::AlignHCenter);
    }
    m.Pixmap(ImageList::Named("ImageList_Connect_Button").Picture(1), QRectF(41, 224, 187, 20));
    m.Edit(QRectF(48, 298, 180, 16), "My Mill - Main Workshop", Qt::AlignLeft);
    m.Text(QRectF(0, 320, 267, 22),
           "Give a name of your machine for your reference.\nExample: My Mill - Main Workshop",
           palette::kText, 9);
    m.Text(QRectF(62, 367, m.TextWidth("KORVA Documentation", 11) + 2, 14), "KORVA Documentation",
           palette::kAccent, 11, Qt::AlignLeft | Qt::AlignTop);
    m.Text(QRectF(154, 405, 110, 28), kVersion, palette::kText, 10, Qt::AlignRight | Qt::AlignVCenter, true);
    return image;
}

QImage MainMock(bool withTools) {
    const double width = withTools ? 536 : 268;
    QImage image(withTools ? 1073 : 537, 871, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette::kWindow);
    Mock m(image);
    m.Pixmap(Picture("ImgMain_Window_Normal"), QRectF(0, 0, 268, 435), false);
    if (withTools) {
        m.Pixmap(Picture("ImgMain_Window_With_Tools"), QRectF(0, 0, 536, 435), false);
    }
    m.Chrome(width, width);
    m.Pixmap(Picture("Img_Settings_ICON"), QRectF(6, 24, 18, 24));
    m.Text(QRectF(26, 25, 205, 34), "My Mill", palette::kWhite, 30);
    m.Pixmap(ImageList::Named("ImageList_Disconnect_Button").Picture(0), QRectF(41, 72, 187, 20));
    m.Pixmap(ProgressRing(withTools ? 40 : 65), QRectF(63, 100, 142, 142));
    m.Text(QRectF(96, 120, 75, 40), withTools ? "40%" : "65%", palette::kAccent, 29);
    if (withTools) {
        m.Text(QRectF(70, 159, 128, 41), "Getting Tools\nData", palette::kGreen, 16);
    } else {
        m.Text(QRectF(70, 159, 128, 41), "Machine Stopped", palette::kText, 16);
        m.Pixmap(Picture("Img_Drop_NC_File"), QRectF(115, 193, 39, 40));
    }
    m.Text(QRectF(17, 245, 234, 20), "bracket_left_v2.nc", palette::kAccent, 14, Qt::AlignCenter, true);
    m.Text(QRectF(17, 268, 234, 16), "Job time: 12h 31m", palette::kText, 11);
    m.Pixmap(Picture("Img_Editbox_KORVA_Folder_Name"), QRectF(40, 283, 187, 20));
    m.Edit(QRectF(44, 285, 155, 16), "JOBS", Qt::AlignLeft);
    m.Pixmap(ImageList::Named("ImageList_Send_File_Button").Picture(0), QRectF(41, 309, 187, 20));
    m.Pixmap(ImageList::Named("ImageList_Tools_Button").Picture(withTools ? 4 : 0), QRectF(41, 337, 187, 20));
    m.Text(QRectF(41, 362, 105, 20), "Jobs: 42", palette::kText, 17, Qt::AlignLeft | Qt::AlignVCenter);
    m.Pixmap(ImageList::Named("ImageList_Reset_Button").Picture(0), QRectF(155, 364, 73, 18));
    m.Text(QRectF(30, 392, 209, 41), "Serial No: K8-7000\nMill 5-Axis\nCore Version: 3.10", palette::kText,
           12, Qt::AlignCenter, true);
    m.Pixmap(Picture("Img_QR_Code_ICON"), QRectF(6, 405, 25, 25));
    if (withTools) {
        const int numberTops[10] = {59, 87, 116, 145, 174, 203, 232, 260, 288, 319};
        const int nameTops[10] = {59, 87, 116, 145, 174, 203, 232, 260, 290, 319};
        const QStringList names{"Flat End Mill 6mm", "Ball Nose 3mm",  "Drill 5.5mm", "-",
                                "Chamfer 90deg",     "Face Mill 50mm", "-",           "Thread Mill M6",
                                "Engraver 0.2mm",    "Spot Drill 8mm"};
        for (int row = 0; row < 10; ++row) {
            m.Text(QRectF(301, numberTops[row], 43, 29), QString::number(row + 1), palette::kAccent, 11);
            m.Text(QRectF(352, nameTops[row], row == 0 ? 141 : 142, 26), names[row], palette::kText, 11,
                   Qt::AlignCenter, false, true);
        }
        m.Pixmap(ImageList::Named("ImageList_Tools_Sliderbar_100_Tools").Picture(0), QRectF(516, 34, 8, 30),
                 false);
        m.Pixmap(ImageList::Named("ImageList_Get_Tools_Button").Picture(1), QRectF(277, 360, 226, 27));
        m.Pixmap(ImageList::Named("ImageList_Generate_Text_File_Button").Picture(0),
                 QRectF(277, 398, 226, 27));
    }
    return image;
}

QImage MessageMock() {
    QImage image(606, 287, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette::kWindow);
    Mock m(image);
    m.Pixmap(Picture("Img_Message_Window"), QRectF(0, 0, 303, 143), false);
    m.Text(QRectF(11, 40, 280, 64), "Settings data file not found.\nResetting to defaults", palette::kAccent,
           15, Qt::AlignHCenter | Qt::AlignTop, false, true);
    m.Pixmap(ImageList::Named("ImageList_OK_Button").Picture(0), QRectF(115, 112, 73, 18));
    return image;
}

QImage Half(const QImage& image) {
    return image.scaled(image.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A section: a heading and tiles laid out in rows.
struct Tile {
    QImage image;
    QString caption;
};

const QColor kSheet(0x0B, 0x12, 0x16);
const QColor kChecker(0x3A, 0x44, 0x4A);

QImage Section(const QString& heading, const std::vector<Tile>& tiles, int width, bool checker) {
    const int pad = 24;
    const int captionHeight = 30;
    // lay out
    std::vector<QPoint> at;
    const QFontMetrics captionMetrics(ArtFont(16));
    int x = pad;
    int y = 70;
    int rowHeight = 0;
    for (const Tile& tile : tiles) {
        const int w = std::max(tile.image.width(), captionMetrics.horizontalAdvance(tile.caption));
        if (x + w > width - pad && x > pad) {
            x = pad;
            y += rowHeight + captionHeight + pad;
            rowHeight = 0;
        }
        at.emplace_back(x, y);
        x += w + pad;
        rowHeight = std::max(rowHeight, tile.image.height());
    }
    const int height = y + rowHeight + captionHeight + pad;
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(kSheet);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(0xE8, 0xEE, 0xF0));
    p.setFont(ArtFont(30, QFont::Bold));
    p.drawText(QPoint(pad, 46), heading);
    p.setFont(ArtFont(16));
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const Tile& tile = tiles[i];
        const QRect box(at[i], tile.image.size());
        if (checker) {
            // a checker board shows which pixels are transparent
            for (int cy = box.top(); cy < box.bottom(); cy += 8) {
                for (int cx = box.left(); cx < box.right(); cx += 8) {
                    const bool dark = ((cx - box.left()) / 8 + (cy - box.top()) / 8) % 2 == 0;
                    p.fillRect(
                        QRect(cx, cy, std::min(8, box.right() + 1 - cx), std::min(8, box.bottom() + 1 - cy)),
                        dark ? kChecker : kChecker.darker(130));
                }
            }
        }
        p.drawImage(box.topLeft(), tile.image);
        p.setPen(QColor(0xA8, 0xB8, 0xBE));
        p.drawText(QPoint(box.left(), box.bottom() + 22), tile.caption);
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: korva_contact_sheet <out.png> [--sections]\n";
        return 2;
    }
    const QString out = args[1];
    QTextStream report(stdout);

    // Timings of the first (uncached) drawing of everything.
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : PictureNames()) {
        Picture(name);
    }
    const qint64 picturesMs = timer.restart();
    for (const QString& name : ImageList::Names()) {
        if (name == "ImageList_ProgressBar") {
            continue;
        }
        const ImageList list = ImageList::Named(name);
        for (int i = 0; i < list.Count(); ++i) {
            list.Picture(i);
        }
    }
    const qint64 listsMs = timer.restart();
    for (int i = 0; i <= 100; ++i) {
        ProgressRing(i);
    }
    const qint64 ringMs = timer.elapsed();
    report << "first drawing: pictures " << picturesMs << " ms, button and control lists " << listsMs
           << " ms, 101 ring frames " << ringMs << " ms (" << QString::number(ringMs / 101.0, 'f', 2)
           << " ms a frame)\n";

    const int width = 2300;
    std::vector<QImage> sections;

    const QImage splash = SplashMock();
    const QImage connect = ConnectMock();
    const QImage mainNarrow = MainMock(false);
    const QImage mainTools = MainMock(true);
    const QImage message = MessageMock();
    sections.push_back(Section("Windows at picture size (2x, as on a Retina display)",
                               {{connect, "connect window"},
                                {mainNarrow, "main window, machine stopped"},
                                {mainTools, "main window, tools panel open, fetching tools"},
                                {splash, "splash"},
                                {message, "message window"}},
                               width, false));
    sections.push_back(Section("Windows on a 96 dpi display (half size)",
                               {{Half(connect), "connect"},
                                {Half(mainNarrow), "main"},
                                {Half(mainTools), "main with tools"},
                                {Half(splash), "splash"},
                                {Half(message), "message"}},
                               width, false));

    std::vector<Tile> pictures;
    for (const QString& name : PictureNames()) {
        const QPixmap pixmap = Picture(name);
        pictures.push_back(
            {pixmap.toImage(), QString("%1  %2x%3").arg(name).arg(pixmap.width()).arg(pixmap.height())});
    }
    sections.push_back(Section("Pictures (stored size, checker = transparent)", pictures, width, true));

    std::vector<Tile> lists;
    for (const QString& name : ImageList::Names()) {
        const ImageList list = ImageList::Named(name);
        if (name == "ImageList_ProgressBar") {
            continue;
        }
        for (int i = 0; i < list.Count(); ++i) {
            const QImage picture = list.Picture(i).toImage();
            lists.push_back({picture, QString("%1 [%2]").arg(name.mid(10)).arg(i)});
        }
    }
    sections.push_back(Section("Image lists (stored size)", lists, width, true));

    // the small pictures four times enlarged, on the window colour, to judge their detail
    std::vector<Tile> small;
    const auto enlarge = [](const QPixmap& pixmap) {
        QImage ground(pixmap.size() * 4, QImage::Format_ARGB32_Premultiplied);
        ground.fill(palette::kWindow);
        QPainter p(&ground);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(ground.rect(), pixmap);
        return ground;
    };
    for (const char* name : {"Img_Titlebar_Icon", "Img_Settings_ICON", "Img_QR_Code_ICON", "Img_Drop_NC_File",
                             "Img_MAKE_WITH_KORVA_LOGO"}) {
        small.push_back({enlarge(Picture(name)), QString(name) + " x4"});
    }
    for (const auto& [name, index] : std::vector<std::pair<QString, int>>{{"ImageList_Tickbox", 0},
                                                                          {"ImageList_Tickbox", 1},
                                                                          {"ImageList_Close_Button", 2},
                                                                          {"ImageList_Close_Button", 3},
                                                                          {"ImageList_Minimize_Button", 3},
                                                                          {"ImageList_Minimize_Button", 4}}) {
        small.push_back({enlarge(ImageList::Named(name).Picture(index)),
                         QString("%1 [%2] x4").arg(name.mid(10)).arg(index)});
    }
    sections.push_back(Section("Small pictures enlarged four times", small, width, false));

    std::vector<Tile> ring;
    for (int percent : {0, 1, 5, 12, 25, 33, 50, 66, 75, 90, 99, 100}) {
        ring.push_back({ProgressRing(percent).toImage(), QString("ProgressBar [%1]").arg(percent)});
    }
    sections.push_back(
        Section("ImageList_ProgressBar (285x285, 101 pictures; a selection)", ring, width, true));

    int height = 0;
    for (const QImage& section : sections) {
        height += section.height();
    }
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(kSheet);
    {
        QPainter p(&sheet);
        int y = 0;
        for (const QImage& section : sections) {
            p.drawImage(0, y, section);
            y += section.height();
        }
    }
    if (!sheet.save(out)) {
        QTextStream(stderr) << "cannot write " << out << "\n";
        return 1;
    }
    report << "wrote " << out << " (" << width << "x" << height << ")\n";
    if (args.contains("--sections")) {
        const QFileInfo info(out);
        for (std::size_t i = 0; i < sections.size(); ++i) {
            const QString part =
                info.path() + "/" + info.completeBaseName() + "-" + QString::number(i + 1) + ".png";
            sections[i].save(part);
            report << "wrote " << part << "\n";
        }
    }
    return 0;
}
