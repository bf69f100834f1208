#pragma once

#include "link/LinkStatus.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace korva {

// The texts of the status panel. None of them depends on the user's locale.

// Core version with exactly two decimals, rounded to nearest with ties to even, "." as the point
// ("3.10" for 3.1f, "0.12" for 0.125f).
QString CoreVersionText(float coreVersion);

// The identity block: "Serial No: K8-7000" (K7 for the earlier generation), the software name as
// received, and "Core Version: 3.10", separated by "\n".
QString IdentityText(const DecodedStatus& decoded);

// "Jobs: " followed by the count in decimal.
QString JobsText(std::int32_t jobCount);

// "Job Time: H:M:S" for t seconds; hours are not wrapped at 24 (90061 gives "Job Time: 25:1:1").
QString JobTimeText(std::int32_t t);

// The status-line text of an alarm code, or nothing for codes without a text (and for 255).
std::optional<QString> AlarmText(std::uint8_t alarmCode);

inline const QString MachiningText = QStringLiteral("Machining");
inline const QString MachineStoppedText = QStringLiteral("Machine Stopped");
inline const QString ChangeToolText = QStringLiteral("Change Tool");

} // namespace korva
