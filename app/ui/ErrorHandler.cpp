#include "app/ui/ErrorHandler.h"

#include "app/SettingsError.h"

#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>

namespace korva {

namespace {

ErrorPresenter& Presenter() {
    static ErrorPresenter presenter;
    return presenter;
}

void ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("KORVA Rivo"), text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace

ErrorPresenter SetErrorPresenter(ErrorPresenter presenter) {
    ErrorPresenter previous = std::move(Presenter());
    Presenter() = std::move(presenter);
    return previous;
}

void ShowError(const QString& text) {
    // A copy, so a presenter that replaces itself keeps running safely.
    const ErrorPresenter presenter = Presenter();
    if (presenter)
        presenter(text);
    else
        ShowErrorBox(text);
}

QString ErrorText(const std::exception& error) {
    if (const auto* settingsError = dynamic_cast<const SettingsError*>(&error))
        return settingsError->Text();
    return QString::fromUtf8(error.what());
}

KorvaApplication::KorvaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("KORVA Rivo"));
    setApplicationDisplayName(QStringLiteral("KORVA Rivo"));
    // Windows are ended only by the program's own exit paths (close buttons, closing a working
    // window), never because the splash was hidden before the next window appeared.
    setQuitOnLastWindowClosed(false);
#if !defined(Q_OS_MACOS) && !defined(Q_OS_WIN)
    // The windows are laid out for the compact sans of the Mac desktop. The usual Linux sans is
    // wider and taller; its condensed face keeps texts such as "Connected to My KORVA network" and
    // the two-line hints inside their boxes.
    const QString condensed = QStringLiteral("DejaVu Sans Condensed");
    if (QFontDatabase::families().contains(condensed)) {
        QFont font = QApplication::font();
        font.setFamilies({condensed});
        font.setStyleHint(QFont::SansSerif);
        setFont(font);
    }
#endif
}

bool KorvaApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace korva
