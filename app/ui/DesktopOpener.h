#pragma once

#include <QUrl>
#include <functional>

namespace korva {

// The documentation web site opened from the connect window.
inline constexpr const char DocumentationAddress[] = "https://docs.korva.example/rivo";

// Opens a web address or a local file with the user's default application. Replaceable so that
// tests never start a browser or a viewer; SetDesktopOpener returns the opener it replaced, and an
// empty function restores the desktop's own.
using DesktopOpener = std::function<bool(const QUrl& url)>;
DesktopOpener SetDesktopOpener(DesktopOpener opener);
bool OpenWithDesktop(const QUrl& url);

// Opens the documentation web site; failure is ignored.
void OpenDocumentation();

} // namespace korva
