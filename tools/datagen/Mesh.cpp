#include "Mesh.h"

#include <algorithm>

namespace datagen {

void Mesh::Append(const Mesh& other) {
    const int base = static_cast<int>(positions.size());
    positions.insert(positions.end(), other.positions.begin(), other.positions.end());
    normals.insert(normals.end(), other.normals.begin(), other.normals.end());
    for (auto f : other.faces) {
        for (int& i : f) i += base;
        faces.push_back(std::move(f));
    }
    if (!uvs.empty() || !other.uvs.empty()) {
        uvs.resize(base, {0, 0});
        if (other.uvs.empty())
            uvs.resize(positions.size(), {0, 0});
        else
            uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    }
}

void Mesh::Transform(const Mat4& m) {
    for (auto& p : positions) p = m.Point(p);
    for (auto& n : normals) n = Normalised(m.Direction(n));
}

void Mesh::ComputeNormals() {
    std::vector<Vec3> sum(positions.size());
    for (const auto& f : faces) {
        // Fan of triangles; the cross product of a clockwise front face points outwards.
        for (std::size_t k = 1; k + 1 < f.size(); ++k) {
            const Vec3 n = Cross(positions[f[k]] - positions[f[0]], positions[f[k + 1]] - positions[f[0]]);
            sum[f[0]] = sum[f[0]] + n;
            sum[f[k]] = sum[f[k]] + n;
            sum[f[k + 1]] = sum[f[k + 1]] + n;
        }
    }
    normals.resize(positions.size());
    for (std::size_t i = 0; i < sum.size(); ++i) normals[i] = Normalised(sum[i]);
}

Mesh Mesh::Flipped() const {
    Mesh m = *this;
    for (auto& f : m.faces) std::reverse(f.begin() + 1, f.end());
    for (auto& n : m.normals) n = -n;
    return m;
}

Vec3 RingPoint(const Ring& r, int k, int n) {
    // Angle 0 at +x, then towards -z (the front), -x, +z.
    const double a = 2 * kPi * k / n;
    const double cx = std::cos(a), sz = -std::sin(a);
    const double front = sz < 0 ? -sz : 0;
    const double x = r.rx * cx * (1 - r.pinch * front * front);
    const double z = sz < 0 ? sz * r.rzF : sz * r.rzB;
    return {r.cx + x, r.y, r.cz + z};
}

Mesh Loft(const std::vector<Ring>& rings, const LoftOptions& o) {
    Mesh m;
    const int n = o.segments;
    for (const auto& r : rings)
        for (int k = 0; k < n; ++k) m.positions.push_back(RingPoint(r, k, n));
    const int count = static_cast<int>(rings.size());
    // Rings run from top to bottom: seen from outside, going round towards the front (-z) and then
    // down keeps the corners clockwise.
    for (int i = 0; i + 1 < count; ++i) {
        for (int k = 0; k < n; ++k) {
            const int k1 = (k + 1) % n;
            const int a = i * n + k, b = i * n + k1, c = (i + 1) * n + k1, d = (i + 1) * n + k;
            const bool downwards = rings[i + 1].y <= rings[i].y;
            if (downwards)
                m.faces.push_back({a, d, c, b});
            else
                m.faces.push_back({a, b, c, d});
        }
    }
    auto cap = [&](int ringIndex, double bulge, bool atStart) {
        const Ring& r = rings[ringIndex];
        const Ring& next = rings[atStart ? 1 : count - 2];
        const double dir = (r.y - next.y) >= 0 ? 1 : -1;  // outwards along y
        const int pole = static_cast<int>(m.positions.size());
        m.positions.push_back({r.cx, r.y + dir * bulge, r.cz});
        const bool up = dir > 0;
        for (int k = 0; k < n; ++k) {
            const int a = ringIndex * n + k, b = ringIndex * n + (k + 1) % n;
            if (up)
                m.faces.push_back({pole, a, b});
            else
                m.faces.push_back({pole, b, a});
        }
    };
    if (o.capStart && count > 1) cap(0, o.capStartBulge, true);
    if (o.capEnd && count > 1) cap(count - 1, o.capEndBulge, false);
    m.ComputeNormals();
    return m;
}

Mesh Ellipsoid(const Vec3& c, const Vec3& radii, int segments, int bands) {
    Mesh m;
    m.positions.push_back({c.x, c.y + radii.y, c.z});
    for (int i = 1; i < bands; ++i) {
        const double t = kPi * i / bands;
        for (int k = 0; k < segments; ++k) {
            const double a = 2 * kPi * k / segments;
            m.positions.push_back({c.x + radii.x * std::sin(t) * std::cos(a), c.y + radii.y * std::cos(t),
                                   c.z - radii.z * std::sin(t) * std::sin(a)});
        }
    }
    const int bottom = static_cast<int>(m.positions.size());
    m.positions.push_back({c.x, c.y - radii.y, c.z});
    auto at = [&](int band, int k) { return 1 + (band - 1) * segments + (k % segments); };
    for (int k = 0; k < segments; ++k) m.faces.push_back({0, at(1, k), at(1, k + 1)});
    for (int i = 1; i + 1 < bands; ++i)
        for (int k = 0; k < segments; ++k)
            m.faces.push_back({at(i, k), at(i + 1, k), at(i + 1, k + 1), at(i, k + 1)});
    for (int k = 0; k < segments; ++k) m.faces.push_back({bottom, at(bands - 1, k + 1), at(bands - 1, k)});
    // Normals of an ellipsoid from its gradient, exact rather than averaged.
    for (const auto& p : m.positions) {
        const Vec3 d = p - c;
        m.normals.push_back(
            Normalised({d.x / (radii.x * radii.x), d.y / (radii.y * radii.y), d.z / (radii.z * radii.z)}));
    }
    return m;
}

Mesh Capsule(const Vec3& a, const Vec3& b, double r, int segments) {
    // Built along -y from the origin (tips at 0 and -len), then turned onto a -> b.
    const double len = std::max(Length(b - a), 2 * r);
    const int half = 3;
    std::vector<Ring> rings;
    for (int i = 1; i <= half; ++i) {
        const double t = kPi / 2 * i / half, rr = r * std::sin(t);
        rings.push_back({-r + r * std::cos(t), rr, rr, rr});
    }
    for (int i = half; i >= 1; --i) {
        const double t = kPi / 2 * i / half, rr = r * std::sin(t);
        rings.push_back({-len + r - r * std::cos(t), rr, rr, rr});
    }
    LoftOptions o;
    o.segments = segments;
    o.capStart = o.capEnd = true;
    o.capStartBulge = o.capEndBulge = r - r * std::cos(kPi / 2 / half);
    Mesh m = Loft(rings, o);
    const Vec3 dir = Normalised(b - a);
    const Vec3 down{0, -1, 0};
    Mat4 rot;
    const Vec3 axis = Cross(down, dir);
    const double s = Length(axis), c = Dot(down, dir);
    if (s > 1e-9)
        rot = Mat4::Rotation(axis * (1 / s), std::atan2(s, c) * 180 / kPi);
    else if (c < 0)
        rot = Mat4::Rotation({1, 0, 0}, 180);
    m.Transform(rot * Mat4::Translation(a));
    return m;
}

Mesh Box(const Vec3& lo, const Vec3& hi) {
    Mesh m;
    const Vec3 faces[6][4] = {
        {{lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}},  // top
        {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}},  // bottom
        {{lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}},  // front (-z)
        {{hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}},  // back
        {{lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}},  // left (-x)
        {{hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}},  // right
    };
    for (const auto& f : faces) {
        const int base = static_cast<int>(m.positions.size());
        for (const auto& p : f) m.positions.push_back(p);
        m.faces.push_back({base, base + 1, base + 2, base + 3});
    }
    m.ComputeNormals();
    return m;
}

Mesh Annulus(double y, double rInnerX, double rInnerZ, double rOuterX, double rOuterZ, const Vec3& centre,
             int segments, bool up) {
    Mesh m;
    for (int k = 0; k < segments; ++k) {
        const double a = 2 * kPi * k / segments;
        m.positions.push_back({centre.x + rInnerX * std::cos(a), y, centre.z - rInnerZ * std::sin(a)});
        m.positions.push_back({centre.x + rOuterX * std::cos(a), y, centre.z - rOuterZ * std::sin(a)});
    }
    for (int k = 0; k < segments; ++k) {
        const int i0 = 2 * k, o0 = 2 * k + 1, i1 = 2 * ((k + 1) % segments), o1 = i1 + 1;
        if (up)
            m.faces.push_back({i0, o0, o1, i1});
        else
            m.faces.push_back({i0, i1, o1, o0});
    }
    m.normals.assign(m.positions.size(), Vec3{0, up ? 1.0 : -1.0, 0});
    return m;
}

}  // namespace datagen
