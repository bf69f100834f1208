#pragma once

#include <QByteArray>
#include <array>

namespace korva::sim {

// Highest tool number a controller can name.
inline constexpr int MaxToolNumber = 118;

// Tool names indexed by tool number 1 to 118 (entry 0 unused).
using ToolNames = std::array<QByteArray, MaxToolNumber + 1>;

// A plausible tool table for a mill: "T1 10mm Flat Endmill", "T2 6mm Ball Endmill", ...
// Every name fits the 33-byte tool-name field.
ToolNames DefaultToolNames();

} // namespace korva::sim
