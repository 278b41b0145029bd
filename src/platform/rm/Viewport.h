#pragma once
// A viewport: a rectangle (x, y, w, h) of a device seen through a camera frame.
// With the camera's world matrix C, a world point p is taken to camera space (xc, yc, zc) =
// p * C^-1 and, with h = field, D = front, F = back, s = max(w, h_px) / 2:
//   sx = x + w/2 + s * (D*xc) / (h*zc)
//   sy = y + h_px/2 - s * (D*yc) / (h*zc)
//   depth = F*(zc - D) / (zc*(F - D))     (0 at the front plane, 1 at the back)
// Transform answers (sx*w, sy*w, depth*w, w) with w = zc; InverseTransform undoes it exactly.

#include <cstdint>

#include "platform/rm/Device.h"
#include "platform/rm/Frame.h"
#include "platform/rm/Object.h"

namespace rm {

class Viewport : public Object {
  public:
    const char* GetClassName() const override { return "Viewport"; }

    // The planes stay ordered, 0 < front < back: a setting that would break that is refused and
    // changes nothing.
    std::uint32_t SetFront(float front);  // refused when <= 0 or >= back
    std::uint32_t SetBack(float back);    // refused when <= front
    std::uint32_t SetField(float field);  // refused when <= 0
    // Both planes at once, whatever the planes were before; refused (nothing changes) unless
    // 0 < front < back.
    std::uint32_t SetPlanes(float front, float back);
    float GetFront() const { return m_front; }
    float GetBack() const { return m_back; }
    float GetField() const { return m_field; }
    std::uint32_t SetCamera(Frame* camera);
    Ref<Frame> GetCamera() const { return m_camera; }
    Device* GetDevice() const { return m_device.Get(); }

    std::int32_t GetX() const { return m_x; }
    std::int32_t GetY() const { return m_y; }
    std::uint32_t GetWidth() const { return m_width; }
    std::uint32_t GetHeight() const { return m_height; }

    // Background colour 0x00RRGGBB used by Clear (black unless set).
    std::uint32_t SetBackgroundColor(std::uint32_t rgb) {
        m_background = rgb & 0xFFFFFF;
        return D3DRM_OK;
    }
    std::uint32_t GetBackgroundColor() const { return m_background; }

    // D3DRMCLEAR_TARGET fills the viewport's rectangle with the background colour,
    // D3DRMCLEAR_ZBUFFER resets the depth there (D3DRMCLEAR_ALL: both).
    std::uint32_t Clear(std::uint32_t flags = D3DRMCLEAR_ALL);
    // Draws the hierarchy under `root` through the camera with the device's quality.
    std::uint32_t Render(Frame* root);
    // Marks a rectangle (viewport coordinates) for the next Device::Update.
    std::uint32_t ForceUpdate(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

    // World point -> homogeneous screen point (sx*w, sy*w, depth*w, w) with w = zc. Fails only
    // when the camera (or an argument) is missing: a point in the camera plane succeeds with w = 0
    // and a point behind the camera with w < 0, so callers check w > 0 before dividing by it.
    std::uint32_t Transform(Vector4* out, const Vector* world) const;
    // Homogeneous screen point -> world point; refused when w is 0.
    std::uint32_t InverseTransform(Vector* out, const Vector4* screen) const;

  private:
    friend class Library;
    Viewport(std::shared_ptr<ObjectRegistry> registry, Device* device, Frame* camera, std::int32_t x,
             std::int32_t y, std::uint32_t w, std::uint32_t h);

    Ref<Device> m_device;
    Ref<Frame> m_camera;
    std::int32_t m_x;
    std::int32_t m_y;
    std::uint32_t m_width;
    std::uint32_t m_height;
    float m_front = 1.0f;
    float m_back = 100.0f;
    float m_field = 0.5f;
    std::uint32_t m_background = 0;
};

}  // namespace rm
