#pragma once
// Decoding of BMP files into texels for textures: uncompressed 1, 4, 8, 24 and 32 bits per pixel,
// bottom-up or top-down rows. Every read is bounded by the input; sizes are capped at 8192 on a
// side and checked against the bytes present before anything is allocated.

#include <cstdint>
#include <span>
#include <vector>

namespace rm {

struct DecodedBmp {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> texels;  // 0xFFRRGGBB, row 0 at the top
};

bool DecodeBmp(std::span<const std::uint8_t> file, DecodedBmp* out);

}  // namespace rm
