// Time per CRC of one full FileData request (1436 bytes after the CRC) for the table-driven CRC-16
// and the bitwise one. Prints the median of several runs and their ratio.
#include "link/Crc16.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int ChunkBytes = 1436;
constexpr int Runs = 9;

volatile std::uint16_t sink; // keeps the results alive

std::string Fixed(double value, int decimals) {
    std::array<char, 64> text{};
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    return std::string(text.data(), result.ptr);
}

// Median nanoseconds per chunk over `Runs` runs of `chunks` chunks each.
template <typename Crc> double MedianNsPerChunk(Crc crc, const std::vector<std::uint8_t>& data, int chunks) {
    std::vector<double> runs;
    for (int run = 0; run < Runs; ++run) {
        std::uint16_t acc = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < chunks; ++i) {
            // Vary the start a little so each call sees different bytes.
            acc ^= crc(data.data(), 2 + (i & 7), ChunkBytes);
        }
        const auto stop = std::chrono::steady_clock::now();
        sink = acc;
        runs.push_back(std::chrono::duration<double, std::nano>(stop - start).count() / chunks);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main() {
    std::mt19937 random(2024);
    std::vector<std::uint8_t> data(ChunkBytes + 16);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(random());

    const double table = MedianNsPerChunk(korva::Crc16, data, 20000);
    const double bitwise = MedianNsPerChunk(korva::Crc16Bitwise, data, 2000);
    std::printf("CRC-16 of a %d-byte chunk, median of %d runs\n", ChunkBytes, Runs);
    std::printf("table-driven: %s ns per chunk\n", Fixed(table, 1).c_str());
    std::printf("bitwise:      %s ns per chunk\n", Fixed(bitwise, 1).c_str());
    std::printf("ratio bitwise / table: %s\n", Fixed(bitwise / table, 2).c_str());
    return 0;
}
