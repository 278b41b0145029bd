#include "render/bitmap/PictureLoading.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <vector>

#include "platform/surface/DeviceContext.h"
#include "render/bitmap/JpegSurface.h"
#include "render/bitmap/PictureReader.h"

namespace bitmap {

using surface::Ref;
using surface::Surface;

namespace {

constexpr std::uint32_t kPlainCaps = surface::DDSCAPS_OFFSCREENPLAIN | surface::DDSCAPS_SYSTEMMEMORY;

// Files larger than this are not pictures the system shows (the decoder takes at most 8192² pixels).
constexpr qint64 kMaxFileBytes = qint64{256} << 20;

// The extension of the last path element, from its last dot ("" when it has none).
std::string Extension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

bool IsBitmapExtension(const std::string& extension) {
    return extension.size() == 4 && extension[0] == '.' && (extension[1] | 0x20) == 'b' &&
           (extension[2] | 0x20) == 'm' && (extension[3] | 0x20) == 'p';
}

bool ReadWhole(const std::string& path, std::vector<std::uint8_t>* bytes) {
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 size = file.size();
    if (size <= 0 || size > kMaxFileBytes) return false;
    bytes->resize(static_cast<std::size_t>(size));
    return file.read(reinterpret_cast<char*>(bytes->data()), size) == size;
}

// Stretches the whole of `source` onto the whole of `target` through their device contexts.
bool StretchSurface(Surface& target, Surface& source) {
    surface::DeviceContext* to = target.GetDC();
    if (to == nullptr) return false;
    surface::DeviceContext* from = source.GetDC();
    bool done = false;
    if (from != nullptr) {
        done = to->StretchBlt(0, 0, static_cast<std::int32_t>(target.Width()),
                              static_cast<std::int32_t>(target.Height()), *from, 0, 0,
                              static_cast<std::int32_t>(source.Width()),
                              static_cast<std::int32_t>(source.Height()), surface::SRCCOPY);
        source.ReleaseDC(from);
    }
    target.ReleaseDC(to);
    return done;
}

// A picture at its own size on a display of 32 bits in the usual layout: its rows copied straight
// into a new surface as B, G, R, 0 (as our JPEG decoder writes them), instead of going through
// device contexts. Null for any other display format (the caller then takes the general way).
Ref<Surface> CopyToDisplaySurface(const surface::DirectDraw& directDraw, const QImage& picture) {
    const surface::PixelFormat& display = directDraw.DisplayFormat();
    if (display != surface::PixelFormat{} || picture.format() != QImage::Format_RGB32) return {};
    const auto width = static_cast<std::uint32_t>(picture.width());
    const auto height = static_cast<std::uint32_t>(picture.height());
    Ref<Surface> target = CreatePlainSurface(directDraw, width, height);
    if (!target || target->Format() != display) return {};
    surface::SurfaceDesc locked;
    if (!surface::Succeeded(target->Lock(nullptr, &locked))) return {};
    for (std::uint32_t y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(static_cast<int>(y)));
        auto* to = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.surface) +
                                                    static_cast<std::ptrdiff_t>(y) * locked.pitch);
        for (std::uint32_t x = 0; x < width; ++x) to[x] = from[x] & 0x00FFFFFFu;
    }
    target->Unlock();
    return target;
}

}  // namespace

Ref<Surface> CreatePlainSurface(const surface::DirectDraw& directDraw, std::uint32_t width,
                                std::uint32_t height) {
    return directDraw.CreatePlainSurface(width, height);
}

Ref<Surface> LoadPicture(const surface::DirectDraw& directDraw, const std::string& path, std::uint32_t width,
                         std::uint32_t height) {
    // The name picks the first reader (our bitmap reader or our JPEG decoder, so the pictures
    // they take come out exactly as they always did); whatever that refuses, the content decides.
    const bool bitmapName = IsBitmapExtension(Extension(path));
    if (bitmapName)
        if (Ref<Surface> bitmap = LoadBitmapSurface(directDraw, path, width, height)) return bitmap;

    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(path, &bytes)) return {};
    const bool stretch = width != 0 && height != 0;
    if (!bitmapName) {
        Ref<Surface> target;
        if (stretch) {
            target = CreatePlainSurface(directDraw, width, height);
            if (!target) return {};
        }
        if (Ref<Surface> decoded = DecodeJpeg(directDraw, bytes, kPlainCaps)) {
            if (!stretch) return decoded;
            return StretchSurface(*target, *decoded) ? target : nullptr;
        }
    }
    const QImage picture = ReadPictureImage(bytes);
    if (picture.isNull()) return {};
    if (!stretch)
        if (Ref<Surface> copied = CopyToDisplaySurface(directDraw, picture)) return copied;
    return SurfaceOfImage(directDraw, picture, stretch ? width : 0, stretch ? height : 0);
}

Ref<Surface> LoadBitmapSurface(const surface::DirectDraw& directDraw, const std::string& path,
                               std::uint32_t width, std::uint32_t height) {
    QImageReader reader(QFile::decodeName(path.c_str()), "bmp");
    reader.setDecideFormatFromContent(false);
    // The declared size is checked before any pixel memory is taken.
    const QSize declared = reader.size();
    if (declared.width() <= 0 || declared.height() <= 0 ||
        std::int64_t{declared.width()} * declared.height() > kMaxPicturePixels)
        return {};
    const QImage bitmap = reader.read();
    if (bitmap.isNull()) return {};
    return SurfaceOfImage(directDraw, bitmap, width, height);
}

Ref<Surface> SurfaceOfImage(const surface::DirectDraw& directDraw, const QImage& bitmap, std::uint32_t width,
                            std::uint32_t height) {
    if (bitmap.isNull()) return {};
    surface::SurfaceDesc desc;
    desc.flags = surface::DDSD_CAPS | surface::DDSD_HEIGHT | surface::DDSD_WIDTH;
    desc.width = width != 0 ? width : static_cast<std::uint32_t>(bitmap.width());
    desc.height = height != 0 ? height : static_cast<std::uint32_t>(bitmap.height());
    desc.caps = kPlainCaps;
    Ref<Surface> result;
    if (!surface::Succeeded(directDraw.CreateSurface(desc, &result)) || !result) return {};
    if (!surface::Succeeded(CopyBitmapToSurface(result.Get(), &bitmap, 0, 0, 0, 0))) return {};
    return result;
}

std::uint32_t CopyBitmapToSurface(Surface* target, const QImage* bitmap, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height) {
    if (target == nullptr || bitmap == nullptr || bitmap->isNull()) return surface::DDERR_GENERIC;
    if (width == 0) width = bitmap->width();
    if (height == 0) height = bitmap->height();
    surface::DeviceContext* dc = target->GetDC();
    if (dc == nullptr) return surface::DDERR_GENERIC;
    dc->StretchBlt(0, 0, static_cast<std::int32_t>(target->Width()),
                   static_cast<std::int32_t>(target->Height()), *bitmap, x, y, width, height,
                   surface::SRCCOPY);
    target->ReleaseDC(dc);
    return surface::DD_OK;
}

}  // namespace bitmap
