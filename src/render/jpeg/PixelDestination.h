#pragma once
// Where a decoded picture goes: memory the caller owns (a locked surface, a test buffer), described by
// its top-left pixel, the pitch in bytes between rows and the pixel format.

#include <cstddef>
#include <cstdint>

namespace jpeg {

struct PixelDestination {
    std::uint8_t* pixels = nullptr;  // top-left pixel; rows follow at `pitch` bytes
    std::ptrdiff_t pitch = 0;        // bytes per row, at least width × bytes per pixel
    int bitsPerPixel = 0;            // 8 (palette index), 16 (masked word), 24 (B, G, R), 32 (B, G, R, 0)
    // Channel masks of a 16-bit format (only their low 16 bits count), e.g. F800 / 07E0 / 001F.
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
};

}  // namespace jpeg
