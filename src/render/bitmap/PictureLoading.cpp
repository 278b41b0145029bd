#include "render/bitmap/PictureLoading.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <vector>

#include "platform/surface/DeviceContext.h"
#include "render/bitmap/JpegSurface.h"

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

}  // namespace

Ref<Surface> CreatePlainSurface(const surface::DirectDraw& directDraw, std::uint32_t width,
                                std::uint32_t height) {
    return directDraw.CreatePlainSurface(width, height);
}

Ref<Surface> LoadPicture(const surface::DirectDraw& directDraw, const std::string& path, std::uint32_t width,
                         std::uint32_t height) {
    if (IsBitmapExtension(Extension(path))) return LoadBitmapSurface(directDraw, path, width, height);

    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(path, &bytes)) return {};
    const bool stretch = width != 0 && height != 0;
    Ref<Surface> target;
    if (stretch) {
        target = CreatePlainSurface(directDraw, width, height);
        if (!target) return {};
    }
    Ref<Surface> decoded = DecodeJpeg(directDraw, bytes, kPlainCaps);
    if (!decoded) return {};
    if (!stretch) return decoded;
    return StretchSurface(*target, *decoded) ? target : nullptr;
}

Ref<Surface> LoadBitmapSurface(const surface::DirectDraw& directDraw, const std::string& path,
                               std::uint32_t width, std::uint32_t height) {
    QImageReader reader(QFile::decodeName(path.c_str()), "bmp");
    reader.setDecideFormatFromContent(false);
    const QImage bitmap = reader.read();
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
