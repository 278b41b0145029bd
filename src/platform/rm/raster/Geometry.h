#pragma once
// Stages 1 to 4 for one mesh: transform to camera space, lighting, back-face culling, clipping,
// projection and triangle setup. What comes out goes to a PrimitiveSink in the mesh's face order.
// Each thread drawing meshes has its own MeshGeometry (its scratch arrays); the settings of the
// pass are shared and only read.

#include <optional>
#include <vector>

#include "platform/rm/raster/Clip.h"
#include "platform/rm/raster/Lighting.h"
#include "platform/rm/raster/Primitives.h"
#include "platform/rm/raster/Records.h"
#include "platform/rm/raster/SceneWalk.h"

namespace rm::raster {

// What every mesh of one pass is drawn with.
struct PassSettings {
    RasterTarget target;  // the whole viewport: setup cuts triangles to it
    Projection projection;
    Matrix4 worldToCamera;
    std::uint32_t fill = 0;
    bool lights = false;
    bool gouraud = false;
    bool blend = true;
    bool bilinear = true;
};

class MeshGeometry {
  public:
    // Ready for a pass with `settings` (the clipper follows its projection and viewport).
    void Begin(const PassSettings& settings);
    void Draw(const MeshInstance& inst, const Lighting& lighting, PrimitiveSink& sink);

  private:
    // Lighting of one vertex with one normal, and its colour for the last face look used.
    struct LitCache {
        std::uint32_t normal = ~0u;
        float power = -1;
        LightTerms terms;
        std::uint32_t color = 0;
        const Material* material = nullptr;
        bool combined = false;
        Rgb rgb;
    };

    // v[k] is source[k] projected; source[k].faceEdge tells whether wireframe draws v[k] -> v[k+1].
    void DrawPolygon(const ScreenVertex* v, const ClipVertex* source, std::size_t n, const ShadeMode& mode,
                     PrimitiveSink& sink);

    const PassSettings* m_settings = nullptr;
    std::optional<Clipper> m_clipper;  // made for the pass's projection and viewport
    std::vector<Vector> m_camPos;
    std::vector<LitCache> m_lit;
    std::vector<ClipVertex> m_polygon;
    std::vector<ClipVertex> m_clipped;
    std::vector<ScreenVertex> m_screen;
};

}  // namespace rm::raster
