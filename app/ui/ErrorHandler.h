#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <utility>

namespace korva {

// The application's general error handler.
//
// An error raised inside an event handler (a settings file that cannot be written, an address box
// that holds no number) stops that action; its text is shown in an error box and the program
// carries on. Handlers that can fail run their body through Guarded(); the application object
// catches whatever still escapes an event handler.

// Shows an error's text to the user. Replaceable so that tests can capture the text instead of
// blocking on a modal box; SetErrorPresenter returns the presenter it replaced, and an empty
// function restores the error box.
using ErrorPresenter = std::function<void(const QString& text)>;
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);
void ShowError(const QString& text);

// The text shown for an exception (SettingsError's own text, what() otherwise).
QString ErrorText(const std::exception& error);

// Runs the body; an exception stops it and its text is shown. Returns whether the body completed.
template <class Body> bool Guarded(Body&& body) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
    } catch (...) {
        ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}

// The application object: title "KORVA Rivo", and the last line of the general error handler.
class KorvaApplication : public QApplication {
    Q_OBJECT

public:
    KorvaApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace korva
