#include "render/output/PictureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <limits>

#include "render/output/BmpImage.h"

namespace {

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t GetBigEndian32(const QByteArray& b, qsizetype at) {
    return (std::uint32_t{static_cast<std::uint8_t>(b[at])} << 24) |
           (static_cast<std::uint8_t>(b[at + 1]) << 16) | (static_cast<std::uint8_t>(b[at + 2]) << 8) |
           static_cast<std::uint8_t>(b[at + 3]);
}

// The PNG without its pHYs chunk (the physical size of a pixel). Qt writes one from the picture's
// dots per metre, which it takes from the screen when nobody sets them, so a window and a run without
// one would write different bytes for the same pixels. Empty when the chunks do not add up.
std::vector<std::uint8_t> WithoutPhysicalSize(const QByteArray& png) {
    constexpr qsizetype kSignatureSize = 8, kChunkFrameSize = 12;  // length, type, CRC
    if (png.size() < kSignatureSize) return {};
    std::vector<std::uint8_t> out(png.begin(), png.begin() + kSignatureSize);
    for (qsizetype at = kSignatureSize; at < png.size();) {
        if (png.size() - at < kChunkFrameSize) return {};
        const std::uint32_t length = GetBigEndian32(png, at);
        if (length > static_cast<std::uint64_t>(png.size() - at - kChunkFrameSize)) return {};
        const qsizetype size = kChunkFrameSize + static_cast<qsizetype>(length);
        if (png.mid(at + 4, 4) != "pHYs") out.insert(out.end(), png.begin() + at, png.begin() + at + size);
        at += size;
    }
    return out;
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

std::vector<std::uint8_t> EncodePngFromBmp24(const std::vector<std::uint8_t>& bmp) {
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

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (image.isNull()) return {};
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = bmp.data() + kBmpHeaderSize + stride * (height - 1 - y);
        std::uint8_t* out = image.scanLine(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    // The resolution is the BMP's own, whatever the screen of the process says: pixels per metre
    // when the BMP gives them, else none at all (EncodeBmp24 leaves them 0, "not known").
    const auto xPerMetre = static_cast<std::int32_t>(Get32(bmp, 38));
    const auto yPerMetre = static_cast<std::int32_t>(Get32(bmp, 42));
    const bool resolutionKnown = xPerMetre > 0 && yPerMetre > 0;
    if (resolutionKnown) {
        image.setDotsPerMeterX(xPerMetre);
        image.setDotsPerMeterY(yPerMetre);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) return {};
    buffer.close();
    if (!resolutionKnown) return WithoutPhysicalSize(bytes);
    return {bytes.begin(), bytes.end()};
}

bool WriteRenderedPicture(const std::string& path, const std::vector<std::uint8_t>& bmp) {
    if (bmp.empty()) return false;
    if (PictureFormatOfName(path) == PictureFileFormat::Bmp) return WriteFileReplacing(path, bmp);
    const std::vector<std::uint8_t> png = EncodePngFromBmp24(bmp);
    return !png.empty() && WriteFileReplacing(path, png);
}
