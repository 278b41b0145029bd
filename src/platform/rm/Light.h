#pragma once
// A light: ambient, directional (shines along its frame's +z axis) or point (at its frame's
// origin, no attenuation, unlimited range). Colours are 0xAARRGGBB with alpha forced to 0xFF.

#include "platform/rm/Object.h"

namespace rm {

class Light : public Object {
  public:
    const char* GetClassName() const override { return "Light"; }
    LightType GetType() const { return m_type; }
    std::uint32_t SetType(LightType type) {
        m_type = type;
        return D3DRM_OK;
    }
    std::uint32_t SetColor(std::uint32_t argb) {
        m_color = argb | 0xFF000000u;
        return D3DRM_OK;
    }
    std::uint32_t SetColorRGB(float r, float g, float b) { return SetColor(CreateColorRGB(r, g, b)); }
    std::uint32_t GetColor() const { return m_color; }

  private:
    friend class Library;
    Light(std::shared_ptr<ObjectRegistry> registry, LightType type, std::uint32_t argb)
        : Object(std::move(registry)), m_type(type), m_color(argb | 0xFF000000u) {}
    LightType m_type;
    std::uint32_t m_color;
};

}  // namespace rm
