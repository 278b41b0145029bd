#pragma once
// The PNG file of a 24-bit picture, compressed by the worker pool's threads side by side. The rows
// are cut into pieces of about kPieceBytes each; every piece is filtered ("up": each byte as its
// difference from the byte above, the row above taken from the picture itself) and deflated on its
// own, the non-final pieces ending on a byte boundary (a sync flush), so that the pieces laid end to
// end are one zlib stream. The pieces depend on the picture alone, never on the number of threads:
// the file is the same bytes however many threads made it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Raw bytes of filtered rows in one piece, about.
constexpr std::size_t kPngPieceBytes = std::size_t{1} << 20;

struct PngResolution {
    std::uint32_t xPerMetre = 0, yPerMetre = 0;  // each 1 to 2^31 - 1
};

// The picture's rows as they lie in a BMP's pixel block: `bottomRow` is the last row of the picture,
// each row above it `stride` bytes further on, each pixel blue, green, red. A pHYs chunk is written
// only when `resolution` is given. Empty when the sizes are out of range or zlib fails.
std::vector<std::uint8_t> EncodePngFromBgrRows(const std::uint8_t* bottomRow, std::size_t stride,
                                               std::uint32_t width, std::uint32_t height,
                                               std::optional<PngResolution> resolution);
