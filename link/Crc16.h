#pragma once

#include <cstdint>

namespace korva {

// CRC-16/XMODEM (slice-by-8): polynomial 0x1021, initial value 0, no reflection, no final XOR.
// Returns the CRC of `count` bytes of `data` starting at `first`; a count of 0 or less yields 0.
std::uint16_t Crc16(const std::uint8_t* data, int first, int count);

// The same CRC computed bit by bit, kept as the yardstick for the table-driven one.
std::uint16_t Crc16Bitwise(const std::uint8_t* data, int first, int count);

} // namespace korva
