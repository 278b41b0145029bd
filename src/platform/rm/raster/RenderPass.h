#pragma once
// One Viewport::Render call: walks the hierarchy (SceneWalk), transforms every mesh to camera
// space and lights it (Lighting), culls back faces, clips (Clip), projects, sets up (Setup) and
// rasterises (Raster, Lines) into the device's target. Transparent faces are kept aside and drawn
// after the opaque ones, from far to near, blended.

#include <vector>

#include "platform/rm/Frame.h"
#include "platform/rm/MeshBuilder.h"
#include "platform/rm/raster/Clip.h"
#include "platform/rm/raster/Lighting.h"
#include "platform/rm/raster/Records.h"
#include "platform/rm/raster/SceneWalk.h"

namespace rm {
class Viewport;
}

namespace rm::raster {

// Depth of a cleared z-buffer: farther than anything drawn (depth lies in [0, 1]).
constexpr float kDepthClear = 2.0f;

class RenderPass {
  public:
    explicit RenderPass(Viewport& viewport);
    void Run(Frame& root);

  private:
    struct Deferred {
        ScreenVertex v[3];
        ShadeMode mode;
        float depth;  // sort key: mean depth of the corners
    };
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

    void DrawMesh(const MeshInstance& inst, const Lighting& lighting, Clipper& clipper);
    // v[k] is source[k] projected; source[k].faceEdge tells whether wireframe draws v[k] -> v[k+1].
    void DrawPolygon(const ScreenVertex* v, const ClipVertex* source, std::size_t n, const ShadeMode& mode);

    Viewport& m_viewport;
    RasterTarget m_target;
    Projection m_projection;
    Matrix4 m_worldToCamera;
    std::uint32_t m_fill = 0;
    bool m_lights = false;
    bool m_gouraud = false;
    bool m_blend = true;
    bool m_sort = true;
    bool m_bilinear = true;
    std::vector<Deferred> m_deferred;
    // Per-mesh scratch, kept between meshes to avoid allocations.
    std::vector<Vector> m_camPos;
    std::vector<LitCache> m_lit;
    std::vector<ClipVertex> m_polygon;
    std::vector<ClipVertex> m_clipped;
    std::vector<ScreenVertex> m_screen;
};

}  // namespace rm::raster
