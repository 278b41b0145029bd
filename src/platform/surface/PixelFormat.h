#pragma once
// Pixel formats of surfaces and the packing of colours into them.
//   8 bits:  one palette index (the surface's palette; by default the 6 x 6 x 6 colour cube at
//            indices 10..225 that the picture decoders dither into, see DefaultPalette()).
//   16 bits: 5-6-5, masks F800 / 07E0 / 001F.
//   24 bits: bytes B, G, R.
//   32 bits: word 0x00RRGGBB (bytes B, G, R, 0).

#include <array>
#include <cstdint>

namespace surface {

struct PixelFormat {
    std::uint32_t bitCount = 32;
    std::uint32_t redMask = 0x00FF0000;
    std::uint32_t greenMask = 0x0000FF00;
    std::uint32_t blueMask = 0x000000FF;

    static PixelFormat FromBits(std::uint32_t bits);  // 8, 16, 24 or 32; anything else gives 32
    std::uint32_t BytesPerPixel() const { return bitCount / 8; }
    friend bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

// A palette of 256 colours 0x00RRGGBB.
using Palette = std::array<std::uint32_t, 256>;
const Palette& DefaultPalette();

// COLORREF (0x00BBGGRR) <-> 0x00RRGGBB.
constexpr std::uint32_t RgbFromColorRef(std::uint32_t c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr std::uint32_t ColorRefFromRgb(std::uint32_t c) {
    return RgbFromColorRef(c);
}

// The pixel value of colour 0x00RRGGBB in a format (8 bits: nearest palette entry).
std::uint32_t PackPixel(const PixelFormat& f, std::uint32_t rgb, const Palette* palette = nullptr);
// The colour 0x00RRGGBB of a pixel value.
std::uint32_t UnpackPixel(const PixelFormat& f, std::uint32_t pixel, const Palette* palette = nullptr);

// Reads / writes one pixel value at `p` (BytesPerPixel bytes, little-endian).
std::uint32_t ReadPixel(const std::uint8_t* p, std::uint32_t bytesPerPixel);
void WritePixel(std::uint8_t* p, std::uint32_t bytesPerPixel, std::uint32_t value);

}  // namespace surface
