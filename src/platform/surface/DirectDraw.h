#pragma once
// The 2D surface library object: creates surfaces and clippers and answers the display mode.
// The display format is 32 bits unless a test sets another with SetDisplayFormat; surfaces
// created without a pixel format take it.

#include <cstdint>

#include "platform/surface/Clipper.h"
#include "platform/surface/Counted.h"
#include "platform/surface/Surface.h"

namespace surface {

enum : std::uint32_t { DDSCL_NORMAL = 0x8 };

class DirectDraw : public platform::Counted {
  public:
    static Ref<DirectDraw> Create() { return Ref<DirectDraw>::Adopt(new DirectDraw); }

    std::uint32_t SetCooperativeLevel(const void* window, std::uint32_t flags);
    // Size of the display (fixed 1920 x 1080 offscreen) and its pixel format.
    std::uint32_t GetDisplayMode(SurfaceDesc* desc) const;
    void SetDisplayFormat(const PixelFormat& format) { m_display = format; }
    const PixelFormat& DisplayFormat() const { return m_display; }

    // Creates a surface from a description: DDSD_WIDTH and DDSD_HEIGHT are required; without
    // DDSD_PIXELFORMAT the display format is used. Formats other than 8/16/24/32 bits are refused.
    std::uint32_t CreateSurface(const SurfaceDesc& desc, Ref<Surface>* out) const;
    // Shorthand: an offscreen system-memory surface in the display format.
    Ref<Surface> CreatePlainSurface(std::uint32_t width, std::uint32_t height) const;
    std::uint32_t CreateClipper(std::uint32_t flags, Ref<Clipper>* out) const;

  private:
    DirectDraw() = default;
    PixelFormat m_display;
};

}  // namespace surface
