#pragma once

#include <QString>

namespace korva {

// The folder that holds the settings file and the tools report: the folder that contains the
// application bundle, three levels above the executable (Folder/Name.app/Contents/MacOS/Exe gives
// "Folder/"). The result is absolute, has "." and ".." resolved and repeated separators collapsed
// (purely on the text; symbolic links are not followed) and always ends in "/". A relative
// executable path is taken relative to the current directory.
QString AppDataFolderFor(const QString& executablePath);

// AppDataFolderFor() of the running executable. Needs the application object to exist.
QString CurrentAppDataFolder();

} // namespace korva
