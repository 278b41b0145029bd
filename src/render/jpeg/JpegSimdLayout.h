#pragma once
// Where the SIMD transforms expect the coefficients of a block. Both first multiply pairs of 16-bit
// coefficients of the same row v (_mm_madd_epi16), the pairs of columns (0, 4), (2, 6), (1, 3) and
// (5, 7); each pair of columns has sixteen slots, F(v, first) and F(v, second) for v = 0 … 7 in turn,
// so that packing 32-bit loads to 16 bits gives the pairs ready to multiply. 256-bit packing works in
// two 128-bit halves, so the AVX2 layout swaps the middle two quarters of each group of sixteen.

#include <array>
#include <cstdint>

namespace jpeg {

inline constexpr int kPairFirst[4] = {0, 2, 1, 5};
inline constexpr int kPairSecond[4] = {4, 6, 3, 7};

// slots[8·v + u] for the 128-bit (quartersSwapped = false) or the 256-bit layout.
constexpr std::array<std::uint8_t, 64> PairedSlots(bool quartersSwapped) {
    constexpr int kQuarter[2][4] = {{0, 1, 2, 3}, {0, 2, 1, 3}};
    std::array<std::uint8_t, 64> slots{};
    for (int group = 0; group < 4; ++group) {
        for (int v = 0; v < 8; ++v) {
            for (int second = 0; second < 2; ++second) {
                const int i = 2 * v + second;  // place in the group's sequence of pairs
                const int slot = 16 * group + 4 * kQuarter[quartersSwapped][i / 4] + i % 4;
                const int u = second ? kPairSecond[group] : kPairFirst[group];
                slots[8 * v + u] = static_cast<std::uint8_t>(slot);
            }
        }
    }
    return slots;
}

inline constexpr std::array<std::uint8_t, 64> kSse2Slots = PairedSlots(false);
inline constexpr std::array<std::uint8_t, 64> kAvx2Slots = PairedSlots(true);

}  // namespace jpeg
