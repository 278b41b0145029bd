#pragma once
// Deterministic pictures for the JPEG tests and benchmarks, and a helper that runs the system's
// decoder into a plain buffer.

#include <cstdint>
#include <vector>

#include "render/jpeg/JpegDecodePath.h"

namespace jpegtest {

// A photo-like picture: smooth gradients, a few hard-edged shapes and fine texture. `components`
// bytes per pixel (1 grey, 3 R, G, B).
std::vector<std::uint8_t> MakePicture(int width, int height, int components, std::uint32_t seed = 1);

struct OurDecode {
    bool ok = false;
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::vector<std::uint8_t> pixels;  // height × pitch bytes
};

// Runs jpeg::JpegDecoder into a buffer of the given format. `padding` extra bytes end each row and
// are filled with 0xAB beforehand, so tests can see that nothing is written past a row.
OurDecode DecodeWithOurs(const std::vector<std::uint8_t>& file, int bitsPerPixel = 24, int padding = 0,
                         std::uint32_t redMask = 0xF800, std::uint32_t greenMask = 0x07E0,
                         std::uint32_t blueMask = 0x001F);

// The same through the given decode path (which the processor must run).
OurDecode DecodeOnPath(const std::vector<std::uint8_t>& file, jpeg::JpegDecodePath path, int bitsPerPixel,
                       int padding = 0);

// The fast paths this processor runs (kPortable always, kSse2 and kAvx2 where it has them).
std::vector<jpeg::JpegDecodePath> RunnableFastPaths();

// Our 24-bit (B, G, R) output as R, G, B rows without padding.
std::vector<std::uint8_t> ToRgb(const OurDecode& decoded);

// Peak signal-to-noise ratio in dB of two equally sized byte arrays (infinite when equal).
double Psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

}  // namespace jpegtest
