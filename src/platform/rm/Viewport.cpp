#include "platform/rm/Viewport.h"

#include <algorithm>

#include "platform/rm/VectorMath.h"
#include "platform/rm/raster/RenderPass.h"
#include "platform/rm/raster/RowFill.h"

namespace rm {

Viewport::Viewport(std::shared_ptr<ObjectRegistry> registry, Device* device, Frame* camera, std::int32_t x,
                   std::int32_t y, std::uint32_t w, std::uint32_t h)
    : Object(std::move(registry)),
      m_device(device),
      m_camera(camera),
      m_x(x),
      m_y(y),
      m_width(w),
      m_height(h) {}

std::uint32_t Viewport::SetFront(float front) {
    // A front at or beyond the back plane would leave no depth range to draw.
    if (!(front > 0.0f) || !(front < m_back)) return D3DRMERR_BADVALUE;
    m_front = front;
    return D3DRM_OK;
}

std::uint32_t Viewport::SetBack(float back) {
    if (!(back > m_front)) return D3DRMERR_BADVALUE;
    m_back = back;
    return D3DRM_OK;
}

std::uint32_t Viewport::SetPlanes(float front, float back) {
    if (!(front > 0.0f) || !(back > front)) return D3DRMERR_BADVALUE;
    m_front = front;
    m_back = back;
    return D3DRM_OK;
}

std::uint32_t Viewport::SetField(float field) {
    if (!(field > 0.0f)) return D3DRMERR_BADVALUE;
    m_field = field;
    return D3DRM_OK;
}

std::uint32_t Viewport::SetCamera(Frame* camera) {
    if (!camera) return D3DRMERR_BADVALUE;
    m_camera.Reset(camera);
    return D3DRM_OK;
}

std::uint32_t Viewport::Clear(std::uint32_t flags) {
    surface::Surface& target = m_device->Target();
    const std::int32_t x1 = m_x + std::int32_t(m_width), y1 = m_y + std::int32_t(m_height);
    if (flags & D3DRMCLEAR_TARGET) {
        raster::FillRows(m_y, y1, std::int32_t(m_width), [&](std::int32_t y) {
            auto* row = reinterpret_cast<std::uint32_t*>(target.Row(std::uint32_t(y)));
            std::fill(row + m_x, row + x1, m_background);
        });
    }
    if (flags & D3DRMCLEAR_ZBUFFER) m_device->FillDepth(m_x, m_y, x1, y1, raster::kDepthClear);
    m_device->MarkDirty(m_x, m_y, x1, y1);
    return D3DRM_OK;
}

std::uint32_t Viewport::ForceUpdate(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const std::int32_t r = m_x + std::int32_t(m_width), b = m_y + std::int32_t(m_height);
    m_device->MarkDirty(std::clamp(m_x + x1, m_x, r), std::clamp(m_y + y1, m_y, b),
                        std::clamp(m_x + x2, m_x, r), std::clamp(m_y + y2, m_y, b));
    return D3DRM_OK;
}

std::uint32_t Viewport::Render(Frame* root) {
    if (!root || !m_camera) return D3DRMERR_BADOBJECT;
    m_device->Pass().Run(*this, *root);
    m_device->MarkDirty(m_x, m_y, m_x + std::int32_t(m_width), m_y + std::int32_t(m_height));
    return D3DRM_OK;
}

std::uint32_t Viewport::Transform(Vector4* out, const Vector* world) const {
    if (!out || !world || !m_camera) return D3DRMERR_BADVALUE;
    const Vector c = TransformPoint(*world, Inverse(m_camera->WorldMatrix()));
    const double xc = c.x, yc = c.y, zc = c.z;
    const double D = m_front, F = m_back, h = m_field;
    const double s = std::max(m_width, m_height) / 2.0;
    const double cx = m_x + m_width / 2.0, cy = m_y + m_height / 2.0;
    // (sx*w, sy*w, depth*w, w) with w = zc, written without a division by zc.
    out->x = float(cx * zc + s * D * xc / h);
    out->y = float(cy * zc - s * D * yc / h);
    out->z = float(F * (zc - D) / (F - D));
    out->w = float(zc);
    return D3DRM_OK;
}

std::uint32_t Viewport::InverseTransform(Vector* out, const Vector4* screen) const {
    if (!out || !screen || !m_camera || screen->w == 0.0f) return D3DRMERR_BADVALUE;
    const double W = screen->w;
    const double sx = screen->x / W, sy = screen->y / W, d = screen->z / W;
    const double D = m_front, F = m_back, h = m_field;
    const double s = std::max(m_width, m_height) / 2.0;
    const double cx = m_x + m_width / 2.0, cy = m_y + m_height / 2.0;
    const double denom = F - d * (F - D);
    if (denom == 0.0) return D3DRMERR_BADVALUE;
    const double zc = D * F / denom;
    const double xc = (sx - cx) * h * zc / (s * D);
    const double yc = -(sy - cy) * h * zc / (s * D);
    *out = TransformPoint({float(xc), float(yc), float(zc)}, m_camera->WorldMatrix());
    return D3DRM_OK;
}

}  // namespace rm
