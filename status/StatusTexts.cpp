#include "status/StatusTexts.h"

#include <charconv>
#include <cmath>
#include <string>

namespace korva {

QString CoreVersionText(float coreVersion) {
    const double value = coreVersion;
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");

    // A float has 24 significant bits, so value * 100 is exact in a double and an exact tie stays a
    // tie; nearbyint then rounds it to the even neighbour.
    const double hundredths = std::nearbyint(std::fabs(value) * 100.0);
    char digits[400];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, hundredths, std::chars_format::fixed, 0);
    std::string text(digits, result.ptr);
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), '0');
    text.insert(text.size() - 2, 1, '.');
    if (value < 0 && hundredths != 0)
        text.insert(0, 1, '-');
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString IdentityText(const DecodedStatus& decoded) {
    QString text = decoded.IsK8 ? QStringLiteral("Serial No: K8-") : QStringLiteral("Serial No: K7-");
    text += QString::number(decoded.SerialNumber);
    text += QLatin1Char('\n');
    text += QString::fromUtf8(decoded.SoftwareName);
    text += QLatin1Char('\n');
    text += QStringLiteral("Core Version: ") + CoreVersionText(decoded.CoreVersion);
    return text;
}

QString JobsText(std::int32_t jobCount) {
    return QStringLiteral("Jobs: ") + QString::number(jobCount);
}

QString JobTimeText(std::int32_t t) {
    qint64 hours = 0;
    qint64 minutes = 0;
    qint64 seconds = 0;
    if (t >= 0) {
        hours = t / 3600;
        minutes = (t / 60) % 60;
        seconds = t % 60;
    } else {
        // A negative time is split in real arithmetic: hours rounded down, minutes rounded down
        // from what the truncated hours leave, seconds keeping the sign of t.
        const double real = t;
        hours = static_cast<qint64>(std::floor(real / 3600.0));
        double m = std::floor(real / 60.0 - std::trunc(real / 3600.0) * 60.0);
        if (std::fabs(m - 60.0) < 1e-9)
            m = 0;
        minutes = static_cast<qint64>(m);
        seconds = t % 60; // C++ keeps the sign of the dividend
    }
    return QStringLiteral("Job Time: ") + QString::number(hours) + QLatin1Char(':') +
           QString::number(minutes) + QLatin1Char(':') + QString::number(seconds);
}

std::optional<QString> AlarmText(std::uint8_t alarmCode) {
    switch (alarmCode) {
    case 0:
        return QStringLiteral("X MOTOR ALARM");
    case 1:
        return QStringLiteral("Y MOTOR ALARM");
    case 2:
        return QStringLiteral("Z MOTOR ALARM");
    case 3:
        return QStringLiteral("A MOTOR ALARM");
    case 4:
        return QStringLiteral("B MOTOR ALARM");
    case 5:
        return QStringLiteral("SPINDLE ALARM");
    case 7:
        return QStringLiteral("X HARD LIMIT\nALARM");
    case 8:
        return QStringLiteral("Y HARD LIMIT\nALARM");
    case 9:
        return QStringLiteral("Z HARD LIMIT\nALARM");
    case 10:
        return QStringLiteral("A HARD LIMIT\nALARM");
    case 11:
        return QStringLiteral("B HARD LIMIT\nALARM");
    case 12:
        return QStringLiteral("SPINDLE COOLANT\nALARM");
    case 20:
        return QStringLiteral("LUBRICANT LOW\nALARM");
    case 21:
        return QStringLiteral("TORCH HIT\nALARM");
    default:
        return std::nullopt;
    }
}

} // namespace korva
