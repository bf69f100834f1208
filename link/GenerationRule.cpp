#include "link/GenerationRule.h"

#include <algorithm>

namespace korva {
namespace {

unsigned char FoldAscii(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - 'a' + 'A') : b;
}

} // namespace

int CompareAsciiNoCase(const QByteArray& a, const QByteArray& b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const unsigned char x = FoldAscii(a[i]);
        const unsigned char y = FoldAscii(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

ControllerGeneration GenerationFor(std::int32_t serialNumber, const QByteArray& softwareName) {
    if (serialNumber <= LastK7SerialNumber)
        return {false, 32};
    return {true, CompareAsciiNoCase(softwareName, QByteArrayLiteral("Lathe")) > 0 ? 100 : 118};
}

} // namespace korva
