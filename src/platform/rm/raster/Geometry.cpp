#include "platform/rm/raster/Geometry.h"

#include <cmath>

#include "platform/rm/VectorMath.h"

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

void MeshGeometry::Begin(const PassSettings& settings) {
    m_settings = &settings;
    const RasterTarget& t = settings.target;
    m_clipper.emplace(settings.projection, float(t.x0), float(t.y0), float(t.x1), float(t.y1));
}

void MeshGeometry::Draw(const MeshInstance& inst, const Lighting& lighting, PrimitiveSink& sink) {
    const PassSettings& pass = *m_settings;
    Clipper& clipper = *m_clipper;
    const MeshBuilder& mesh = *inst.mesh;
    const Matrix4 toCamera = Multiply(inst.world, pass.worldToCamera);
    // Normals go through the inverse transpose: n'_j = n . (row j of the inverse).
    const Matrix4 inv = Inverse(toCamera);
    const auto& vertices = mesh.Vertices();
    const auto& normals = mesh.Normals();
    const auto& uvs = mesh.TexCoords();
    const auto& corners = mesh.Corners();
    m_camPos.resize(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) m_camPos[i] = TransformPoint(vertices[i], toCamera);
    const bool perVertexLight = pass.lights && pass.gouraud && pass.fill == D3DRMFILL_SOLID;
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
        mode.texture = pass.fill == D3DRMFILL_SOLID ? face.texture : nullptr;
        mode.blend = pass.blend && look.alpha < 1.0f && pass.fill == D3DRMFILL_SOLID;
        mode.bilinear = pass.bilinear;

        Rgb flat = look.color;
        if (pass.lights && !perVertexLight) {
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

        if (pass.fill == D3DRMFILL_POINTS) {
            for (const ClipVertex& cv : m_polygon) {
                if (!clipper.AllInside(&cv, 1)) continue;
                const ScreenVertex sv = ProjectVertex(pass.projection, cv);
                if (OnScreenBand(sv, pass.target)) sink.Point(sv, Pack(cv.r, cv.g, cv.b));
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
            m_screen[k] = ProjectVertex(pass.projection, poly[k]);
            usable &= OnScreenBand(m_screen[k], pass.target);
        }
        if (usable) DrawPolygon(m_screen.data(), poly, count, mode, sink);
    }
}

void MeshGeometry::DrawPolygon(const ScreenVertex* v, const ClipVertex* source, std::size_t n,
                               const ShadeMode& mode, PrimitiveSink& sink) {
    if (m_settings->fill == D3DRMFILL_WIREFRAME) {
        // The face's own edges only, not the ones clipping made along the planes.
        const std::uint32_t color = Pack(v[0].r, v[0].g, v[0].b);
        for (std::size_t k = 0; k < n; ++k)
            if (source[k].faceEdge) sink.Line(v[k], v[(k + 1) % n], color);
        return;
    }
    for (std::size_t k = 1; k + 1 < n; ++k) {
        if (mode.blend) {
            sink.Defer({{v[0], v[k], v[k + 1]}, mode, (v[0].z + v[k].z + v[k + 1].z) / 3.0f});
            continue;
        }
        TriangleSetup s;
        if (SetupTriangle(v[0], v[k], v[k + 1], m_settings->target, mode.gouraud, mode.texture != nullptr, &s))
            sink.Triangle(s, mode);
    }
}

}  // namespace rm::raster
