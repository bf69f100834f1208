#include "app/ui/OctetInput.h"

namespace korva {

std::uint8_t ParseOctet(const QString& text) {
    // A decimal integer: an optional sign and at least one digit, nothing else.
    bool ok = false;
    const QStringView digits = QStringView(text);
    int start = 0;
    if (!digits.isEmpty() && (digits.front() == u'-' || digits.front() == u'+'))
        start = 1;
    bool allDigits = digits.size() > start;
    for (int i = start; i < digits.size() && allDigits; ++i)
        allDigits = digits[i] >= u'0' && digits[i] <= u'9';
    long long value = 0;
    if (allDigits)
        value = digits.toLongLong(&ok, 10);
    if (!ok) {
        // Only a value beyond the 64-bit range fails after the digit check: still a number.
        if (allDigits)
            throw InputError(QStringLiteral("\"%1\" is not a valid address number").arg(text));
        throw InputError(QStringLiteral("\"%1\" is an invalid integer").arg(text));
    }
    if (value < 0 || value > 255)
        throw InputError(QStringLiteral("\"%1\" is not a valid address number").arg(text));
    return static_cast<std::uint8_t>(value);
}

} // namespace korva
