#include "render/output/PictureFile.h"

#include <limits>

#include "render/output/BmpImage.h"
#include "render/output/PngEncoder.h"

namespace {

std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

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

    // The resolution is the BMP's own, whatever the screen of the process says: pixels per metre
    // when the BMP gives them, else none at all (EncodeBmp24 leaves them 0, "not known").
    const std::uint32_t xPerMetre = Get32(bmp, 38), yPerMetre = Get32(bmp, 42);
    std::optional<PngResolution> resolution;
    if (xPerMetre > 0 && yPerMetre > 0 && xPerMetre <= 0x7FFFFFFF && yPerMetre <= 0x7FFFFFFF)
        resolution = PngResolution{xPerMetre, yPerMetre};
    return EncodePngFromBgrRows(bmp.data() + kBmpHeaderSize, stride, width, height, resolution);
}

bool WriteRenderedPicture(const std::string& path, std::span<const std::uint8_t> bmp) {
    if (bmp.empty()) return false;
    if (PictureFormatOfName(path) == PictureFileFormat::Bmp) return WriteFileReplacing(path, bmp);
    const std::vector<std::uint8_t> png = EncodePngFromBmp24(bmp);
    return !png.empty() && WriteFileReplacing(path, png);
}
