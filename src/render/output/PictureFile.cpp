#include "render/output/PictureFile.h"

#include <spng.h>

#include <cstdlib>
#include <limits>
#include <memory>

#include "render/output/BmpImage.h"

namespace {

std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// How the PNG is compressed. A rendered picture is large flat areas and smooth shading: each row
// as its difference from the row above ("up") and zlib's fastest level keep the file small (0.35 MB
// for the 3200 × 2400 sample render) while encoding it about five times as fast as the default
// level with every filter tried on every row.
constexpr int kCompressionLevel = 1;
constexpr int kFilters = SPNG_FILTER_CHOICE_UP;

struct SpngFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

}  // namespace

PictureFileFormat PictureFormatOfName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return PictureFileFormat::Bmp;
    const std::string extension = path.substr(dot);
    if (extension.size() == 4 && (extension[1] | 0x20) == 'p' && (extension[2] | 0x20) == 'n' &&
        (extension[3] | 0x20) == 'g')
        return PictureFileFormat::Png;
    return PictureFileFormat::Bmp;
}

std::vector<std::uint8_t> EncodePngFromBmp24(std::span<const std::uint8_t> bmp) {
    // Only the layout EncodeBmp24 writes: the 54-byte header, 24 bits, bottom-up rows.
    if (bmp.size() < kBmpHeaderSize || bmp[0] != 'B' || bmp[1] != 'M') return {};
    const std::uint32_t width = Get32(bmp, 18);
    const std::uint32_t height = Get32(bmp, 22);
    if (Get32(bmp, 10) != kBmpHeaderSize || Get16(bmp, 28) != 24 || width == 0 || height == 0 ||
        width > static_cast<std::uint32_t>(std::numeric_limits<int>::max() / 3) ||
        height > static_cast<std::uint32_t>(std::numeric_limits<int>::max()))
        return {};
    const std::size_t stride = BmpStride(width);
    if ((bmp.size() - kBmpHeaderSize) / stride < height) return {};

    const std::unique_ptr<spng_ctx, SpngFree> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx) return {};
    spng_ihdr ihdr{};
    ihdr.width = width;
    ihdr.height = height;
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    if (spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1) || spng_set_ihdr(ctx.get(), &ihdr) ||
        spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, kCompressionLevel) ||
        spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, kFilters))
        return {};
    // The resolution is the BMP's own, whatever the screen of the process says: pixels per metre
    // when the BMP gives them, else none at all (EncodeBmp24 leaves them 0, "not known").
    const std::uint32_t xPerMetre = Get32(bmp, 38), yPerMetre = Get32(bmp, 42);
    if (xPerMetre > 0 && yPerMetre > 0 && xPerMetre <= 0x7FFFFFFF && yPerMetre <= 0x7FFFFFFF) {
        spng_phys phys{xPerMetre, yPerMetre, 1};
        if (spng_set_phys(ctx.get(), &phys)) return {};
    }
    if (spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE))
        return {};
    // Rows top-down, each pixel red, green, blue: the BMP's rows in reverse, bytes swapped.
    std::vector<std::uint8_t> row(std::size_t{3} * width);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = bmp.data() + kBmpHeaderSize + stride * (height - 1 - y);
        for (std::size_t x = 0; x < row.size(); x += 3) {
            row[x] = in[x + 2];
            row[x + 1] = in[x + 1];
            row[x + 2] = in[x];
        }
        const int result = spng_encode_row(ctx.get(), row.data(), row.size());
        if (result != 0 && !(result == SPNG_EOI && y + 1 == height)) return {};
    }
    std::size_t length = 0;
    int error = 0;
    const std::unique_ptr<std::uint8_t, decltype(&std::free)> png(
        static_cast<std::uint8_t*>(spng_get_png_buffer(ctx.get(), &length, &error)), &std::free);
    if (!png || error) return {};
    return {png.get(), png.get() + length};
}

bool WriteRenderedPicture(const std::string& path, std::span<const std::uint8_t> bmp) {
    if (bmp.empty()) return false;
    if (PictureFormatOfName(path) == PictureFileFormat::Bmp) return WriteFileReplacing(path, bmp);
    const std::vector<std::uint8_t> png = EncodePngFromBmp24(bmp);
    return !png.empty() && WriteFileReplacing(path, png);
}
