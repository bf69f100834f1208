#include "link/Crc16.h"

#include <array>
#include <cstddef>

namespace korva {
namespace {

constexpr std::uint16_t Polynomial = 0x1021;

// Slice-by-8 tables: Tables[k][b] is the CRC register after feeding byte b followed by k zero bytes
// into a cleared register. Eight bytes then cost eight independent look-ups instead of a chain of
// eight dependent ones.
using SliceTables = std::array<std::array<std::uint16_t, 256>, 8>;

constexpr SliceTables MakeTables() {
    SliceTables tables{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint16_t reg = static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x8000) ? static_cast<std::uint16_t>((reg << 1) ^ Polynomial)
                                 : static_cast<std::uint16_t>(reg << 1);
        tables[0][byte] = reg;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (unsigned byte = 0; byte < 256; ++byte) {
            const std::uint16_t prev = tables[k - 1][byte];
            tables[k][byte] = static_cast<std::uint16_t>((prev << 8) ^ tables[0][prev >> 8]);
        }
    return tables;
}

constexpr SliceTables Tables = MakeTables();

} // namespace

std::uint16_t Crc16(const std::uint8_t* data, int first, int count) {
    std::uint16_t reg = 0;
    if (count <= 0)
        return reg;
    const std::uint8_t* p = data + first;
    const auto& t = Tables;
    while (count >= 8) {
        // The register only overlaps the first two of the eight bytes.
        reg = static_cast<std::uint16_t>(t[7][p[0] ^ (reg >> 8)] ^ t[6][p[1] ^ (reg & 0xFF)] ^ t[5][p[2]] ^
                                         t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
        p += 8;
        count -= 8;
    }
    for (int i = 0; i < count; ++i)
        reg = static_cast<std::uint16_t>((reg << 8) ^ t[0][((reg >> 8) ^ p[i]) & 0xFF]);
    return reg;
}

std::uint16_t Crc16Bitwise(const std::uint8_t* data, int first, int count) {
    std::uint16_t reg = 0;
    for (int i = 0; i < count; ++i) {
        reg ^= static_cast<std::uint16_t>(data[first + i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x8000) ? static_cast<std::uint16_t>((reg << 1) ^ Polynomial)
                                 : static_cast<std::uint16_t>(reg << 1);
    }
    return reg;
}

} // namespace korva
