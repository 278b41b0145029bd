#include "platform/surface/Surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/surface/DeviceContext.h"

namespace surface {

namespace {

constexpr std::uint32_t kMaxSide = 16384;

bool ValidRect(const Rect& r, std::uint32_t w, std::uint32_t h) {
    return r.left >= 0 && r.top >= 0 && r.right > r.left && r.bottom > r.top && std::uint32_t(r.right) <= w &&
           std::uint32_t(r.bottom) <= h;
}

}  // namespace

Ref<Surface> Surface::Create(std::uint32_t width, std::uint32_t height, const PixelFormat& format,
                             std::uint32_t extraPitch, std::uint32_t caps) {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || extraPitch > 4096) return {};
    const PixelFormat f = PixelFormat::FromBits(format.bitCount);
    // Rows start on 4-byte boundaries, as the platform's surfaces do.
    const std::size_t pitch = ((std::size_t(width) * f.BytesPerPixel() + 3) & ~std::size_t(3)) + extraPitch;
    Ref<Surface> s = Ref<Surface>::Adopt(new Surface);
    s->m_width = width;
    s->m_height = height;
    s->m_pitch = static_cast<std::int32_t>(pitch);
    s->m_caps = caps;
    s->m_format = f;
    s->m_palette = DefaultPalette();
    try {
        s->m_bits.assign(pitch * height, 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    return s;
}

Surface::~Surface() = default;

std::uint32_t Surface::GetSurfaceDesc(SurfaceDesc* desc) const {
    if (!desc) return DDERR_INVALIDPARAMS;
    desc->flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->width = m_width;
    desc->height = m_height;
    desc->pitch = m_pitch;
    desc->caps = m_caps;
    desc->format = m_format;
    desc->surface = nullptr;
    return DD_OK;
}

std::uint32_t Surface::Lock(const Rect* rect, SurfaceDesc* desc, std::uint32_t flags) {
    (void)flags;
    if (!desc) return DDERR_INVALIDPARAMS;
    if (m_locked || m_dc) return DDERR_SURFACEBUSY;
    Rect r{0, 0, std::int32_t(m_width), std::int32_t(m_height)};
    if (rect) {
        if (!ValidRect(*rect, m_width, m_height)) return DDERR_INVALIDRECT;
        r = *rect;
    }
    GetSurfaceDesc(desc);
    desc->surface = Row(std::uint32_t(r.top)) + std::size_t(r.left) * m_format.BytesPerPixel();
    m_locked = true;
    return DD_OK;
}

std::uint32_t Surface::Unlock(const Rect* rect) {
    (void)rect;
    if (!m_locked) return DDERR_NOTLOCKED;
    m_locked = false;
    return DD_OK;
}

std::uint32_t Surface::GetPixel(std::uint32_t x, std::uint32_t y) const {
    return ReadPixel(Row(y) + std::size_t(x) * m_format.BytesPerPixel(), m_format.BytesPerPixel());
}

void Surface::SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t value) {
    WritePixel(Row(y) + std::size_t(x) * m_format.BytesPerPixel(), m_format.BytesPerPixel(), value);
}

std::uint32_t Surface::GetColor(std::uint32_t x, std::uint32_t y) const {
    return UnpackPixel(m_format, GetPixel(x, y), &m_palette);
}

std::uint32_t Surface::Blt(const Rect* dstRect, Surface* src, const Rect* srcRect, std::uint32_t flags,
                           std::uint32_t fillPixel) {
    if (m_locked || m_dc) return DDERR_SURFACEBUSY;
    const Rect d = dstRect ? *dstRect : Rect{0, 0, std::int32_t(m_width), std::int32_t(m_height)};
    if (!ValidRect(d, m_width, m_height)) return DDERR_INVALIDRECT;
    const std::uint32_t bpp = m_format.BytesPerPixel();
    if (flags & DDBLT_COLORFILL) {
        for (std::int32_t y = d.top; y < d.bottom; ++y)
            for (std::int32_t x = d.left; x < d.right; ++x) SetPixel(x, y, fillPixel);
        return DD_OK;
    }
    if (!src) return DDERR_INVALIDPARAMS;
    if (src->m_locked || (src != this && src->m_dc)) return DDERR_SURFACEBUSY;
    const Rect s = srcRect ? *srcRect : Rect{0, 0, std::int32_t(src->m_width), std::int32_t(src->m_height)};
    if (!ValidRect(s, src->m_width, src->m_height)) return DDERR_INVALIDRECT;
    // A copy within one surface reads from a snapshot, so overlapping rectangles stay correct.
    std::vector<std::uint8_t> snapshot;
    const std::uint8_t* srcBits = src->m_bits.data();
    if (src == this) {
        snapshot = m_bits;
        srcBits = snapshot.data();
    }
    const std::uint32_t sbpp = src->m_format.BytesPerPixel();
    const bool same = src->m_format == m_format && (m_format.bitCount != 8 || src->m_palette == m_palette);
    const std::int64_t dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
    std::vector<std::int32_t> columns(static_cast<std::size_t>(dw));
    for (std::int64_t x = 0; x < dw; ++x) columns[x] = std::int32_t(s.left + ((2 * x + 1) * sw) / (2 * dw));
    for (std::int64_t y = 0; y < dh; ++y) {
        const std::int64_t sy = s.top + ((2 * y + 1) * sh) / (2 * dh);
        const std::uint8_t* srow = srcBits + std::size_t(sy) * src->m_pitch;
        std::uint8_t* drow = Row(std::uint32_t(d.top + y)) + std::size_t(d.left) * bpp;
        for (std::int64_t x = 0; x < dw; ++x) {
            std::uint32_t v = ReadPixel(srow + std::size_t(columns[x]) * sbpp, sbpp);
            if (!same) v = PackPixel(m_format, UnpackPixel(src->m_format, v, &src->m_palette), &m_palette);
            WritePixel(drow + std::size_t(x) * bpp, bpp, v);
        }
    }
    return DD_OK;
}

std::uint32_t Surface::BltFast(std::int32_t x, std::int32_t y, Surface* src, const Rect* srcRect,
                               std::uint32_t flags) {
    (void)flags;
    if (!src) return DDERR_INVALIDPARAMS;
    Rect s = srcRect ? *srcRect : Rect{0, 0, std::int32_t(src->m_width), std::int32_t(src->m_height)};
    if (!ValidRect(s, src->m_width, src->m_height)) return DDERR_INVALIDRECT;
    // Cut what falls outside the destination.
    if (x < 0) {
        s.left -= x;
        x = 0;
    }
    if (y < 0) {
        s.top -= y;
        y = 0;
    }
    s.right = std::min<std::int64_t>(s.right, s.left + std::int64_t(m_width) - x);
    s.bottom = std::min<std::int64_t>(s.bottom, s.top + std::int64_t(m_height) - y);
    if (s.right <= s.left || s.bottom <= s.top) return DD_OK;
    const Rect d{x, y, x + s.Width(), y + s.Height()};
    return Blt(&d, src, &s, DDBLT_WAIT);
}

DeviceContext* Surface::GetDC() {
    if (m_locked || m_dc) return nullptr;
    m_dc = std::make_unique<DeviceContext>(*this);
    return m_dc.get();
}

std::uint32_t Surface::ReleaseDC(DeviceContext* dc) {
    if (!m_dc || dc != m_dc.get()) return DDERR_INVALIDPARAMS;
    m_dc->Flush();
    m_dc.reset();
    return DD_OK;
}

}  // namespace surface
