#include "platform/rm/Device.h"

#include <algorithm>

namespace rm {

Device::Device(Ref<surface::Surface> target, Ref<surface::Clipper> clipper)
    : m_target(std::move(target)),
      m_clipper(std::move(clipper)),
      m_width(m_target->Width()),
      m_height(m_target->Height()),
      m_depth(std::size_t(m_width) * m_height, 1.0f) {}

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
