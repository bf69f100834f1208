#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>

namespace korva {

// The chosen G-code file. The program has one instance, CurrentFile, owned by the UI thread; it starts
// empty and not valid.
struct NC_File_To_Send_Structure {
    static constexpr std::size_t PathSize = 4095;

    bool Valid = false;                // the last file dropped on the main window was accepted
    QString Name;                      // file name without directories, or the refusal text
    QString BaseName;                  // Name without its extension
    std::array<char, PathSize> Path{}; // the full path as UTF-8, zero-padded

    // Stores the path's UTF-8 bytes, keeping at most the first PathSize and zeroing the rest.
    // Returns false when the stored bytes are not the whole path (longer than PathSize bytes or
    // holding a zero byte): such a path would name another file and must not be used.
    bool SetPath(const QString& path);
    bool SetPathBytes(const QByteArray& utf8Path);

    // Zeroes the whole path field.
    void ClearPath();

    // The stored path: the bytes up to the first zero byte (all PathSize bytes when there is none).
    QByteArray PathBytes() const;
    QString PathText() const;
};

} // namespace korva
