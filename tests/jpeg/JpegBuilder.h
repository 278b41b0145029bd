#pragma once
// Builds small baseline JPEG files from given quantised coefficients, for tests whose expected pixels
// are worked out by hand. Tables are deliberately plain: every DC size category has a 4-bit code,
// every AC symbol an 8-bit code, and the quantisation table is all ones unless set.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace jpegtest {

// Coefficients of one block in file (zigzag) order; [0] is the absolute DC value.
using ZigzagBlock = std::array<int, 64>;

struct BuilderComponent {
    int h = 1;
    int v = 1;
};

struct BuildPlan {
    int width = 8;
    int height = 8;
    std::vector<BuilderComponent> components = std::vector<BuilderComponent>(1);  // one grey 1 × 1 component
    int restartInterval = 0;
    std::array<std::uint16_t, 64> quant{};  // zero entries mean 1
    bool wideQuant = false;                 // store the table with 16-bit entries
    // Block (bx, by) of component c, in that component's own block grid.
    std::function<ZigzagBlock(int c, int bx, int by)> block = [](int, int, int) { return ZigzagBlock{}; };
};

std::vector<std::uint8_t> BuildJpeg(const BuildPlan& plan);

// Offset of the first marker FF `code` in `file` (the FF byte), or npos.
std::size_t FindMarkerOffset(const std::vector<std::uint8_t>& file, std::uint8_t code);

// A block whose only coefficient is DC.
inline ZigzagBlock DcBlock(int dc) {
    ZigzagBlock b{};
    b[0] = dc;
    return b;
}

}  // namespace jpegtest
