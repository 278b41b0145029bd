#include "platform/rm/raster/RenderPass.h"

#include <algorithm>

#include "platform/rm/VectorMath.h"
#include "platform/rm/Viewport.h"
#include "platform/rm/WorkerPool.h"
#include "platform/rm/raster/Raster.h"
#include "platform/rm/raster/Setup.h"

namespace rm::raster {

void RenderPass::Configure(const Viewport& viewport) {
    Device& dev = *viewport.GetDevice();
    surface::Surface& target = dev.Target();
    RasterTarget& t = m_settings.target;
    t.color = target.Bits();
    t.pitch = target.Pitch();
    t.depth = dev.DepthBuffer().data();
    t.depthStride = std::int32_t(dev.GetWidth());
    t.x0 = viewport.GetX();
    t.y0 = viewport.GetY();
    t.x1 = viewport.GetX() + std::int32_t(viewport.GetWidth());
    t.y1 = viewport.GetY() + std::int32_t(viewport.GetHeight());
    const float D = viewport.GetFront(), F = viewport.GetBack(), h = viewport.GetField();
    const float s = float(std::max(viewport.GetWidth(), viewport.GetHeight())) / 2.0f;
    Projection& p = m_settings.projection;
    p.cx = float(viewport.GetX()) + float(viewport.GetWidth()) / 2.0f;
    p.cy = float(viewport.GetY()) + float(viewport.GetHeight()) / 2.0f;
    p.k = s * D / h;
    p.front = D;
    p.back = F;
    p.depthScale = F / (F - D);
    const std::uint32_t q = dev.GetQuality();
    m_settings.fill = q & D3DRMFILL_MASK;
    m_settings.lights = (q & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON;
    m_settings.gouraud = (q & D3DRMSHADE_MASK) != D3DRMSHADE_FLAT;  // Phong is drawn as Gouraud
    m_settings.blend = (dev.GetRenderMode() & D3DRMRENDERMODE_BLENDEDTRANSPARENCY) != 0;
    m_sort = (dev.GetRenderMode() & D3DRMRENDERMODE_SORTEDTRANSPARENCY) != 0;
    const std::uint32_t tq = dev.GetTextureQuality();
    m_settings.bilinear = tq != D3DRMTEXTURE_NEAREST && tq != D3DRMTEXTURE_MIPNEAREST;
}

void RenderPass::Run(const Viewport& viewport, Frame& root) {
    Frame* camera = viewport.GetCamera().Get();
    if (!camera) return;
    Configure(viewport);
    m_settings.worldToCamera = Inverse(camera->WorldMatrix());
    const SceneContents scene = WalkScene(root);
    const Lighting lighting(scene.lights, m_settings.worldToCamera);
    WorkerPool& pool = WorkerPool::Shared();
    const RasterTarget& t = m_settings.target;
    const BandPlan plan = PlanBands(t.y0, t.y1, t.x1 - t.x0, pool.Threads());
    if (m_geometry.size() < pool.Threads()) m_geometry.resize(pool.Threads());
    if (plan.count <= 1)
        DrawAtOnce(scene, lighting);
    else
        DrawInBands(scene, lighting, plan, pool);
}

void RenderPass::SortDeferred() {
    if (m_sort)
        std::stable_sort(m_deferred.begin(), m_deferred.end(),
                         [](const DeferredTriangle& a, const DeferredTriangle& b) { return a.depth > b.depth; });
}

void RenderPass::DrawAtOnce(const SceneContents& scene, const Lighting& lighting) {
    m_deferred.clear();
    ImmediateSink sink(m_settings.target, m_deferred);
    MeshGeometry& geometry = m_geometry.front();
    geometry.Begin(m_settings);
    for (const MeshInstance& inst : scene.meshes) geometry.Draw(inst, lighting, sink);
    SortDeferred();
    for (const DeferredTriangle& d : m_deferred) {
        TriangleSetup s;
        if (SetupTriangle(d.v[0], d.v[1], d.v[2], m_settings.target, d.mode.gouraud, d.mode.texture != nullptr, &s))
            sink.Triangle(s, d.mode);
    }
}

void RenderPass::DrawInBands(const SceneContents& scene, const Lighting& lighting, const BandPlan& plan,
                             WorkerPool& pool) {
    const std::size_t meshes = scene.meshes.size();
    if (m_meshLists.size() < meshes) m_meshLists.resize(meshes);
    for (MeshGeometry& g : m_geometry) g.Begin(m_settings);
    pool.ForEach(meshes, [&](std::size_t i, unsigned worker) {
        m_meshLists[i].Reset(plan);
        m_geometry[worker].Draw(scene.meshes[i], lighting, m_meshLists[i]);
    });

    // The transparent faces of every mesh, in scene order, sorted as one sequence.
    m_deferred.clear();
    for (std::size_t i = 0; i < meshes; ++i) {
        const auto& d = m_meshLists[i].Deferred();
        m_deferred.insert(m_deferred.end(), d.begin(), d.end());
    }
    SortDeferred();
    m_blended.Reset(plan);
    for (const DeferredTriangle& d : m_deferred) {
        TriangleSetup s;
        if (SetupTriangle(d.v[0], d.v[1], d.v[2], m_settings.target, d.mode.gouraud, d.mode.texture != nullptr, &s))
            m_blended.Triangle(s, d.mode);
    }

    pool.ForEach(plan.count, [&](std::size_t band, unsigned) {
        RasterTarget bandTarget = m_settings.target;
        bandTarget.y0 = plan.Begin(std::uint32_t(band));
        bandTarget.y1 = plan.End(std::uint32_t(band));
        for (std::size_t i = 0; i < meshes; ++i) m_meshLists[i].Draw(std::uint32_t(band), bandTarget);
        m_blended.Draw(std::uint32_t(band), bandTarget);
    });
}

}  // namespace rm::raster
