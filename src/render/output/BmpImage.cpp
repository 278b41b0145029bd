#include "render/output/BmpImage.h"

#include <QFile>
#include <QSaveFile>
#include <limits>
#include <new>

namespace {

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void WriteHeader(std::uint8_t* h, std::uint32_t width, std::uint32_t height, std::size_t fileSize) {
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(fileSize));
    Put32(h + 10, kBmpHeaderSize);
    Put32(h + 14, 40);
    Put32(h + 18, width);
    Put32(h + 22, height);
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    // Compression, image size, resolutions and colour counts stay 0.
}

const std::uint32_t* Row(const SurfacePixels& s, std::uint32_t y) {
    return reinterpret_cast<const std::uint32_t*>(s.bits + static_cast<std::ptrdiff_t>(y) * s.pitch);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const SurfacePixels& surface, std::uint32_t w, std::uint32_t h, bool antialias,
                                      const std::function<void(int)>& onRowPercent) {
    const std::uint32_t scale = antialias ? 2 : 1;
    if (w == 0 || h == 0 || !surface.bits || surface.width != w * scale || surface.height != h * scale) return {};
    const std::size_t stride = BmpStride(w);
    if (h > (std::numeric_limits<std::uint32_t>::max() - kBmpHeaderSize) / stride) return {};
    const std::size_t fileSize = kBmpHeaderSize + stride * h;

    std::vector<std::uint8_t> file;
    try {
        file.assign(fileSize, 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    WriteHeader(file.data(), w, h, fileSize);

    int shown = -1;
    for (std::uint32_t r = 0; r < h; ++r) {
        const int percent = static_cast<int>(std::uint64_t{r} * 100 / h);
        if (percent != shown && onRowPercent) onRowPercent(percent);
        shown = percent;
        std::uint8_t* out = file.data() + kBmpHeaderSize + stride * r;
        if (!antialias) {
            const std::uint32_t* src = Row(surface, surface.height - 1 - r);
            for (std::uint32_t c = 0; c < w; ++c) {
                const std::uint32_t p = src[c];
                *out++ = static_cast<std::uint8_t>(p);
                *out++ = static_cast<std::uint8_t>(p >> 8);
                *out++ = static_cast<std::uint8_t>(p >> 16);
            }
        } else {
            const std::uint32_t* lower = Row(surface, surface.height - 1 - 2 * r);
            const std::uint32_t* upper = Row(surface, surface.height - 2 - 2 * r);
            for (std::uint32_t c = 0; c < w; ++c) {
                const std::uint32_t a = lower[2 * c], b = lower[2 * c + 1], d = upper[2 * c], e = upper[2 * c + 1];
                for (int shift = 0; shift <= 16; shift += 8) {
                    const std::uint32_t sum =
                        ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((d >> shift) & 0xFF) + ((e >> shift) & 0xFF);
                    *out++ = static_cast<std::uint8_t>(sum / 4);
                }
            }
        }
    }
    return file;
}

bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
