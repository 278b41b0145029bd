#pragma once
// libjpeg-turbo as the reference encoder and decoder of the JPEG tests and benchmarks: it makes real
// baseline files at test time (any sampling, restart intervals, progressive or arithmetic coding on
// request) and decodes them for comparison. Errors come back as empty results, never as exit().

#include <cstdint>
#include <vector>

namespace jpegtest {

struct EncodeOptions {
    int quality = 90;
    int components = 3;  // 1 = grey, 3 = YCbCr
    int lumaH = 1;       // sampling factors of the first component; chroma is 1 × 1
    int lumaV = 1;
    int restartInterval = 0;  // in MCUs
    bool progressive = false;
    bool arithmetic = false;
};

// `pixels` holds width × height × components bytes (R, G, B or grey). Empty on failure.
std::vector<std::uint8_t> LibjpegEncode(const std::vector<std::uint8_t>& pixels, int width, int height,
                                        const EncodeOptions& options);

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width × height × 3, R, G, B
};

// Decodes to RGB with the exact integer IDCT and plain replication of chroma (no smoothing), the
// settings closest to the system's decoder. Empty image on failure.
DecodedImage LibjpegDecode(const std::vector<std::uint8_t>& file);

// Decodes with libjpeg-turbo's default settings (accurate integer IDCT, smooth upsampling) into
// 32-bit B, G, R, x pixels at `pixels`, rows `pitch` bytes apart, which must hold the whole picture.
// The benchmarks' reference. False on failure.
bool LibjpegDecodeBgrx(const std::vector<std::uint8_t>& file, std::uint8_t* pixels, int pitch);

}  // namespace jpegtest
