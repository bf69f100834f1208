#include "assets/Pictures.h"
#include "assets/RingArt.h"

#include <QImage>
#include <QSet>
#include <QtTest>
#include <cmath>
#include <numbers>

using namespace korva::assets;

namespace {

QImage Pixels(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// A pixel of the ring's accent arc (either end of its shading), as opposed to the dark track.
bool IsAccent(QRgb pixel) {
    return qAlpha(pixel) >= 200 && qBlue(pixel) >= 150 && qGreen(pixel) >= 120 && qRed(pixel) <= 140;
}

int AccentPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            count += IsAccent(line[x]) ? 1 : 0;
        }
    }
    return count;
}

// The ring's pixel at `degrees` clockwise from twelve o'clock, on the middle of its band.
QRgb RingPixelAt(const QImage& ring, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double x = RingGeometry::kCentre + RingGeometry::kRadius * std::sin(a);
    const double y = RingGeometry::kCentre - RingGeometry::kRadius * std::cos(a);
    return ring.pixel(int(std::floor(x)), int(std::floor(y)));
}

int DifferingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            count += d > 24 ? 1 : 0;
        }
    }
    return count;
}

int VisiblePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

struct ListSpec {
    const char* name;
    int count;
    QSize size;
};

const ListSpec kLists[] = {
    {"ImageList_Connect_Button", 3, {374, 40}},
    {"ImageList_Disconnect_Button", 2, {374, 40}},
    {"ImageList_Send_File_Button", 3, {374, 40}},
    {"ImageList_Tools_Button", 6, {374, 40}},
    {"ImageList_Get_Tools_Button", 3, {453, 55}},
    {"ImageList_Generate_Text_File_Button", 3, {453, 55}},
    {"ImageList_Reset_Button", 3, {146, 35}},
    {"ImageList_OK_Button", 3, {146, 35}},
    {"ImageList_Normal_Button", 2, {187, 20}},
    {"ImageList_Tickbox", 2, {28, 28}},
    {"ImageList_Close_Button", 4, {26, 26}},
    {"ImageList_Minimize_Button", 5, {26, 26}},
    {"ImageList_ProgressBar", 101, {285, 285}},
    {"ImageList_Tools_Sliderbar_32_Tools", 1, {16, 200}},
    {"ImageList_Tools_Sliderbar_100_Tools", 1, {16, 60}},
};

struct PictureSpec {
    const char* name;
    QSize size;
    bool opaque; // covers its whole picture: window backgrounds, and the logo on its white paper
};

const PictureSpec kPictures[] = {
    {"imgStartup", {878, 190}, true},
    {"ImgMain_Window", {537, 871}, true},
    {"ImgMain_Window_Normal", {537, 871}, true},
    {"ImgMain_Window_With_Tools", {1073, 871}, true},
    {"Img_Message_Window", {606, 287}, true},
    {"Img_Titlebar_Icon", {30, 30}, false},
    {"Img_Drop_NC_File", {77, 79}, false},
    {"Img_IP_Addr_Boxes", {319, 40}, false},
    {"Img_Editbox_KORVA_Folder_Name", {374, 40}, false},
    {"Img_Settings_ICON", {28, 29}, false},
    {"Img_QR_Code_ICON", {51, 50}, false},
    {"Img_MAKE_WITH_KORVA_LOGO", {160, 33}, true},
    {"Img_ProgressBar", {285, 285}, false},
    {"Img_Tools_Scrollbar", {8, 100}, false},
    {"Image_Tools_Sliderbar_32_Tools", {16, 200}, false},
    {"Image_Tools_Sliderbar_100_Tools", {16, 60}, false},
};

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void imageListHasItsCountAndPictureSize_data();
    void imageListHasItsCountAndPictureSize();
    void pictureHasItsSizeAndContent_data();
    void pictureHasItsSizeAndContent();
    void namesAreExactlyTheControlNames();
    void unknownNamesAndIndexesGiveNothing();
    void statePicturesLookDifferent_data();
    void statePicturesLookDifferent();
    void narrowMainWindowIsTheLeftPartOfTheWideOne();
    void logoIsDarkInkOnWhite();
    void ringZeroHasNoAccentAndHundredIsAFullCircle();
    void ringGrowsWithEveryPercent();
    void ringFillsClockwiseFromTheTop_data();
    void ringFillsClockwiseFromTheTop();
    void ringLeavesTheMiddleClearForThePercentage();
    void ringFunctionMatchesTheImageList();
    void picturesAreDrawnOnceAndKept();
};

