#include "render/jpeg/JpegPixelWriter.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "render/jpeg/TargetClones.h"

namespace jpeg {
namespace {

constexpr int kCubeBias = 21;  // m_cube[c + 21] = q(c); c + d stays within −21 … 276

inline int Clamp(std::int32_t v) {
    return std::min(std::max(v, 0), 255);
}

// A 32-bit pixel stored as one little-endian word is the bytes B, G, R, 0. The destination need not
// be aligned to words (a row pitch may be any number of bytes), so each word goes in by memcpy, which
// the compiler still turns into vector stores.
static_assert(std::endian::native == std::endian::little);

MARISOLE_JPEG_CLONES void RowTo32(const std::int32_t* luma, const std::int32_t* cb, const std::int32_t* cr,
                                  int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        const std::int32_t y16 = luma[x] * 65536;
        const std::int32_t r = Clamp((y16 + cr[x] * 91881 - 11760768) >> 16);
        const std::int32_t g = Clamp((y16 - (cr[x] - 128) * 46786 - (cb[x] - 128) * 22551) >> 16);
        const std::int32_t b = Clamp((y16 + (cb[x] - 128) * 116117) >> 16);
        const auto word = static_cast<std::uint32_t>(r << 16 | g << 8 | b);
        std::memcpy(out + 4 * x, &word, sizeof word);
    }
}

struct Rgb {
    int r, g, b;
};

inline Rgb Convert(std::int32_t y, std::int32_t cb, std::int32_t cr) {
    const std::int32_t y16 = y * 65536;
    return {Clamp((y16 + cr * 91881 - 11760768) >> 16),
            Clamp((y16 - (cr - 128) * 46786 - (cb - 128) * 22551) >> 16),
            Clamp((y16 + (cb - 128) * 116117) >> 16)};
}

}  // namespace

int JpegPixelWriter::CubeLevel(int c) {
    if (c <= 25) return 0;
    if (c >= 230) return 5;
    return (4 * c - 100) / 204 + 1;
}

std::array<std::uint16_t, 256> JpegPixelWriter::ChannelTable(std::uint32_t mask) {
    std::array<std::uint16_t, 256> table{};
    mask &= 0xFFFF;
    int low = 0;
    while (low < 16 && !(mask >> low & 1)) ++low;
    if (low == 16) return table;  // no bits for this channel
    int top = low;
    while (top < 16 && (mask >> top & 1)) ++top;
    const int shift = top - 8;
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint32_t moved = shift >= 0 ? i << shift : i >> -shift;
        table[i] = static_cast<std::uint16_t>(moved & mask);
    }
    return table;
}

bool JpegPixelWriter::SetFormat(const PixelDestination& format) {
    const int bits = format.bitsPerPixel;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const std::uint32_t masks[3] = {format.redMask, format.greenMask, format.blueMask};
    if (bits == m_bits && (bits != 16 || std::equal(masks, masks + 3, m_masks))) return true;
    m_bits = bits;
    std::copy(masks, masks + 3, m_masks);
    if (bits == 16) {
        m_red = ChannelTable(masks[0]);
        m_green = ChannelTable(masks[1]);
        m_blue = ChannelTable(masks[2]);
    }
    if (bits == 8) {
        for (int c = -kCubeBias; c < 256 + kCubeBias; ++c)
            m_cube[c + kCubeBias] = static_cast<std::uint8_t>(CubeLevel(c));
    }
    return true;
}

template <class ColourAt>
void JpegPixelWriter::WritePixels(ColourAt colourAt, int width, int y, std::uint8_t* out) const {
    switch (m_bits) {
        case 32:
            for (int x = 0; x < width; ++x) {
                const Rgb c = colourAt(x);
                out[4 * x] = static_cast<std::uint8_t>(c.b);
                out[4 * x + 1] = static_cast<std::uint8_t>(c.g);
                out[4 * x + 2] = static_cast<std::uint8_t>(c.r);
                out[4 * x + 3] = 0;
            }
            break;
        case 24:
            for (int x = 0; x < width; ++x) {
                const Rgb c = colourAt(x);
                out[3 * x] = static_cast<std::uint8_t>(c.b);
                out[3 * x + 1] = static_cast<std::uint8_t>(c.g);
                out[3 * x + 2] = static_cast<std::uint8_t>(c.r);
            }
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const Rgb c = colourAt(x);
                const std::uint16_t w = m_red[c.r] | m_green[c.g] | m_blue[c.b];
                out[2 * x] = static_cast<std::uint8_t>(w);
                out[2 * x + 1] = static_cast<std::uint8_t>(w >> 8);
            }
            break;
        case 8: {
            const int* dither = kDither[y & 3];
            for (int x = 0; x < width; ++x) {
                const Rgb c = colourAt(x);
                const int d = dither[x & 3] + kCubeBias;
                out[x] = static_cast<std::uint8_t>(10 + 36 * m_cube[c.r + d] + 6 * m_cube[c.g + d] +
                                                   m_cube[c.b + d]);
            }
            break;
        }
        default:
            break;
    }
}

void JpegPixelWriter::WriteRow(const std::int32_t* luma, const std::int32_t* cb, const std::int32_t* cr,
                               int width, int y, std::uint8_t* out) const {
    if (cb == nullptr) {
        WritePixels(
            [luma](int x) {
                const int g = Clamp(luma[x]);
                return Rgb{g, g, g};
            },
            width, y, out);
    } else if (m_bits == 32) {
        RowTo32(luma, cb, cr, width, out);  // the common case, vectorised
    } else {
        WritePixels([luma, cb, cr](int x) { return Convert(luma[x], cb[x], cr[x]); }, width, y, out);
    }
}

void JpegPixelWriter::WriteBgrxRow(const std::uint8_t* bgrx, int width, int y, std::uint8_t* out) const {
    WritePixels(
        [bgrx](int x) {
            const std::uint8_t* p = bgrx + 4 * x;
            return Rgb{p[2], p[1], p[0]};
        },
        width, y, out);
}

}  // namespace jpeg
