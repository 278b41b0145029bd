#include "platform/rm/raster/RenderPass.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/VectorMath.h"
#include "platform/rm/Viewport.h"
#include "platform/rm/raster/Lines.h"
#include "platform/rm/raster/Raster.h"
#include "platform/rm/raster/Setup.h"

namespace rm::raster {

namespace {

std::uint32_t Pack(float r, float g, float b) {
    return (ToChannel(r) << 16) | (ToChannel(g) << 8) | ToChannel(b);
}

// Clipping keeps projected vertices within the guard band; this also holds when rounding in the
// clipper met extreme (but finite) input, so the fixed-point setup never sees a coordinate it
// cannot hold.
bool OnScreenBand(const ScreenVertex& v, const RasterTarget& t) {
    const float slack = 2 * Clipper::kGuardBand;
    return v.x >= float(t.x0) - slack && v.x <= float(t.x1) + slack && v.y >= float(t.y0) - slack &&
           v.y <= float(t.y1) + slack && v.z >= -0.01f && v.z <= 1.01f;
}

bool Finite(const Vector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Moves `x` by whole units to within half a unit of `ref` (the short way across a wrap seam).
float NearestWrap(float x, float ref) {
    return x - std::round(x - ref);
}

}  // namespace

RenderPass::RenderPass(Viewport& viewport) : m_viewport(viewport) {
    Device& dev = *viewport.GetDevice();
    surface::Surface& target = dev.Target();
    m_target.color = target.Bits();
    m_target.pitch = target.Pitch();
    m_target.depth = dev.DepthBuffer().data();
    m_target.depthStride = std::int32_t(dev.GetWidth());
    m_target.x0 = viewport.GetX();
    m_target.y0 = viewport.GetY();
    m_target.x1 = viewport.GetX() + std::int32_t(viewport.GetWidth());
    m_target.y1 = viewport.GetY() + std::int32_t(viewport.GetHeight());
    const float D = viewport.GetFront(), F = viewport.GetBack(), h = viewport.GetField();
    const float s = float(std::max(viewport.GetWidth(), viewport.GetHeight())) / 2.0f;
    m_projection.cx = float(viewport.GetX()) + float(viewport.GetWidth()) / 2.0f;
    m_projection.cy = float(viewport.GetY()) + float(viewport.GetHeight()) / 2.0f;
    m_projection.k = s * D / h;
    m_projection.front = D;
    m_projection.back = F;
    m_projection.depthScale = F / (F - D);
    const std::uint32_t q = dev.GetQuality();
    m_fill = q & D3DRMFILL_MASK;
    m_lights = (q & D3DRMLIGHT_MASK) == D3DRMLIGHT_ON;
    m_gouraud = (q & D3DRMSHADE_MASK) != D3DRMSHADE_FLAT;  // Phong is drawn as Gouraud
    m_blend = (dev.GetRenderMode() & D3DRMRENDERMODE_BLENDEDTRANSPARENCY) != 0;
    m_sort = (dev.GetRenderMode() & D3DRMRENDERMODE_SORTEDTRANSPARENCY) != 0;
    const std::uint32_t tq = dev.GetTextureQuality();
    m_bilinear = tq != D3DRMTEXTURE_NEAREST && tq != D3DRMTEXTURE_MIPNEAREST;
}

void RenderPass::Run(Frame& root) {
    Frame* camera = m_viewport.GetCamera().Get();
    if (!camera) return;
    m_worldToCamera = Inverse(camera->WorldMatrix());
    const SceneContents scene = WalkScene(root);
    const Lighting lighting(scene.lights, m_worldToCamera);
    Clipper clipper(m_projection, float(m_target.x0), float(m_target.y0), float(m_target.x1),
                    float(m_target.y1));
    for (const MeshInstance& inst : scene.meshes) DrawMesh(inst, lighting, clipper);

    if (m_sort)
        std::stable_sort(m_deferred.begin(), m_deferred.end(),
                         [](const Deferred& a, const Deferred& b) { return a.depth > b.depth; });
    for (const Deferred& d : m_deferred) {
        TriangleSetup s;
        if (SetupTriangle(d.v[0], d.v[1], d.v[2], m_target, d.mode.gouraud, d.mode.texture != nullptr, &s))
            RasterTriangle(s, d.mode, m_target);
    }
    m_deferred.clear();
}

void RenderPass::DrawMesh(const MeshInstance& inst, const Lighting& lighting, Clipper& clipper) {
    const MeshBuilder& mesh = *inst.mesh;
    const Matrix4 toCamera = Multiply(inst.world, m_worldToCamera);
    // Normals go through the inverse transpose: n'_j = n . (row j of the inverse).
    const Matrix4 inv = Inverse(toCamera);
    const auto& vertices = mesh.Vertices();
    const auto& normals = mesh.Normals();
    const auto& uvs = mesh.TexCoords();
    const auto& corners = mesh.Corners();
    m_camPos.resize(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) m_camPos[i] = TransformPoint(vertices[i], toCamera);
    const bool perVertexLight = m_lights && m_gouraud && m_fill == D3DRMFILL_SOLID;
    if (perVertexLight) m_lit.assign(vertices.size(), LitCache{});

    for (const FaceRecord& face : mesh.FaceRecords()) {
        const std::uint32_t n = face.cornerCount;
        const Corner* fc = corners.data() + face.firstCorner;
        // Corners that are not finite numbers (bad mesh data) leave the face out.
        bool finite = true;
        for (std::uint32_t k = 0; k < n; ++k) finite &= Finite(m_camPos[fc[k].vertex]);
        if (!finite) continue;
        const Vector& p0 = m_camPos[fc[0].vertex];
        // Back faces: the geometric normal (clockwise corners face the camera) points away from
        // the eye at the origin. Newell's sum for polygons, the cross product for triangles.
        Vector normal;
        if (n == 3) {
            normal = Cross(Sub(m_camPos[fc[1].vertex], p0), Sub(m_camPos[fc[2].vertex], p0));
        } else {
            for (std::uint32_t k = 0; k < n; ++k) {
                const Vector& a = m_camPos[fc[k].vertex];
                const Vector& b = m_camPos[fc[(k + 1) % n].vertex];
                normal.x += (a.y - b.y) * (a.z + b.z);
                normal.y += (a.z - b.z) * (a.x + b.x);
                normal.z += (a.x - b.x) * (a.y + b.y);
            }
        }
        if (!(Dot(normal, p0) < 0.0f)) continue;

        const SurfaceLook look = SurfaceLook::Of(face.color, face.material);
        const float alpha = look.alpha * 255.0f;
        ShadeMode mode;
        mode.gouraud = perVertexLight;
        mode.texture = m_fill == D3DRMFILL_SOLID ? face.texture : nullptr;
        mode.blend = m_blend && look.alpha < 1.0f && m_fill == D3DRMFILL_SOLID;
        mode.bilinear = m_bilinear;

        Rgb flat = look.color;
        if (m_lights && !perVertexLight) {
            Vector centre;
            for (std::uint32_t k = 0; k < n; ++k) centre = Add(centre, m_camPos[fc[k].vertex]);
            centre = Scale(centre, 1.0f / float(n));
            flat = Lighting::Combine(
                look, lighting.Terms(centre, Normalized(normal), look.power, look.hasMaterial));
        }

        m_polygon.resize(n);
        const TexCoord uv0 = uvs[fc[0].vertex];
        for (std::uint32_t k = 0; k < n; ++k) {
            ClipVertex& cv = m_polygon[k];
            const Corner& c = fc[k];
            cv.pos = m_camPos[c.vertex];
            Rgb col = flat;
            if (perVertexLight) {
                LitCache& cache = m_lit[c.vertex];
                if (cache.normal != c.normal || cache.power != look.power) {
                    const Vector& nl = normals[c.normal];
                    const Vector nc = Normalized({Dot(nl, {inv.m[0][0], inv.m[0][1], inv.m[0][2]}),
                                                  Dot(nl, {inv.m[1][0], inv.m[1][1], inv.m[1][2]}),
                                                  Dot(nl, {inv.m[2][0], inv.m[2][1], inv.m[2][2]})});
                    cache.terms = lighting.Terms(cv.pos, nc, look.power, true);
                    cache.normal = c.normal;
                    cache.power = look.power;
                    cache.combined = false;
                }
                if (!cache.combined || cache.color != face.color || cache.material != face.material) {
                    cache.rgb = Lighting::Combine(look, cache.terms);
                    cache.color = face.color;
                    cache.material = face.material;
                    cache.combined = true;
                }
                col = cache.rgb;
            }
            cv.r = col.r * 255.0f;
            cv.g = col.g * 255.0f;
            cv.b = col.b * 255.0f;
            cv.a = alpha;
            const TexCoord uv = uvs[c.vertex];
            cv.u = mesh.WrapU() ? NearestWrap(uv.u, uv0.u) : uv.u;
            cv.v = mesh.WrapV() ? NearestWrap(uv.v, uv0.v) : uv.v;
            cv.faceEdge = true;
        }

        if (m_fill == D3DRMFILL_POINTS) {
            for (const ClipVertex& cv : m_polygon) {
                if (!clipper.AllInside(&cv, 1)) continue;
                const ScreenVertex sv = ProjectVertex(m_projection, cv);
                if (OnScreenBand(sv, m_target)) RasterPoint(sv, Pack(cv.r, cv.g, cv.b), m_target);
            }
            continue;
        }
        const ClipVertex* poly = m_polygon.data();
        std::size_t count = n;
        if (!clipper.AllInside(poly, count)) {
            clipper.ClipPolygon(poly, count, m_clipped);
            poly = m_clipped.data();
            count = m_clipped.size();
            if (count < 3) continue;
        }
        m_screen.resize(count);
        bool usable = true;
        for (std::size_t k = 0; k < count; ++k) {
            m_screen[k] = ProjectVertex(m_projection, poly[k]);
            usable &= OnScreenBand(m_screen[k], m_target);
        }
        if (usable) DrawPolygon(m_screen.data(), poly, count, mode);
    }
}

void RenderPass::DrawPolygon(const ScreenVertex* v, const ClipVertex* source, std::size_t n,
                             const ShadeMode& mode) {
    if (m_fill == D3DRMFILL_WIREFRAME) {
        // The face's own edges only, not the ones clipping made along the planes.
        const std::uint32_t color = Pack(v[0].r, v[0].g, v[0].b);
        for (std::size_t k = 0; k < n; ++k)
            if (source[k].faceEdge) RasterLine(v[k], v[(k + 1) % n], color, m_target);
        return;
    }
    for (std::size_t k = 1; k + 1 < n; ++k) {
        if (mode.blend) {
            Deferred d{{v[0], v[k], v[k + 1]}, mode, (v[0].z + v[k].z + v[k + 1].z) / 3.0f};
            m_deferred.push_back(d);
            continue;
        }
        TriangleSetup s;
        if (SetupTriangle(v[0], v[k], v[k + 1], m_target, mode.gouraud, mode.texture != nullptr, &s))
            RasterTriangle(s, mode, m_target);
    }
}

}  // namespace rm::raster
