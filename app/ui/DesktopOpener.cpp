#include "app/ui/DesktopOpener.h"

#include <QDesktopServices>

namespace korva {

namespace {

DesktopOpener& Opener() {
    static DesktopOpener opener;
    return opener;
}

} // namespace

DesktopOpener SetDesktopOpener(DesktopOpener opener) {
    DesktopOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
}

bool OpenWithDesktop(const QUrl& url) {
    const DesktopOpener opener = Opener();
    if (opener)
        return opener(url);
    return QDesktopServices::openUrl(url);
}

void OpenDocumentation() {
    OpenWithDesktop(QUrl(QString::fromLatin1(DocumentationAddress)));
}

} // namespace korva