void TestPictures::imageListHasItsCountAndPictureSize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QSize>("size");
    for (const ListSpec& list : kLists) {
        QTest::newRow(list.name) << QString(list.name) << list.count << list.size;
    }
}

void TestPictures::imageListHasItsCountAndPictureSize() {
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QSize, size);
    const ImageList list = ImageList::Named(name);
    QCOMPARE(list.Name(), name);
    QCOMPARE(list.Count(), count);
    QCOMPARE(list.PictureSize(), size);
    for (int i = 0; i < count; ++i) {
        const QPixmap picture = list.Picture(i);
        QVERIFY2(!picture.isNull(), qPrintable(QString::number(i)));
        QCOMPARE(picture.size(), size);
        // the ring's empty frame still shows its track; everything else has visible art
        QVERIFY2(VisiblePixels(Pixels(picture)) > size.width() * size.height() / 20,
                 qPrintable(QString::number(i)));
    }
    QVERIFY(list.Picture(-1).isNull());
    QVERIFY(list.Picture(count).isNull());
}

void TestPictures::pictureHasItsSizeAndContent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("opaque");
    for (const PictureSpec& picture : kPictures) {
        QTest::newRow(picture.name) << QString(picture.name) << picture.size << picture.opaque;
    }
}

void TestPictures::pictureHasItsSizeAndContent() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, opaque);
    const QPixmap picture = Picture(name);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), size);
    const int visible = VisiblePixels(Pixels(picture));
    if (opaque) {
        QCOMPARE(visible, size.width() * size.height());
    } else {
        // a picture whose source failed to load would come out fully transparent
        QVERIFY2(visible > size.width() * size.height() / 20, qPrintable(QString::number(visible)));
    }
}

void TestPictures::namesAreExactlyTheControlNames() {
    QSet<QString> lists;
    for (const ListSpec& list : kLists) {
        lists.insert(list.name);
    }
    QSet<QString> pictures;
    for (const PictureSpec& picture : kPictures) {
        pictures.insert(picture.name);
    }
    const QStringList listNames = ImageList::Names();
    const QStringList pictureNames = PictureNames();
    QCOMPARE(QSet<QString>(listNames.begin(), listNames.end()), lists);
    QCOMPARE(QSet<QString>(pictureNames.begin(), pictureNames.end()), pictures);
}

void TestPictures::unknownNamesAndIndexesGiveNothing() {
    QVERIFY(Picture("imgstartup").isNull()); // names are exact, case included
    QVERIFY(Picture("").isNull());
    QVERIFY(Picture("ImageList_Connect_Button").isNull()); // a list is not a single picture
    const ImageList none = ImageList::Named("ImageList_Connect");
    QCOMPARE(none.Count(), 0);
    QVERIFY(!none.PictureSize().isValid());
    QVERIFY(none.Picture(0).isNull());
    QVERIFY(ImageList().Picture(0).isNull());
    QVERIFY(ProgressRing(-1).isNull());
    QVERIFY(ProgressRing(101).isNull());
    QVERIFY(ProgressRing(150).isNull());
}

