#pragma once

#include <QByteArray>

#include <cstdint>

namespace korva {

// Serial numbers above this belong to the later controller generation (K8).
inline constexpr std::int32_t LastK7SerialNumber = 5000;

// Compares two byte texts ASCII case-insensitively: a-z fold to A-Z, every other byte is taken as it
// is; the first differing byte decides, otherwise the longer text is the greater. Returns <0, 0, >0.
int CompareAsciiNoCase(const QByteArray& a, const QByteArray& b);

struct ControllerGeneration {
    bool isK8 = false;
    int toolCount = 0;
};

// K7 (serial 5000 or less): 32 tools. K8: 100 tools when the software name compares greater than
// "Lathe", 118 otherwise (so "Lathe" in any case and an empty name give 118).
ControllerGeneration GenerationFor(std::int32_t serialNumber, const QByteArray& softwareName);

} // namespace korva
