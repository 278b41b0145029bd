#include "platform/surface/DirectDraw.h"

namespace surface {

std::uint32_t DirectDraw::SetCooperativeLevel(const void* window, std::uint32_t flags) {
    (void)window;
    (void)flags;
    return DD_OK;
}

std::uint32_t DirectDraw::GetDisplayMode(SurfaceDesc* desc) const {
    if (!desc) return DDERR_INVALIDPARAMS;
    *desc = SurfaceDesc{};
    desc->flags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_PITCH;
    desc->width = 1920;
    desc->height = 1080;
    desc->pitch = std::int32_t(1920 * m_display.BytesPerPixel());
    desc->format = m_display;
    return DD_OK;
}

std::uint32_t DirectDraw::CreateSurface(const SurfaceDesc& desc, Ref<Surface>* out) const {
    if (!out || !(desc.flags & DDSD_WIDTH) || !(desc.flags & DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    PixelFormat format = m_display;
    if (desc.flags & DDSD_PIXELFORMAT) {
        const std::uint32_t b = desc.format.bitCount;
        if (b != 8 && b != 16 && b != 24 && b != 32) return DDERR_INVALIDPARAMS;
        format = PixelFormat::FromBits(b);
    }
    const std::uint32_t caps =
        (desc.flags & DDSD_CAPS) ? desc.caps : (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    *out = Surface::Create(desc.width, desc.height, format, 0, caps);
    return *out ? DD_OK : DDERR_INVALIDPARAMS;
}

Ref<Surface> DirectDraw::CreatePlainSurface(std::uint32_t width, std::uint32_t height) const {
    SurfaceDesc d;
    d.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.width = width;
    d.height = height;
    d.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    Ref<Surface> s;
    CreateSurface(d, &s);
    return s;
}

std::uint32_t DirectDraw::CreateClipper(std::uint32_t flags, Ref<Clipper>* out) const {
    (void)flags;
    if (!out) return DDERR_INVALIDPARAMS;
    *out = Clipper::Create();
    return DD_OK;
}

}  // namespace surface
