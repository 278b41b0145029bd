#include "platform/rm/raster/Lighting.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/VectorMath.h"

namespace rm::raster {
double HighlightPower(double x, double p) {
    if (p >= 1.0 && p <= 64.0 && p == std::floor(p)) {
        unsigned n = static_cast<unsigned>(p);
        double result = 1.0, square = x;
        for (; n != 0; n >>= 1, square *= square)
            if (n & 1u) result *= square;
        return result;
    }
    return std::pow(x, p);
}

SurfaceLook SurfaceLook::Of(std::uint32_t argb, const Material* m) {
    SurfaceLook s;
    s.color = {float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f,
               float(argb & 0xFF) / 255.0f};
    s.alpha = float(argb >> 24) / 255.0f;
    if (m) {
        s.hasMaterial = true;
        s.emissive = {m->Emissive().x, m->Emissive().y, m->Emissive().z};
        s.specular = {m->Specular().x, m->Specular().y, m->Specular().z};
        s.power = m->GetPower();
    }
    return s;
}

Lighting::Lighting(const std::vector<SceneLight>& lights, const Matrix4& worldToCamera) {
    for (const SceneLight& l : lights) {
        // A black light adds exactly nothing to any term: it is left out of every vertex's work (the
        // sample scene has two such point lights).
        if (l.type != D3DRMLIGHT_AMBIENT && l.color.r == 0.0f && l.color.g == 0.0f && l.color.b == 0.0f) continue;
        switch (l.type) {
            case D3DRMLIGHT_AMBIENT:
                m_ambient.r += l.color.r;
                m_ambient.g += l.color.g;
                m_ambient.b += l.color.b;
                break;
            case D3DRMLIGHT_DIRECTIONAL:
            case D3DRMLIGHT_PARALLELPOINT:
                m_lights.push_back({l.color,
                                    Normalized(Scale(TransformDirection(l.direction, worldToCamera), -1.0f)),
                                    {},
                                    false});
                break;
            default:  // point and spot lights: from the frame's origin, no attenuation
                m_lights.push_back({l.color, {}, TransformPoint(l.position, worldToCamera), true});
                break;
        }
    }
}

LightTerms Lighting::Terms(const Vector& p, const Vector& n, float power, bool withSpecular) const {
    LightTerms t;
    t.diffuse = m_ambient;
    const Vector toEye = withSpecular ? Normalized(Scale(p, -1.0f)) : Vector{};
    for (const Directed& l : m_lights) {
        const Vector L = l.point ? Normalized(Sub(l.position, p)) : l.toLight;
        const float nl = std::max(0.0f, Dot(n, L));
        t.diffuse.r += l.color.r * nl;
        t.diffuse.g += l.color.g * nl;
        t.diffuse.b += l.color.b * nl;
        if (withSpecular) {
            const Vector H = Normalized(Add(L, toEye));
            const float nh = std::max(0.0f, Dot(n, H));
            // In double precision and rounded once: the float power function of the C library
            // takes machine-dependent paths, double rounded to float gives the same bits everywhere
            // in practice, which keeps the pictures identical across machines. A surface turned
            // away from the half vector has no highlight: 0 to any positive power, without the call.
            const float k = nh == 0.0f && power > 0.0f ? 0.0f : static_cast<float>(HighlightPower(double(nh), double(power)));
            t.specular.r += l.color.r * k;
            t.specular.g += l.color.g * k;
            t.specular.b += l.color.b * k;
        }
    }
    return t;
}

Rgb Lighting::Combine(const SurfaceLook& s, const LightTerms& t) {
    Rgb c{s.emissive.r + s.color.r * t.diffuse.r, s.emissive.g + s.color.g * t.diffuse.g,
          s.emissive.b + s.color.b * t.diffuse.b};
    if (s.hasMaterial) {
        c.r += t.specular.r * s.specular.r;
        c.g += t.specular.g * s.specular.g;
        c.b += t.specular.b * s.specular.b;
    }
    return {std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f), std::clamp(c.b, 0.0f, 1.0f)};
}

}  // namespace rm::raster
