#pragma once
// One Viewport::Render call: walks the hierarchy (SceneWalk), puts every mesh through the geometry
// stages (Geometry: transform, lighting, culling, clipping, projection, setup) and rasterises
// (Raster, Lines) into the device's target. Transparent faces are kept aside and drawn after the
// opaque ones, from far to near, blended.
//
// A frame large enough to pay is drawn by the worker pool's threads: the meshes are set up side by
// side, each into its own list, then the viewport's rows are split into bands and each band draws
// every list's primitives that touch it, in mesh order, then the sorted transparent faces. Each
// pixel is written by one thread, in the order one thread would have written it, so the picture is
// the same bytes whatever the number of threads. A smaller frame, or one thread, draws each
// triangle as soon as it is set up.
//
// The device keeps its pass: the lists and scratch arrays live from one render to the next.

#include <vector>

#include "platform/rm/Frame.h"
#include "platform/rm/raster/Geometry.h"
#include "platform/rm/raster/Primitives.h"

namespace rm {
class Viewport;
class WorkerPool;
}  // namespace rm

namespace rm::raster {

// Depth of a cleared z-buffer: farther than anything drawn (depth lies in [0, 1]).
constexpr float kDepthClear = 2.0f;

class RenderPass {
  public:
    void Run(const Viewport& viewport, Frame& root);

  private:
    void Configure(const Viewport& viewport);
    void DrawAtOnce(const SceneContents& scene, const Lighting& lighting);
    void DrawInBands(const SceneContents& scene, const Lighting& lighting, const BandPlan& plan, WorkerPool& pool);
    void SortDeferred();

    PassSettings m_settings;
    bool m_sort = true;
    std::vector<MeshGeometry> m_geometry;     // one per thread
    std::vector<BandedPrimitives> m_meshLists;  // one per mesh, in scene order
    BandedPrimitives m_blended;               // the transparent faces, sorted
    std::vector<DeferredTriangle> m_deferred;
};

}  // namespace rm::raster
