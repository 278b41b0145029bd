#pragma once
// Stage 1: the lighting formula, evaluated in camera space (the camera sits at the origin):
//   colour = E + C * (sum ambient + sum light * max(0, N.L)) + sum light * S * max(0, N.H)^p
// each channel clamped to [0, 1]. A face without material has E = 0 and no specular term.
// The sums depend only on the point, the normal and the power, so callers cache them per
// (vertex, normal) pair and combine with each face's colour and material cheaply.

#include <vector>

#include "platform/rm/Material.h"
#include "platform/rm/raster/Records.h"
#include "platform/rm/raster/SceneWalk.h"

namespace rm::raster {

struct SurfaceLook {
    Rgb color;  // C
    float alpha = 1;
    bool hasMaterial = false;
    Rgb emissive;  // E
    Rgb specular;  // S
    float power = 0;

    static SurfaceLook Of(std::uint32_t argb, const Material* m);
};

// x (0 to 1) to the power p, as the highlight raises it: a whole power up to 64 by squaring in
// double precision, whose few roundings stay far below the float the result is rounded to (the
// same float as the library's power function gives, at a fraction of its cost), others by it.
double HighlightPower(double x, double p);

struct LightTerms {
    Rgb diffuse;   // sum ambient + sum light * max(0, N.L)
    Rgb specular;  // sum light * max(0, N.H)^p
};

class Lighting {
  public:
    Lighting(const std::vector<SceneLight>& lights, const Matrix4& worldToCamera);

    // Terms at camera-space point p with unit normal n; the specular sum only when asked.
    LightTerms Terms(const Vector& p, const Vector& n, float power, bool withSpecular) const;
    static Rgb Combine(const SurfaceLook& look, const LightTerms& t);

  private:
    struct Directed {
        Rgb color;
        Vector toLight;   // unit, for directional lights
        Vector position;  // for point lights
        bool point;
    };
    Rgb m_ambient;
    std::vector<Directed> m_lights;
};

}  // namespace rm::raster
