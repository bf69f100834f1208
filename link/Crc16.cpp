#include "link/Crc16.h"

#include <array>

namespace korva {
namespace {

constexpr std::uint16_t Polynomial = 0x1021;

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint16_t reg = static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x8000) ? static_cast<std::uint16_t>((reg << 1) ^ Polynomial)
                                 : static_cast<std::uint16_t>(reg << 1);
        table[byte] = reg;
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> Table = MakeTable();

} // namespace

std::uint16_t Crc16(const std::uint8_t* data, int first, int count) {
    std::uint16_t reg = 0;
    const std::uint8_t* p = data + (count > 0 ? first : 0);
    for (int i = 0; i < count; ++i)
        reg = static_cast<std::uint16_t>((reg << 8) ^ Table[((reg >> 8) ^ p[i]) & 0xFF]);
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
