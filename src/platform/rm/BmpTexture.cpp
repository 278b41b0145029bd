#include "platform/rm/BmpTexture.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace rm {

namespace {

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> d) : m_d(d) {}
    std::uint32_t U16(std::size_t at) const {
        return at + 2 <= m_d.size() ? m_d[at] | (m_d[at + 1] << 8) : 0;
    }
    std::uint32_t U32(std::size_t at) const {
        return at + 4 <= m_d.size()
                   ? std::uint32_t(m_d[at]) | (std::uint32_t(m_d[at + 1]) << 8) |
                         (std::uint32_t(m_d[at + 2]) << 16) | (std::uint32_t(m_d[at + 3]) << 24)
                   : 0;
    }
    bool Has(std::size_t at, std::size_t n) const { return at <= m_d.size() && n <= m_d.size() - at; }
    std::uint8_t Byte(std::size_t at) const { return m_d[at]; }

  private:
    std::span<const std::uint8_t> m_d;
};

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> file, DecodedBmp* out) {
    const Reader r(file);
    if (!out || !r.Has(0, 54) || r.U16(0) != 0x4D42) return false;
    const std::uint32_t dataOffset = r.U32(10);
    const std::uint32_t headerSize = r.U32(14);
    if (headerSize < 40 || !r.Has(14, headerSize)) return false;
    const auto width = static_cast<std::int32_t>(r.U32(18));
    const auto rawHeight = static_cast<std::int32_t>(r.U32(22));
    const std::uint32_t bits = r.U16(28);
    const std::uint32_t compression = r.U32(30);
    std::uint32_t colorsUsed = r.U32(46);
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
    const bool topDown = rawHeight < 0;
    const std::uint32_t height = static_cast<std::uint32_t>(std::abs(rawHeight));
    if (std::uint32_t(width) > kMaxTextureSide || height > kMaxTextureSide) return false;
    // BI_RGB, or BI_BITFIELDS for 32 bits (read as B, G, R, x).
    if (!(compression == 0 || (compression == 3 && bits == 32))) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;

    // Indices past the colours the file lists read as opaque black.
    std::uint32_t palette[256];
    std::fill(std::begin(palette), std::end(palette), 0xFF000000u);
    if (bits <= 8) {
        const std::uint32_t maxColors = 1u << bits;
        if (colorsUsed == 0 || colorsUsed > maxColors) colorsUsed = maxColors;
        const std::size_t palAt = 14 + std::size_t(headerSize);
        if (!r.Has(palAt, std::size_t(colorsUsed) * 4)) return false;
        for (std::uint32_t i = 0; i < colorsUsed; ++i)
            palette[i] = 0xFF000000u | (r.U32(palAt + 4 * i) & 0xFFFFFF);
    }
    const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    if (!r.Has(dataOffset, stride * height)) return false;

    out->width = static_cast<std::uint32_t>(width);
    out->height = height;
    out->texels.assign(std::size_t(width) * height, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::size_t row = dataOffset + stride * (topDown ? y : height - 1 - y);
        std::uint32_t* dst = out->texels.data() + std::size_t(y) * width;
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint32_t c = 0;
            switch (bits) {
                case 1:
                    c = palette[(r.Byte(row + x / 8) >> (7 - x % 8)) & 1];
                    break;
                case 4:
                    c = palette[(r.Byte(row + x / 2) >> (x % 2 ? 0 : 4)) & 15];
                    break;
                case 8:
                    c = palette[r.Byte(row + x)];
                    break;
                case 24: {
                    const std::size_t p = row + 3 * std::size_t(x);
                    c = 0xFF000000u | (std::uint32_t(r.Byte(p + 2)) << 16) |
                        (std::uint32_t(r.Byte(p + 1)) << 8) | r.Byte(p);
                    break;
                }
                default:
                    c = 0xFF000000u | (r.U32(row + 4 * std::size_t(x)) & 0xFFFFFF);
                    break;
            }
            dst[x] = c;
        }
    }
    return true;
}

}  // namespace rm