void TestPictures::statePicturesLookDifferent_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("minimumPixels");
    // Whole-face changes (hover, pressed) touch most of the picture; the chevron only its glyph.
    const struct {
        const char* list;
        int first;
        int second;
        int minimumPixels;
    } rows[] = {
        {"ImageList_Connect_Button", 0, 1, 4000},
        {"ImageList_Connect_Button", 0, 2, 4000},
        {"ImageList_Connect_Button", 1, 2, 4000},
        {"ImageList_Disconnect_Button", 0, 1, 4000},
        {"ImageList_Send_File_Button", 0, 1, 4000},
        {"ImageList_Send_File_Button", 0, 2, 4000},
        {"ImageList_Send_File_Button", 1, 2, 4000},
        {"ImageList_Tools_Button", 0, 1, 4000},
        {"ImageList_Tools_Button", 0, 2, 4000},
        {"ImageList_Tools_Button", 1, 2, 4000},
        {"ImageList_Tools_Button", 3, 4, 4000},
        {"ImageList_Tools_Button", 3, 5, 4000},
        {"ImageList_Tools_Button", 4, 5, 4000},
        {"ImageList_Tools_Button", 0, 3, 40},
        {"ImageList_Tools_Button", 1, 4, 40},
        {"ImageList_Tools_Button", 2, 5, 40},
        {"ImageList_Get_Tools_Button", 0, 1, 6000},
        {"ImageList_Get_Tools_Button", 0, 2, 6000},
        {"ImageList_Get_Tools_Button", 1, 2, 6000},
        {"ImageList_Generate_Text_File_Button", 0, 1, 6000},
        {"ImageList_Generate_Text_File_Button", 0, 2, 6000},
        {"ImageList_Generate_Text_File_Button", 1, 2, 6000},
        {"ImageList_Reset_Button", 0, 1, 1200},
        {"ImageList_Reset_Button", 0, 2, 1200},
        {"ImageList_Reset_Button", 1, 2, 1200},
        {"ImageList_OK_Button", 0, 1, 1200},
        {"ImageList_OK_Button", 0, 2, 1200},
        {"ImageList_OK_Button", 1, 2, 1200},
        {"ImageList_Normal_Button", 0, 1, 600},
        {"ImageList_Tickbox", 0, 1, 150},
        {"ImageList_Close_Button", 2, 3, 150},
        {"ImageList_Minimize_Button", 3, 4, 150},
    };
    for (const auto& row : rows) {
        QTest::addRow("%s %d-%d", row.list, row.first, row.second)
            << QString(row.list) << row.first << row.second << row.minimumPixels;
    }
}

void TestPictures::statePicturesLookDifferent() {
    QFETCH(QString, list);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, minimumPixels);
    const ImageList pictures = ImageList::Named(list);
    const int differing = DifferingPixels(Pixels(pictures.Picture(first)), Pixels(pictures.Picture(second)));
    QVERIFY2(differing >= minimumPixels, qPrintable(QString::number(differing)));
}

void TestPictures::narrowMainWindowIsTheLeftPartOfTheWideOne() {
    // Opening the tools panel lays the wide picture over the narrow one: the left part must not jump.
    const QImage narrow = Pixels(Picture("ImgMain_Window_Normal"));
    const QImage wide = Pixels(Picture("ImgMain_Window_With_Tools"));
    const QImage left = wide.copy(0, 0, 535, wide.height());
    QCOMPARE(DifferingPixels(narrow.copy(0, 0, 535, narrow.height()), left), 0);
}

void TestPictures::logoIsDarkInkOnWhite() {
    const QImage logo = Pixels(Picture("Img_MAKE_WITH_KORVA_LOGO"));
    int dark = 0;
    int white = 0;
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x) {
            const int grey = qGray(logo.pixel(x, y));
            dark += grey < 110 ? 1 : 0;
            white += grey > 245 ? 1 : 0;
        }
    }
    const int all = logo.width() * logo.height();
    QVERIFY2(dark > all / 10, qPrintable(QString::number(dark)));
    QVERIFY2(white > all / 2, qPrintable(QString::number(white)));
}

