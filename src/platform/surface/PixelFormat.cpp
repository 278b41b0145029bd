#include "platform/surface/PixelFormat.h"

namespace surface {

PixelFormat PixelFormat::FromBits(std::uint32_t bits) {
    switch (bits) {
        case 8:
            return {8, 0, 0, 0};
        case 16:
            return {16, 0xF800, 0x07E0, 0x001F};
        case 24:
            return {24, 0xFF0000, 0x00FF00, 0x0000FF};
        default:
            return {32, 0xFF0000, 0x00FF00, 0x0000FF};
    }
}

const Palette& DefaultPalette() {
    // Indices 10..225 hold the 6 x 6 x 6 colour cube (levels 0, 51, ..., 255), index 10 +
    // 36 r + 6 g + b; the first ten entries are black and the last thirty white (our choice).
    static const Palette palette = [] {
        Palette p{};
        for (int i = 0; i < 256; ++i) p[i] = i < 10 ? 0 : 0xFFFFFF;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    p[10 + 36 * r + 6 * g + b] =
                        std::uint32_t(r * 51) << 16 | std::uint32_t(g * 51) << 8 | (b * 51);
        return p;
    }();
    return palette;
}

std::uint32_t PackPixel(const PixelFormat& f, std::uint32_t rgb, const Palette* palette) {
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    switch (f.bitCount) {
        case 8: {
            const Palette& p = palette ? *palette : DefaultPalette();
            // The colour cube (10..225) first, so that its entries win ties with duplicates.
            std::uint32_t best = 0, bestDist = ~0u;
            for (std::uint32_t k = 0; k < 256 && bestDist != 0; ++k) {
                const std::uint32_t i = (k + 10) & 0xFF;
                const int dr = int((p[i] >> 16) & 0xFF) - int(r), dg = int((p[i] >> 8) & 0xFF) - int(g),
                          db = int(p[i] & 0xFF) - int(b);
                const std::uint32_t d = std::uint32_t(dr * dr + dg * dg + db * db);
                if (d < bestDist) {
                    bestDist = d;
                    best = i;
                }
            }
            return best;
        }
        case 16:
            return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        default:
            return rgb & 0xFFFFFF;
    }
}

std::uint32_t UnpackPixel(const PixelFormat& f, std::uint32_t pixel, const Palette* palette) {
    switch (f.bitCount) {
        case 8:
            return (palette ? *palette : DefaultPalette())[pixel & 0xFF] & 0xFFFFFF;
        case 16: {
            // Widen 5 and 6 bits by repeating their high bits, so white stays white.
            const std::uint32_t r5 = (pixel >> 11) & 31, g6 = (pixel >> 5) & 63, b5 = pixel & 31;
            return ((r5 << 3 | r5 >> 2) << 16) | ((g6 << 2 | g6 >> 4) << 8) | (b5 << 3 | b5 >> 2);
        }
        default:
            return pixel & 0xFFFFFF;
    }
}

std::uint32_t ReadPixel(const std::uint8_t* p, std::uint32_t bytesPerPixel) {
    switch (bytesPerPixel) {
        case 1:
            return p[0];
        case 2:
            return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
        case 3:
            return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
        default:
            return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                   std::uint32_t(p[3]) << 24;
    }
}

void WritePixel(std::uint8_t* p, std::uint32_t bytesPerPixel, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    if (bytesPerPixel > 1) p[1] = std::uint8_t(v >> 8);
    if (bytesPerPixel > 2) p[2] = std::uint8_t(v >> 16);
    if (bytesPerPixel > 3) p[3] = std::uint8_t(v >> 24);
}

}  // namespace surface
