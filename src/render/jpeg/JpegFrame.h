#pragma once
// What the header walk learns from a baseline JPEG file: the frame, the tables and the scan header.
// Plain data shared by the header reader and the scan decoder.

#include <array>
#include <cstddef>
#include <cstdint>

#include "render/jpeg/HuffmanTable.h"

namespace jpeg {

inline constexpr int kMaxComponents = 3;
inline constexpr int kTableSlots = 4;  // four quantisation, four DC and four AC tables

struct FrameComponent {
    std::uint8_t id = 0;
    int h = 1;  // horizontal sampling factor, 1 … 15
    int v = 1;  // vertical sampling factor, 1 … 15
    int quantTable = 0;
    int dcTable = 0;  // from the scan header, by position
    int acTable = 0;
};

struct JpegFrame {
    int width = 0;
    int height = 0;
    int componentCount = 0;
    std::array<FrameComponent, kMaxComponents> components{};
    int hMax = 1;
    int vMax = 1;
    int restartInterval = 0;  // MCUs between restart markers; 0 = none

    // Quantisation tables in the order the file stores them (zigzag order).
    std::array<std::array<std::uint16_t, 64>, kTableSlots> quant{};
    std::array<bool, kTableSlots> quantDefined{};
    std::array<HuffmanTable, kTableSlots> dc{};
    std::array<HuffmanTable, kTableSlots> ac{};

    std::size_t scanOffset = 0;  // first byte of the entropy-coded data
};

}  // namespace jpeg
