#include "render/bitmap/PictureReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/rm/Library.h"
#include "render/jpeg/JpegDecoder.h"

namespace bitmap {

namespace {

bool SizeTaken(const QSize& size) {
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxPictureSide &&
           size.height() <= kMaxPictureSide &&
           std::int64_t{size.width()} * size.height() <= kMaxPicturePixels;
}

// Qt's allocation limit is one value for the whole process; it is raised to what our bound needs
// for the one read and put back afterwards, so other readers keep theirs.
class AllocationLimit {
  public:
    AllocationLimit() : m_previous(QImageReader::allocationLimit()) {
        QImageReader::setAllocationLimit(kReaderAllocationLimitMb);
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_previous); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

  private:
    int m_previous;
};

// Installs the texture decoder when this layer is part of the program: the 3D library below
// cannot reach the picture readers itself. Everything that shows pictures links this file.
[[maybe_unused]] const bool g_textureDecoderInstalled = [] {
    rm::Library::SetPictureDecoder(&DecodeTexturePicture);
    return true;
}();

}  // namespace

bool JpegReachesEnd(std::span<const std::uint8_t> data) {
    const std::size_t size = data.size();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    std::size_t pos = 2;
    for (;;) {
        // Bytes between segments are passed over (decoders do the same); fill bytes too.
        while (pos < size && data[pos] != 0xFF) ++pos;
        while (pos < size && data[pos] == 0xFF) ++pos;
        if (pos >= size) return false;
        const std::uint8_t code = data[pos++];
        if (code == 0xD9) return true;
        if (code == 0xD8 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;  // no length
        if (size - pos < 2) return false;
        const std::size_t length = std::size_t{data[pos]} << 8 | data[pos + 1];
        if (length < 2 || length > size - pos) return false;
        pos += length;
        if (code != 0xDA) continue;
        // Entropy-coded data: up to the first marker that is neither a stuffed zero nor a restart.
        for (;;) {
            const void* found = std::memchr(data.data() + pos, 0xFF, size - pos);
            if (found == nullptr) return false;
            pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data.data());
            if (size - pos < 2) return false;
            const std::uint8_t next = data[pos + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                pos += 2;
            } else if (next == 0xFF) {
                ++pos;
            } else {
                break;
            }
        }
    }
}

QImage ReadPictureImage(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "jpeg" && format != "png" && format != "bmp") return {};
    if (!SizeTaken(reader.size())) return {};
    if (format == "jpeg" && !JpegReachesEnd(bytes)) return {};

    QImage image;
    {
        const AllocationLimit limit;
        image = reader.read();
    }
    if (image.isNull() || !SizeTaken(image.size())) return {};
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    // Transparent parts over white, channel by channel, rounded to nearest.
    QImage flat = image.convertToFormat(QImage::Format_ARGB32);
    if (flat.isNull()) return {};
    for (int y = 0; y < flat.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(flat.scanLine(y));
        for (int x = 0; x < flat.width(); ++x) {
            const QRgb p = row[x];
            const int a = qAlpha(p);
            const auto over = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            row[x] = qRgb(over(qRed(p)), over(qGreen(p)), over(qBlue(p)));
        }
    }
    return flat.convertToFormat(QImage::Format_RGB32);
}

bool DecodeTexturePicture(std::span<const std::uint8_t> file, rm::DecodedBmp* out) {
    if (out == nullptr) return false;
    jpeg::JpegDecoder decoder;
    if (decoder.ReadHeader(file)) {
        const auto width = static_cast<std::uint32_t>(decoder.Width());
        const auto height = static_cast<std::uint32_t>(decoder.Height());
        if (width > rm::kMaxTextureSide || height > rm::kMaxTextureSide) return false;
        std::vector<std::uint32_t> texels(std::size_t{width} * height);
        const jpeg::PixelDestination destination{reinterpret_cast<std::uint8_t*>(texels.data()),
                                                 static_cast<std::ptrdiff_t>(width) * 4, 32, 0, 0, 0};
        if (decoder.Decode(destination)) {
            for (std::uint32_t& t : texels) t |= 0xFF000000u;
            out->width = width;
            out->height = height;
            out->texels = std::move(texels);
            return true;
        }
    }
    const QImage image = ReadPictureImage(file);
    if (image.isNull() || image.width() > static_cast<int>(rm::kMaxTextureSide) ||
        image.height() > static_cast<int>(rm::kMaxTextureSide))
        return false;
    out->width = static_cast<std::uint32_t>(image.width());
    out->height = static_cast<std::uint32_t>(image.height());
    out->texels.resize(std::size_t{out->width} * out->height);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::memcpy(out->texels.data() + std::size_t(y) * out->width, row, std::size_t{out->width} * 4);
    }
    for (std::uint32_t& t : out->texels) t |= 0xFF000000u;
    return true;
}

}  // namespace bitmap
