#include "TestPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "render/jpeg/JpegDecoder.h"

namespace jpegtest {

std::vector<std::uint8_t> MakePicture(int width, int height, int components, std::uint32_t seed) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height * components);
    std::uint32_t state = seed * 2654435761u + 1;
    auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>(state >> 29) - 3;  // −3 … 4
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
            int rgb[3] = {static_cast<int>(40 + 170 * fx), static_cast<int>(60 + 120 * fy),
                          static_cast<int>(128 + 90 * std::sin(6.0 * fx + 4.0 * fy))};
            const double dx = fx - 0.6, dy = fy - 0.4;
            if (dx * dx + dy * dy < 0.04) {  // a disc
                rgb[0] = 220;
                rgb[1] = 200 - static_cast<int>(80 * fy);
                rgb[2] = 40;
            }
            if (x > width / 8 && x < width / 3 && y > height / 2 && y < height * 7 / 8) {  // a box
                rgb[0] = rgb[1] = rgb[2] = 30 + 20 * ((x / 4 + y / 4) & 1);
            }
            const int n = noise();
            std::uint8_t* p = &out[(static_cast<std::size_t>(y) * width + x) * components];
            if (components == 1) {
                p[0] = static_cast<std::uint8_t>(
                    std::clamp((rgb[0] * 3 + rgb[1] * 6 + rgb[2]) / 10 + n, 0, 255));
            } else {
                for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::clamp(rgb[c] + n, 0, 255));
            }
        }
    }
    return out;
}

namespace {

OurDecode Decode(jpeg::JpegDecoder& decoder, const std::vector<std::uint8_t>& file, int bitsPerPixel,
                 int padding, std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask) {
    OurDecode result;
    if (!decoder.ReadHeader(file)) return result;
    result.width = decoder.Width();
    result.height = decoder.Height();
    result.pitch = result.width * std::max(bitsPerPixel, 8) / 8 + padding;
    result.pixels.assign(static_cast<std::size_t>(result.pitch) * result.height, 0xAB);
    jpeg::PixelDestination dest{
        result.pixels.data(), result.pitch, bitsPerPixel, redMask, greenMask, blueMask};
    result.ok = decoder.Decode(dest);
    return result;
}

}  // namespace

OurDecode DecodeWithOurs(const std::vector<std::uint8_t>& file, int bitsPerPixel, int padding,
                         std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask) {
    jpeg::JpegDecoder decoder;
    return Decode(decoder, file, bitsPerPixel, padding, redMask, greenMask, blueMask);
}

OurDecode DecodeOnPath(const std::vector<std::uint8_t>& file, jpeg::JpegDecodePath path, int bitsPerPixel,
                       int padding) {
    jpeg::JpegDecoder decoder;
    if (!decoder.SetDecodePath(path)) std::abort();  // the caller asked for a path the processor lacks
    return Decode(decoder, file, bitsPerPixel, padding, 0xF800, 0x07E0, 0x001F);
}

std::vector<jpeg::JpegDecodePath> RunnableFastPaths() {
    std::vector<jpeg::JpegDecodePath> paths;
    for (jpeg::JpegDecodePath path : jpeg::kAllDecodePaths)
        if (path != jpeg::JpegDecodePath::kReference && jpeg::ProcessorRuns(path)) paths.push_back(path);
    return paths;
}

std::vector<std::uint8_t> ToRgb(const OurDecode& decoded) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(decoded.width) * decoded.height * 3);
    for (int y = 0; y < decoded.height; ++y) {
        const std::uint8_t* row = decoded.pixels.data() + static_cast<std::size_t>(y) * decoded.pitch;
        for (int x = 0; x < decoded.width; ++x)
            rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return rgb;
}

double Psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    if (sum == 0) return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(a.size())));
}

}  // namespace jpegtest
