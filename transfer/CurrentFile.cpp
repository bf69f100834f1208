#include "transfer/CurrentFile.h"

#include <algorithm>
#include <cstring>

namespace korva {

bool NC_File_To_Send_Structure::SetPath(const QString& path) {
    return SetPathBytes(path.toUtf8());
}

bool NC_File_To_Send_Structure::SetPathBytes(const QByteArray& utf8Path) {
    ClearPath();
    const std::size_t length = std::min(static_cast<std::size_t>(utf8Path.size()), PathSize);
    std::memcpy(Path.data(), utf8Path.constData(), length);
    return static_cast<std::size_t>(utf8Path.size()) <= PathSize && !utf8Path.contains('\0');
}

void NC_File_To_Send_Structure::ClearPath() {
    Path.fill('\0');
}

QByteArray NC_File_To_Send_Structure::PathBytes() const {
    const auto end = std::find(Path.begin(), Path.end(), '\0');
    return QByteArray(Path.data(), static_cast<qsizetype>(end - Path.begin()));
}

QString NC_File_To_Send_Structure::PathText() const {
    return QString::fromUtf8(PathBytes());
}

} // namespace korva
