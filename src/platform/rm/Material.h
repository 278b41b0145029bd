#pragma once
// A material: specular power, specular colour (default 1, 1, 1) and emissive colour (default 0).

#include <algorithm>

#include "platform/rm/Object.h"

namespace rm {

// Highlight strengths a material can use. What an outside file (a mesh, a scene) gives is held to
// 0 … kMaxPower, and a value that is no number becomes kDefaultPower: the strength reaches integer
// controls and the shading's exponent, where such values mean nothing and a cast of them is undefined.
inline constexpr float kMaxPower = 1000.0f;
inline constexpr float kDefaultPower = 50.0f;
inline float UsablePower(float power) {
    if (power != power) return kDefaultPower;
    return std::clamp(power, 0.0f, kMaxPower);
}

class Material : public Object {
  public:
    const char* GetClassName() const override { return "Material"; }
    std::uint32_t SetPower(float power) {
        m_power = power;
        return D3DRM_OK;
    }
    float GetPower() const { return m_power; }
    std::uint32_t SetSpecular(float r, float g, float b) {
        m_specular = {r, g, b};
        return D3DRM_OK;
    }
    std::uint32_t GetSpecular(float* r, float* g, float* b) const;
    std::uint32_t SetEmissive(float r, float g, float b) {
        m_emissive = {r, g, b};
        return D3DRM_OK;
    }
    std::uint32_t GetEmissive(float* r, float* g, float* b) const;
    const Vector& Specular() const { return m_specular; }  // x, y, z = red, green, blue
    const Vector& Emissive() const { return m_emissive; }

  private:
    friend class Library;
    Material(std::shared_ptr<ObjectRegistry> registry, float power)
        : Object(std::move(registry)), m_power(power) {}
    float m_power;
    Vector m_specular{1, 1, 1};
    Vector m_emissive{0, 0, 0};
};

}  // namespace rm
