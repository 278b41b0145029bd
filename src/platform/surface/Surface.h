#pragma once
// An offscreen surface in system memory: width x height pixels of one format, rows `pitch` bytes
// apart (the pitch may exceed width x bytes per pixel). Lock gives the top-left pixel and the
// pitch; Blt / BltFast copy and fill; GetDC gives a device context that draws with QPainter on
// the surface's own memory.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/surface/Counted.h"
#include "platform/surface/PixelFormat.h"

namespace surface {

using platform::Ref;

class DeviceContext;

// Result codes of the surface operations (the platform's values).
enum Result : std::uint32_t {
    DD_OK = 0,
    DDERR_GENERIC = 0x80004005,
    DDERR_INVALIDPARAMS = 0x80070057,
    DDERR_INVALIDRECT = 0x88760096,
    DDERR_SURFACEBUSY = 0x887601AE,
    DDERR_WASSTILLDRAWING = 0x8876021C,
    DDERR_NOTLOCKED = 0x887601E6,
};
inline bool Succeeded(std::uint32_t r) {
    return (r & 0x80000000u) == 0;
}

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Flags of the surface description (which fields a caller asks for / gives).
enum : std::uint32_t {
    DDSD_CAPS = 0x1,
    DDSD_HEIGHT = 0x2,
    DDSD_WIDTH = 0x4,
    DDSD_PITCH = 0x8,
    DDSD_PIXELFORMAT = 0x1000,
};
enum : std::uint32_t {
    DDSCAPS_OFFSCREENPLAIN = 0x40,
    DDSCAPS_SYSTEMMEMORY = 0x800,
    DDSCAPS_3DDEVICE = 0x2000,
};

struct SurfaceDesc {
    std::uint32_t flags = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::int32_t pitch = 0;
    std::uint32_t caps = 0;
    PixelFormat format;
    void* surface = nullptr;  // set by Lock: the top-left pixel
};

// Blt flags.
enum : std::uint32_t {
    DDBLT_COLORFILL = 0x400,
    DDBLT_WAIT = 0x1000000,
};
enum : std::uint32_t { DDBLTFAST_NOCOLORKEY = 0, DDBLTFAST_WAIT = 0x10 };

class Surface : public platform::Counted {
  public:
    // A surface of the given size and format; null when the size is 0, above 16384 on a side or
    // too large to allocate. `extraPitch` bytes are added to every row (tests use it to check
    // that callers honour the pitch).
    static Ref<Surface> Create(std::uint32_t width, std::uint32_t height, const PixelFormat& format,
                               std::uint32_t extraPitch = 0,
                               std::uint32_t caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);

    std::uint32_t Width() const { return m_width; }
    std::uint32_t Height() const { return m_height; }
    std::int32_t Pitch() const { return m_pitch; }
    const PixelFormat& Format() const { return m_format; }
    Palette& GetPalette() { return m_palette; }
    const Palette& GetPalette() const { return m_palette; }

    // Fills `desc` with size, pitch, caps and format (all fields; `flags` tells which are valid).
    std::uint32_t GetSurfaceDesc(SurfaceDesc* desc) const;

    // Locks the whole surface (rect null) or a rectangle: desc->surface points at its top-left
    // pixel, desc->pitch is the row pitch. A surface locked twice answers DDERR_SURFACEBUSY.
    std::uint32_t Lock(const Rect* rect, SurfaceDesc* desc, std::uint32_t flags = 0);
    std::uint32_t Unlock(const Rect* rect = nullptr);
    bool IsLocked() const { return m_locked; }

    // Copies `src` (whole source when srcRect is null) onto `dstRect` of this surface (whole surface
    // when null), stretching by nearest neighbour and converting formats. With DDBLT_COLORFILL
    // (src null) fills dstRect with `fillPixel`, a value in this surface's own format. A rectangle
    // that is empty, inverted or leaves its surface is refused (DDERR_INVALIDRECT).
    std::uint32_t Blt(const Rect* dstRect, Surface* src, const Rect* srcRect, std::uint32_t flags,
                      std::uint32_t fillPixel = 0);
    // Copies `srcRect` of `src` (whole when null) to (x, y) without stretching; the part that
    // would fall outside this surface is cut off.
    std::uint32_t BltFast(std::int32_t x, std::int32_t y, Surface* src, const Rect* srcRect,
                          std::uint32_t flags = DDBLTFAST_WAIT);

    // A device context drawing on this surface, until ReleaseDC. Null while the surface is locked
    // or another context is out.
    DeviceContext* GetDC();
    std::uint32_t ReleaseDC(DeviceContext* dc);

    // Direct access for the platform's own drawing code (the rasteriser, the device context).
    std::uint8_t* Bits() { return m_bits.data(); }
    const std::uint8_t* Bits() const { return m_bits.data(); }
    std::uint8_t* Row(std::uint32_t y) { return m_bits.data() + static_cast<std::size_t>(y) * m_pitch; }
    const std::uint8_t* Row(std::uint32_t y) const {
        return m_bits.data() + static_cast<std::size_t>(y) * m_pitch;
    }
    // Pixel value at (x, y), and its colour 0x00RRGGBB (for tests and the device context).
    std::uint32_t GetPixel(std::uint32_t x, std::uint32_t y) const;
    void SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t value);
    std::uint32_t GetColor(std::uint32_t x, std::uint32_t y) const;

  private:
    Surface() = default;
    ~Surface() override;

    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::int32_t m_pitch = 0;
    std::uint32_t m_caps = 0;
    PixelFormat m_format;
    Palette m_palette{};
    std::vector<std::uint8_t> m_bits;
    bool m_locked = false;
    std::unique_ptr<DeviceContext> m_dc;
};

}  // namespace surface
