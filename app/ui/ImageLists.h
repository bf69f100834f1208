#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

namespace korva {

// The pictures of a named image list from the program's artwork ("ImageList_Connect_Button", ...),
// in order, ready for ImageButton::SetImageList.
QList<QPixmap> ImageListPictures(const QString& name);

} // namespace korva
