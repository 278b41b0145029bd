#include "render/bitmap/JpegSurface.h"

#include "render/jpeg/JpegDecoder.h"

namespace bitmap {

using surface::Ref;
using surface::Surface;
using surface::SurfaceDesc;

Ref<Surface> DecodeJpeg(const surface::DirectDraw& directDraw, std::span<const std::uint8_t> data,
                        std::uint32_t caps) {
    jpeg::JpegDecoder decoder;
    if (!decoder.ReadHeader(data)) return {};

    SurfaceDesc desc;
    desc.flags = surface::DDSD_CAPS | surface::DDSD_HEIGHT | surface::DDSD_WIDTH;
    desc.width = static_cast<std::uint32_t>(decoder.Width());
    desc.height = static_cast<std::uint32_t>(decoder.Height());
    desc.caps = caps;
    Ref<Surface> picture;
    if (!surface::Succeeded(directDraw.CreateSurface(desc, &picture)) || !picture) return {};

    SurfaceDesc locked;
    if (!surface::Succeeded(picture->Lock(nullptr, &locked))) return {};
    const surface::PixelFormat& format = picture->Format();
    const jpeg::PixelDestination destination{static_cast<std::uint8_t*>(locked.surface),
                                             locked.pitch,
                                             static_cast<int>(format.bitCount),
                                             format.redMask,
                                             format.greenMask,
                                             format.blueMask};
    const bool decoded = decoder.Decode(destination);
    picture->Unlock();
    return decoded ? picture : nullptr;
}

}  // namespace bitmap
