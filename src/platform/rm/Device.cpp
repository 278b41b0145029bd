#include "platform/rm/Device.h"

#include <algorithm>

#include "platform/rm/raster/RenderPass.h"
#include "platform/rm/raster/RowFill.h"

namespace rm {

Device::Device(Ref<surface::Surface> target, Ref<surface::Clipper> clipper)
    : m_target(std::move(target)),
      m_clipper(std::move(clipper)),
      m_width(m_target->Width()),
      m_height(m_target->Height()),
      m_depth(raster::AllocateRows<float>(std::size_t(m_width) * m_height)) {}

Device::~Device() = default;

std::span<float> Device::DepthBuffer() {
    if (m_depthFresh) FillDepth(0, 0, std::int32_t(m_width), std::int32_t(m_height), 1.0f);
    return {m_depth.get(), std::size_t(m_width) * m_height};
}

void Device::FillDepth(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, float value) {
    // A fill of the whole buffer makes the first "1 everywhere" moot; any other fill needs it first.
    const bool whole = x0 == 0 && y0 == 0 && x1 == std::int32_t(m_width) && y1 == std::int32_t(m_height);
    if (m_depthFresh && !whole) FillDepth(0, 0, std::int32_t(m_width), std::int32_t(m_height), 1.0f);
    m_depthFresh = false;
    float* depth = m_depth.get();
    const std::size_t stride = m_width;
    raster::FillRows(y0, y1, x1 - x0, [&](std::int32_t y) {
        float* row = depth + std::size_t(y) * stride;
        std::fill(row + x0, row + x1, value);
    });
}

raster::RenderPass& Device::Pass() {
    if (!m_pass) m_pass = std::make_unique<raster::RenderPass>();
    return *m_pass;
}

void Device::MarkDirty(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    x0 = std::clamp<std::int32_t>(x0, 0, std::int32_t(m_width));
    x1 = std::clamp<std::int32_t>(x1, 0, std::int32_t(m_width));
    y0 = std::clamp<std::int32_t>(y0, 0, std::int32_t(m_height));
    y1 = std::clamp<std::int32_t>(y1, 0, std::int32_t(m_height));
    if (x1 <= x0 || y1 <= y0) return;
    if (!m_dirty) {
        m_dirtyRect = {x0, y0, x1, y1};
        m_dirty = true;
        return;
    }
    m_dirtyRect = {std::min(m_dirtyRect.left, x0), std::min(m_dirtyRect.top, y0),
                   std::max(m_dirtyRect.right, x1), std::max(m_dirtyRect.bottom, y1)};
}

std::uint32_t Device::Update() {
    if (m_clipper && m_clipper->GetHWnd() && m_dirty) {
        m_clipper->GetHWnd()->Present(*m_target, &m_dirtyRect);
        ++m_updates;
    }
    m_dirty = false;
    return D3DRM_OK;
}

}  // namespace rm
