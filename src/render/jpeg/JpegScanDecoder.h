#pragma once
// Decodes the one scan of a baseline picture, MCU row by MCU row, into the destination pixels.
//
// Sample memory is one MCU row: one plane of 32-bit samples per component, (MCUs per row × Hmax × 8)
// wide and Vmax × 8 high. A component sampled below the maximum is replicated into its plane by the
// integer repeat factors Hmax / H and Vmax / V (nearest neighbour). After each MCU row the lines
// that belong to the picture are converted to pixels.
//
// All coefficient arithmetic (DC prediction, dequantisation, the transform) wraps modulo 2^32, so
// corrupt data gives some picture or a refusal, never undefined behaviour.

#include <cstdint>
#include <span>

#include "render/jpeg/JpegFrame.h"
#include "render/jpeg/JpegPixelWriter.h"
#include "render/jpeg/PixelDestination.h"

namespace jpeg {

class JpegScanDecoder {
  public:
    // The zigzag order: the k-th coefficient in file order goes to natural position kZigzag[k].
    static constexpr std::uint8_t kZigzag[64] = {
        0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
        41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
        30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

    // False on corrupt entropy-coded data (a code not found within 16 bits, a bad AC run, a DC size
    // above 16 bits) or when the data ends before the last MCU; the destination then holds a partial
    // picture that the caller discards.
    static bool Decode(const JpegFrame& frame, std::span<const std::uint8_t> data,
                       const JpegPixelWriter& writer, const PixelDestination& destination);
};

}  // namespace jpeg
