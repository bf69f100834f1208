#include "app/ui/ImageLists.h"

#include "assets/Pictures.h"

namespace korva {

QList<QPixmap> ImageListPictures(const QString& name) {
    const auto& list = assets::ImageList::Named(name);
    QList<QPixmap> pictures;
    pictures.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        pictures.append(list.Picture(i));
    return pictures;
}

} // namespace korva
