#include "status/FileLineHeight.h"

#include <cmath>

namespace korva {

int FileLineHeightPixels(double dpi) {
    constexpr double designHeight = 20.0;
    constexpr double designDpi = 96.0;
    constexpr double maxDpi = 10000.0; // far beyond any screen; keeps the result an int
    if (!std::isfinite(dpi) || dpi <= 0.0)
        dpi = designDpi;
    if (dpi > maxDpi)
        dpi = maxDpi;
    return static_cast<int>(std::nearbyint(designHeight * dpi / designDpi));
}

} // namespace korva
