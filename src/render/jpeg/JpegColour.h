#pragma once
// One pixel of the colour conversion, exactly as the decoder defines it (16.16 fixed point,
// arithmetic shifts, each channel clamped to 0 … 255), as a 32-bit word whose little-endian bytes
// are B, G, R, 0. The portable kernels use it for whole rows, the SIMD kernels for the pixels left
// over after their last full vector.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace jpeg {

static_assert(std::endian::native == std::endian::little, "pixel words are stored little-endian");

inline std::int32_t ClampByte(std::int32_t v) {
    return std::min(std::max(v, 0), 255);
}

// Samples lie in −1920 … 2175, so no product or sum leaves 32 bits.
inline std::uint32_t BgrxOf(std::int32_t y, std::int32_t cb, std::int32_t cr) {
    const std::int32_t y16 = y * 65536;
    const std::int32_t r = ClampByte((y16 + cr * 91881 - 11760768) >> 16);
    const std::int32_t g = ClampByte((y16 - (cr - 128) * 46786 - (cb - 128) * 22551) >> 16);
    const std::int32_t b = ClampByte((y16 + (cb - 128) * 116117) >> 16);
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

inline std::uint32_t GreyBgrxOf(std::int32_t y) {
    const auto g = static_cast<std::uint32_t>(ClampByte(y));
    return g << 16 | g << 8 | g;
}

// Stores one pixel word at a place that need not be aligned.
inline void StorePixel(std::uint8_t* out, std::uint32_t word) {
    std::memcpy(out, &word, sizeof word);
}

}  // namespace jpeg
