#include "app/AppDataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korva {

QString AppDataFolderFor(const QString& executablePath) {
    const QString executableFolder = QFileInfo(executablePath).absolutePath();
    QString folder = QDir::cleanPath(executableFolder + QStringLiteral("/../../.."));

    // cleanPath keeps ".." that climbs above the root ("/.."); the root's parent is the root.
    while (folder.startsWith(QStringLiteral("/..")) && (folder.size() == 3 || folder.at(3) == u'/'))
        folder.remove(0, 3);
    if (folder.isEmpty())
        folder = QStringLiteral("/");

    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString CurrentAppDataFolder() {
    return AppDataFolderFor(QCoreApplication::applicationFilePath());
}

} // namespace korva
