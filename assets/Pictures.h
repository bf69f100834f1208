#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

// The program's pictures: window backgrounds, icons, the logo, and the image lists of the image
// buttons, the tick box, the scroll thumbs and the progress ring. Every picture is drawn at its
// stored pixel size (about twice its on-screen size) on first use and kept for later calls.
// Names are those of the image controls and image lists of the windows.
//
// Use from the UI thread only (QPixmap), after the QGuiApplication exists.
namespace korva::assets {

// A single picture, e.g. "imgStartup", "ImgMain_Window", "Img_Titlebar_Icon".
// A null QPixmap for a name that is not one of PictureNames().
QPixmap Picture(const QString& name);
QStringList PictureNames();

class ImageList {
public:
    ImageList() = default;

    // The list of that name, e.g. "ImageList_Connect_Button"; an empty list (Count() 0) for a
    // name that is not one of Names().
    static ImageList Named(const QString& listName);
    static QStringList Names();

    QString Name() const;
    int Count() const;
    QSize PictureSize() const;
    // Picture `index`; a null QPixmap for an index outside 0..Count()-1.
    QPixmap Picture(int index) const;

private:
    explicit ImageList(int entry) : entry_(entry) {}
    int entry_ = -1;
};

// Picture `percent` of "ImageList_ProgressBar": the ring that many percent full (0..100);
// a null QPixmap outside 0..100.
QPixmap ProgressRing(int percent);

} // namespace korva::assets
