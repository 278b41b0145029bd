#pragma once
// Where the SIMD transforms expect the coefficients of a block. Both first multiply pairs of 16-bit
// coefficients of the same row v (_mm_madd_epi16), the pairs of columns (0, 4), (2, 6), (1, 3) and
// (5, 7); each pair of columns has sixteen slots, F(v, first) and F(v, second) for the eight rows in
// turn, so that packing 32-bit loads to 16 bits gives the pairs ready to multiply.
//
// The order of the rows within a group of sixteen is each set's own. The SSE2 set transforms four
// rows at a time and takes them as 0, 4, 2, 6 and 1, 3, 5, 7: its first pass then gives, per column,
// the rows paired (0, 4), (2, 6), (1, 3), (5, 7) for its second pass. 256-bit packing works in two
// 128-bit halves, so the AVX2 set keeps the rows in order and swaps the middle two quarters of each
// group of sixteen instead.

#include <array>
#include <cstdint>

namespace jpeg {

inline constexpr int kPairFirst[4] = {0, 2, 1, 5};
inline constexpr int kPairSecond[4] = {4, 6, 3, 7};

// slots[8·v + u] when row v takes place rowPlace[v] in its group's sequence of pairs and the
// quarters of a group (four slots each) are stored in the order quarterOrder.
constexpr std::array<std::uint8_t, 64> PairedSlots(const int (&rowPlace)[8], const int (&quarterOrder)[4]) {
    std::array<std::uint8_t, 64> slots{};
    for (int group = 0; group < 4; ++group) {
        for (int v = 0; v < 8; ++v) {
            for (int second = 0; second < 2; ++second) {
                const int i = 2 * rowPlace[v] + second;  // place in the group's sequence of pairs
                const int slot = 16 * group + 4 * quarterOrder[i / 4] + i % 4;
                const int u = second ? kPairSecond[group] : kPairFirst[group];
                slots[8 * v + u] = static_cast<std::uint8_t>(slot);
            }
        }
    }
    return slots;
}

inline constexpr int kRowsInOrder[8] = {0, 1, 2, 3, 4, 5, 6, 7};
inline constexpr int kRowsPaired[8] = {0, 4, 2, 5, 1, 6, 3, 7};  // rows 0, 4, 2, 6, 1, 3, 5, 7
inline constexpr std::array<std::uint8_t, 64> kSse2Slots = PairedSlots(kRowsPaired, {0, 1, 2, 3});
inline constexpr std::array<std::uint8_t, 64> kAvx2Slots = PairedSlots(kRowsInOrder, {0, 2, 1, 3});

}  // namespace jpeg
