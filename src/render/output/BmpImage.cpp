#include "render/output/BmpImage.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/rm/WorkerPool.h"

namespace {

// Rows converted between two looks at the progress: enough to be worth handing to the threads,
// few enough that the percentage moves.
constexpr std::uint32_t kRowsPerStep = 64;
// Pictures of fewer output pixels than this are converted by the calling thread alone.
constexpr std::uint64_t kMinPixelsToShare = 1u << 16;

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void WriteHeader(std::uint8_t* h, std::uint32_t width, std::uint32_t height, std::size_t fileSize) {
    std::memset(h, 0, kBmpHeaderSize);
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

// Output row r (counted from the bottom), its filler bytes zero.
void ConvertRow(const SurfacePixels& surface, std::uint32_t w, bool antialias, std::uint32_t r, std::uint8_t* out,
                std::size_t stride) {
    std::uint8_t* const rowStart = out;
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
            // Red and blue summed side by side, green alone: each sum of four bytes needs ten bits,
            // so red (bits 16-25) and blue (bits 0-9) never carry into each other.
            constexpr std::uint32_t kRedBlue = 0x00FF00FF, kGreen = 0x0000FF00;
            const std::uint32_t redBlue = (a & kRedBlue) + (b & kRedBlue) + (d & kRedBlue) + (e & kRedBlue);
            const std::uint32_t green = (a & kGreen) + (b & kGreen) + (d & kGreen) + (e & kGreen);
            *out++ = static_cast<std::uint8_t>((redBlue & 0x3FF) >> 2);
            *out++ = static_cast<std::uint8_t>(green >> 10);
            *out++ = static_cast<std::uint8_t>(redBlue >> 18);
        }
    }
    std::fill(out, rowStart + stride, std::uint8_t{0});
}

}  // namespace

bool EncodeBmp24Into(std::vector<std::uint8_t>& file, const SurfacePixels& surface, std::uint32_t w,
                     std::uint32_t h, bool antialias, const std::function<void(int)>& onRowPercent) {
    file.clear();
    const std::uint32_t scale = antialias ? 2 : 1;
    if (w == 0 || h == 0 || !surface.bits || surface.width != w * scale || surface.height != h * scale) return false;
    const std::size_t stride = BmpStride(w);
    if (h > (std::numeric_limits<std::uint32_t>::max() - kBmpHeaderSize) / stride) return false;
    const std::size_t fileSize = kBmpHeaderSize + stride * h;
    try {
        file.resize(fileSize);
    } catch (const std::bad_alloc&) {
        std::vector<std::uint8_t>().swap(file);
        return false;
    }
    WriteHeader(file.data(), w, h, fileSize);

    rm::WorkerPool& pool = rm::WorkerPool::Shared();
    const bool share = pool.Threads() > 1 && std::uint64_t{w} * h >= kMinPixelsToShare;
    const std::uint32_t rowsPerStep = share ? kRowsPerStep : 1;
    int shown = -1;
    for (std::uint32_t first = 0; first < h; first += rowsPerStep) {
        const std::uint32_t last = std::min(h, first + rowsPerStep);
        for (std::uint32_t r = first; r < last; ++r) {
            const int percent = static_cast<int>(std::uint64_t{r} * 100 / h);
            if (percent != shown && onRowPercent) onRowPercent(percent);
            shown = percent;
        }
        auto convert = [&](std::size_t i, unsigned) {
            const std::uint32_t r = first + static_cast<std::uint32_t>(i);
            ConvertRow(surface, w, antialias, r, file.data() + kBmpHeaderSize + stride * r, stride);
        };
        if (share)
            pool.ForEach(last - first, convert);
        else
            for (std::uint32_t i = 0; i < last - first; ++i) convert(i, 0);
    }
    return true;
}

std::vector<std::uint8_t> EncodeBmp24(const SurfacePixels& surface, std::uint32_t w, std::uint32_t h, bool antialias,
                                      const std::function<void(int)>& onRowPercent) {
    std::vector<std::uint8_t> file;
    EncodeBmp24Into(file, surface, w, h, antialias, onRowPercent);
    return file;
}

bool WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes) {
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