void TestPictures::ringZeroHasNoAccentAndHundredIsAFullCircle() {
    QCOMPARE(AccentPixels(Pixels(ProgressRing(0))), 0);
    const QImage full = Pixels(ProgressRing(100));
    for (int tenth = 0; tenth < 3600; ++tenth) {
        const double degrees = tenth / 10.0;
        QVERIFY2(IsAccent(RingPixelAt(full, degrees)), qPrintable(QString::number(degrees)));
    }
}

void TestPictures::ringGrowsWithEveryPercent() {
    int previous = AccentPixels(Pixels(ProgressRing(0)));
    for (int percent = 1; percent <= 100; ++percent) {
        const int accent = AccentPixels(Pixels(ProgressRing(percent)));
        QVERIFY2(accent > previous,
                 qPrintable(QString("%1%: %2 after %3").arg(percent).arg(accent).arg(previous)));
        previous = accent;
    }
}

void TestPictures::ringFillsClockwiseFromTheTop_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<bool>("filled");
    QTest::newRow("1% just after twelve") << 1 << 1.8 << true;
    QTest::newRow("1% not beyond its share") << 1 << 8.0 << false;
    QTest::newRow("1% not before twelve") << 1 << 358.0 << false;
    QTest::newRow("25% at half past one") << 25 << 45.0 << true;
    QTest::newRow("25% not at half past four") << 25 << 135.0 << false;
    QTest::newRow("50% down the right side") << 50 << 175.0 << true;
    QTest::newRow("50% not up the left side") << 50 << 185.0 << false;
    QTest::newRow("75% at eight") << 75 << 265.0 << true;
    QTest::newRow("75% not at ten") << 75 << 300.0 << false;
    QTest::newRow("99% nearly round") << 99 << 355.0 << true;
    QTest::newRow("99% leaves its last percent") << 99 << 359.3 << false;
}

void TestPictures::ringFillsClockwiseFromTheTop() {
    QFETCH(int, percent);
    QFETCH(double, degrees);
    QFETCH(bool, filled);
    QCOMPARE(IsAccent(RingPixelAt(Pixels(ProgressRing(percent)), degrees)), filled);
}

void TestPictures::ringLeavesTheMiddleClearForThePercentage() {
    const double clear = RingGeometry::kRadius - RingGeometry::kBand / 2 - 1.5;
    for (int percent : {0, 37, 100}) {
        const QImage ring = Pixels(ProgressRing(percent));
        for (int y = 0; y < ring.height(); ++y) {
            for (int x = 0; x < ring.width(); ++x) {
                const double dx = x + 0.5 - RingGeometry::kCentre;
                const double dy = y + 0.5 - RingGeometry::kCentre;
                if (std::hypot(dx, dy) < clear && qAlpha(ring.pixel(x, y)) != 0) {
                    QFAIL(qPrintable(QString("%1%: pixel %2,%3 is not clear").arg(percent).arg(x).arg(y)));
                }
            }
        }
    }
}

void TestPictures::ringFunctionMatchesTheImageList() {
    const ImageList list = ImageList::Named("ImageList_ProgressBar");
    for (int percent : {0, 1, 42, 99, 100}) {
        QCOMPARE(Pixels(ProgressRing(percent)), Pixels(list.Picture(percent)));
    }
    QCOMPARE(Pixels(Picture("Img_ProgressBar")), Pixels(ProgressRing(100)));
}

void TestPictures::picturesAreDrawnOnceAndKept() {
    QCOMPARE(Picture("imgStartup").cacheKey(), Picture("imgStartup").cacheKey());
    const ImageList connect = ImageList::Named("ImageList_Connect_Button");
    QCOMPARE(connect.Picture(1).cacheKey(),
             ImageList::Named("ImageList_Connect_Button").Picture(1).cacheKey());
    QVERIFY(connect.Picture(0).cacheKey() != connect.Picture(1).cacheKey());
    QCOMPARE(ProgressRing(57).cacheKey(), ProgressRing(57).cacheKey());
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
