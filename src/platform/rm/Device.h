#pragma once
// A rendering device: the software rasteriser drawing into a 32-bit 0x00RRGGBB render target.
// A device made on a surface draws into it; one made on a clipper draws into an offscreen
// surface of the window's size and Update shows it in the window. The device owns the z-buffer
// of its target and the rasteriser's pass, both kept from one render to the next.

#include <cstdint>
#include <memory>
#include <span>

#include "platform/rm/Types.h"
#include "platform/surface/Clipper.h"
#include "platform/surface/Surface.h"

namespace rm {

namespace raster {
class RenderPass;
}

class Device : public platform::Counted {
  public:
    std::uint32_t SetQuality(std::uint32_t quality) {
        m_quality = quality;
        return D3DRM_OK;
    }
    std::uint32_t GetQuality() const { return m_quality; }
    std::uint32_t SetShades(std::uint32_t shades) {
        m_shades = shades;
        return D3DRM_OK;
    }
    std::uint32_t GetShades() const { return m_shades; }
    std::uint32_t SetDither(bool dither) {
        m_dither = dither;
        return D3DRM_OK;
    }
    bool GetDither() const { return m_dither; }
    std::uint32_t SetTextureQuality(std::uint32_t quality) {
        m_textureQuality = quality;
        return D3DRM_OK;
    }
    std::uint32_t GetTextureQuality() const { return m_textureQuality; }
    // Flags D3DRMRENDERMODE_*; 3 = blended and sorted transparency (the default here).
    std::uint32_t SetRenderMode(std::uint32_t mode) {
        m_renderMode = mode;
        return D3DRM_OK;
    }
    std::uint32_t GetRenderMode() const { return m_renderMode; }

    std::uint32_t GetWidth() const { return m_width; }
    std::uint32_t GetHeight() const { return m_height; }
    // The surface the device draws into.
    Ref<surface::Surface> GetRenderTarget() const { return m_target; }
    surface::Surface& Target() const { return *m_target; }

    // Window devices: shows the rectangles marked since the last Update (ForceUpdate, Render,
    // Clear) in the window. Surface devices: nothing to show.
    std::uint32_t Update();
    // Marks a rectangle (clipped to the device) for the next Update.
    void MarkDirty(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
    // How many frames Update has shown (for tests of window devices).
    std::uint32_t UpdateCount() const { return m_updates; }

    // Depth buffer, one float per pixel, row-major, width per row (the rasteriser's). A new device's
    // buffer reads 1 (the back plane) everywhere.
    std::span<float> DepthBuffer();
    // Sets the depth of columns [x0, x1) of rows [y0, y1) to `value` (the rectangle lies within the
    // device). Large rectangles are filled by the worker pool's threads.
    void FillDepth(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, float value);

    // The rasteriser's pass of this device's renders.
    raster::RenderPass& Pass();

  private:
    friend class Library;
    Device(Ref<surface::Surface> target, Ref<surface::Clipper> clipper);
    ~Device() override;

    Ref<surface::Surface> m_target;
    Ref<surface::Clipper> m_clipper;
    std::uint32_t m_width;
    std::uint32_t m_height;
    // Allocated untouched: until the first use the buffer only stands for "1 everywhere", so that
    // the clear a render starts with is the only pass over fresh memory, made by all the threads.
    std::unique_ptr<float[]> m_depth;
    bool m_depthFresh = true;
    std::unique_ptr<raster::RenderPass> m_pass;
    std::uint32_t m_quality = D3DRMRENDER_FLAT;
    std::uint32_t m_shades = 32;
    bool m_dither = true;
    std::uint32_t m_textureQuality = D3DRMTEXTURE_NEAREST;
    std::uint32_t m_renderMode = D3DRMRENDERMODE_BLENDEDTRANSPARENCY | D3DRMRENDERMODE_SORTEDTRANSPARENCY;
    bool m_dirty = false;
    surface::Rect m_dirtyRect;
    std::uint32_t m_updates = 0;
};

}  // namespace rm
