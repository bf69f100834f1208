#pragma once

#include <QString>
#include <stdexcept>

namespace korva {

// An input/output failure of the settings file. It is not handled where it happens: the action
// that caused it stops and the application's general error handler shows Text() in an error box.
// what() carries the same text in UTF-8 for handlers that only know std::exception.
class SettingsError : public std::runtime_error {
public:
    explicit SettingsError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}

    const QString& Text() const { return text_; }

private:
    QString text_;
};

} // namespace korva
