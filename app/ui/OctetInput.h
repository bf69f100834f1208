#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace korva {

// A value typed into an input box that cannot be used; its text is shown to the user as it stands.
class InputError : public std::runtime_error {
public:
    explicit InputError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// One octet of the controller's address, from the text of its box: a decimal integer ("007" is 7).
// Text that is no integer throws InputError "\"<text>\" is an invalid integer"; an integer outside
// 0..255 throws InputError "\"<text>\" is not a valid address number".
std::uint8_t ParseOctet(const QString& text);

} // namespace korva
