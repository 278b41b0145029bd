#pragma once
// Decoding of BMP files into texels for textures: uncompressed 1, 4, 8, 24 and 32 bits per pixel,
// bottom-up or top-down rows. Every read is bounded by the input; sizes are capped at
// kMaxTextureSide on a side and checked against the bytes present before anything is allocated.

#include <cstdint>
#include <span>
#include <vector>

namespace rm {

// The largest side of a texture, whatever file it comes from: the bitmap decoder, the library's
// texture loader and the picture decoders for textures stop here, and a chooser of texture files
// refuses a larger picture before it is taken.
inline constexpr std::uint32_t kMaxTextureSide = 8192;

struct DecodedBmp {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> texels;  // 0xFFRRGGBB, row 0 at the top
};

bool DecodeBmp(std::span<const std::uint8_t> file, DecodedBmp* out);

}  // namespace rm
