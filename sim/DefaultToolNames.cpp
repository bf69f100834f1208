#include "sim/DefaultToolNames.h"

namespace korva::sim {

ToolNames DefaultToolNames() {
    static constexpr const char* kinds[] = {
        "Flat Endmill", "Ball Endmill", "Bull Nose Endmill", "Drill",  "Chamfer Mill", "V-Bit Engraver",
        "Face Mill",    "Thread Mill",  "Spot Drill",        "Reamer", "Tap M6",       "Slot Cutter",
    };
    static constexpr const char* diameters[] = {"10mm", "6mm",  "8mm", "3mm", "12mm",
                                                "4mm",  "16mm", "2mm", "5mm"};
    constexpr int kindCount = sizeof kinds / sizeof kinds[0];
    constexpr int diameterCount = sizeof diameters / sizeof diameters[0];

    ToolNames names;
    for (int n = 1; n <= MaxToolNumber; ++n) {
        // Kinds repeat every 12 tools; the diameter steps on once per round so neighbours differ.
        const int kind = (n - 1) % kindCount;
        const int diameter = ((n - 1) + (n - 1) / kindCount) % diameterCount;
        names[n] = "T" + QByteArray::number(n) + ' ' + diameters[diameter] + ' ' + kinds[kind];
    }
    return names;
}

} // namespace korva::sim
