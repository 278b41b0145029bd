// The head part: face skin (with nose and ears), eyes carrying texture coordinates, mouth and hair.
#include <algorithm>

#include "Figure.h"

namespace datagen {

namespace {

constexpr int kHeadSegments = kNeckSegments * 2;  // above the neck band
constexpr double kHeadWidth = 1.2, kHeadHeight = 1.28;

// Cross-sections of the head above the neck cut; heights above y = 0.7 and the widths are stretched
// by kHeadHeight and kHeadWidth to give the head its size.
std::vector<Ring> HeadRings() {
    struct Row {
        double y, rx, rzF, rzB, cz, pinch;
    };
    const Row rows[] = {
        {0.45, 0.48, 0.45, 0.45, 0.02, 0},     {0.70, 0.52, 0.62, 0.50, -0.02, 0},
        {0.80, 0.72, 0.95, 0.72, -0.06, 0.35}, {0.95, 0.88, 1.12, 0.92, -0.08, 0.40},
        {1.20, 1.00, 1.18, 1.05, -0.08, 0.30}, {1.55, 1.08, 1.20, 1.15, -0.06, 0.15},
        {1.95, 1.12, 1.18, 1.20, -0.04, 0.05}, {2.30, 1.10, 1.12, 1.20, -0.02, 0},
        {2.60, 0.98, 0.98, 1.10, 0, 0},        {2.82, 0.72, 0.72, 0.82, 0, 0},
        {2.96, 0.38, 0.38, 0.42, 0, 0},
    };
    std::vector<Ring> rings;
    Ring neck = NeckRing();
    rings.push_back(neck);
    for (const Row& r : rows) {
        const double k = r.y > 0.7 ? kHeadWidth : 1.0;
        const double y = r.y > 0.7 ? 0.7 + (r.y - 0.7) * kHeadHeight : r.y;
        rings.push_back({y, r.rx * k, r.rzF * k, r.rzB * k, 0, r.cz, r.pinch});
    }
    return rings;
}

// The ring at height y, interpolated; below the widest ring, the widths of the widest ring (so hair
// hangs straight down instead of following the neck).
Ring RingAt(const std::vector<Ring>& rings, double y, bool envelope) {
    Ring r = rings.front();
    if (y <= rings.front().y)
        r = rings.front();
    else if (y >= rings.back().y)
        r = rings.back();
    else
        for (std::size_t i = 0; i + 1 < rings.size(); ++i)
            if (y >= rings[i].y && y <= rings[i + 1].y) {
                const Ring& a = rings[i];
                const Ring& b = rings[i + 1];
                const double t = (y - a.y) / (b.y - a.y);
                r = {y,
                     a.rx + (b.rx - a.rx) * t,
                     a.rzF + (b.rzF - a.rzF) * t,
                     a.rzB + (b.rzB - a.rzB) * t,
                     0,
                     a.cz + (b.cz - a.cz) * t,
                     a.pinch + (b.pinch - a.pinch) * t};
            }
    if (envelope) {
        const auto widest = std::max_element(rings.begin(), rings.end(),
                                             [](const Ring& a, const Ring& b) { return a.rx < b.rx; });
        if (y < widest->y) {
            r.rx = widest->rx;
            r.rzB = widest->rzB;
            r.rzF = std::max(r.rzF, widest->rzF * 0.85);
            r.pinch = 0;
            r.cz = widest->cz;
        }
    }
    r.y = y;
    return r;
}

Mesh Face(const std::vector<Ring>& rings) {
    // The neck cut and the next ring have kNeckSegments points, exactly the body's neck ring, so
    // every cut vertex has its partner; the band above doubles the resolution with triangles.
    Mesh m;
    const int coarse = kNeckSegments, n = kHeadSegments;
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < coarse; ++k) m.positions.push_back(RingPoint(rings[i], k, coarse));
    const int fine0 = static_cast<int>(m.positions.size());
    for (std::size_t i = 2; i < rings.size(); ++i)
        for (int k = 0; k < n; ++k) m.positions.push_back(RingPoint(rings[i], k, n));
    // Rings run upwards: seen from outside a face goes round (k, k + 1) below, then back above.
    for (int k = 0; k < coarse; ++k) {
        const int k1 = (k + 1) % coarse;
        m.faces.push_back({k, k1, coarse + k1, coarse + k});
    }
    auto fine = [&](int ring, int k) { return fine0 + (ring - 2) * n + (k % n); };
    for (int k = 0; k < coarse; ++k) {
        const int lo = coarse + k, lo1 = coarse + (k + 1) % coarse;
        m.faces.push_back({lo, lo1, fine(2, 2 * k + 1)});
        m.faces.push_back({lo, fine(2, 2 * k + 1), fine(2, 2 * k)});
        m.faces.push_back({lo1, fine(2, 2 * k + 2), fine(2, 2 * k + 1)});
    }
    const int count = static_cast<int>(rings.size());
    for (int i = 2; i + 1 < count; ++i)
        for (int k = 0; k < n; ++k)
            m.faces.push_back({fine(i, k), fine(i, k + 1), fine(i + 1, k + 1), fine(i + 1, k)});
    const int pole = static_cast<int>(m.positions.size());
    m.positions.push_back({0, rings.back().y + 0.05, rings.back().cz});
    for (int k = 0; k < n; ++k) m.faces.push_back({pole, fine(count - 1, k), fine(count - 1, k + 1)});
    m.ComputeNormals();
    return m;
}

// The front surface point of the head at (x, y) (z towards the camera), found on the ring at y.
Vec3 FrontPoint(const std::vector<Ring>& rings, double x, double y) {
    const Ring r = RingAt(rings, y, false);
    // Angles from +x (0) to the front (pi/2): x decreases monotonically.
    double lo = 0, hi = kPi / 2;
    for (int i = 0; i < 40; ++i) {
        const double mid = (lo + hi) / 2;
        const double px = r.rx * std::cos(mid) * (1 - r.pinch * std::sin(mid) * std::sin(mid));
        if (px > x)
            lo = mid;
        else
            hi = mid;
    }
    const double a = (lo + hi) / 2;
    return {x, y, r.cz - r.rzF * std::sin(a)};
}

Vec3 FrontNormal(const std::vector<Ring>& rings, double x, double y) {
    const double e = 0.01;
    const Vec3 p = FrontPoint(rings, x, y);
    const Vec3 dx = FrontPoint(rings, x + e, y) - p;
    const Vec3 dy = FrontPoint(rings, x, y + e) - p;
    return Normalised(Cross(dx, dy) * -1.0);
}

// An oval decal lying 0.02 in front of the face, centred at (cx, cy), with texture coordinates
// that put the texture's centre at the oval's centre (v grows downwards).
Mesh EyeDecal(const std::vector<Ring>& rings, double cx, double cy, double rx, double ry) {
    Mesh m;
    const int rings_ = 5, segments = 20;
    auto place = [&](double u, double v) {
        const double x = cx + (u - 0.5) * 2 * rx, y = cy - (v - 0.5) * 2 * ry;
        const Vec3 n = FrontNormal(rings, x, y);
        m.positions.push_back(FrontPoint(rings, x, y) + n * 0.03);
        m.normals.push_back(n);
        m.uvs.push_back({u, v});
    };
    place(0.5, 0.5);
    for (int i = 1; i <= rings_; ++i)
        for (int k = 0; k < segments; ++k) {
            const double a = 2 * kPi * k / segments, t = static_cast<double>(i) / rings_;
            place(0.5 + 0.5 * t * std::cos(a), 0.5 - 0.5 * t * std::sin(a));
        }
    auto at = [&](int i, int k) { return 1 + (i - 1) * segments + (k % segments); };
    // Seen from the front (-z), angle k runs anticlockwise on screen; faces list it backwards.
    for (int k = 0; k < segments; ++k) m.faces.push_back({0, at(1, k + 1), at(1, k)});
    for (int i = 1; i < rings_; ++i)
        for (int k = 0; k < segments; ++k)
            m.faces.push_back({at(i, k), at(i, k + 1), at(i + 1, k + 1), at(i + 1, k)});
    return m;
}

// Hair: a shell over the head surface, 0.1 outside it, from the crown down to a cut whose height
// depends on the direction (front, side, back); below the widest ring it hangs straight.
Mesh HairShell(const std::vector<Ring>& rings, double frontY, double sideY, double backY) {
    Mesh m;
    const int n = kHeadSegments, rows = 14;
    const double top = rings.back().y;
    for (int i = 1; i <= rows; ++i)
        for (int k = 0; k < n; ++k) {
            const double a = 2 * kPi * k / n;
            const double f = std::max(0.0, std::sin(a)), b = std::max(0.0, -std::sin(a));
            // Front columns keep the fringe height well round the temples, then drop to the side.
            const double front = std::clamp((f - 0.25) / 0.45, 0.0, 1.0);
            const double wf = front * front * (3 - 2 * front);
            const double cut = sideY + (frontY - sideY) * wf + (backY - sideY) * b * b;
            const double t = static_cast<double>(i) / rows;
            const double y = top - (top - cut) * t;
            Ring r = RingAt(rings, y, true);
            r.rx += 0.11;
            r.rzF += 0.11;
            r.rzB += 0.13;
            m.positions.push_back(RingPoint(r, k, n));
        }
    const int pole = static_cast<int>(m.positions.size());
    m.positions.push_back({0, top + 0.16, rings.back().cz});
    auto at = [&](int i, int k) { return (i - 1) * n + (k % n); };
    for (int k = 0; k < n; ++k) m.faces.push_back({pole, at(1, k), at(1, k + 1)});
    for (int i = 1; i < rows; ++i)
        for (int k = 0; k < n; ++k)
            m.faces.push_back({at(i, k), at(i + 1, k), at(i + 1, k + 1), at(i, k + 1)});
    m.ComputeNormals();
    // An inner sheet, facing inwards, gives the hair its thickness: hanging hair is seen from
    // both sides.
    Mesh inner = m.Flipped();
    for (auto& p : inner.positions)
        p = {p.x * 0.96, p.y - 0.02, rings.back().cz + (p.z - rings.back().cz) * 0.96};
    m.Append(inner);
    return m;
}

}  // namespace

int HeadVariants() {
    return 3;
}

PartFile BuildHead(int variant) {
    const std::vector<Ring> rings = HeadRings();
    PartFile part;
    part.top.name = "FRM-HEADPART";
    const double eyeY = 0.7 + (1.92 - 0.7) * kHeadHeight;

    Mesh face = Face(rings);
    const Vec3 nose = FrontPoint(rings, 0, eyeY - 0.42);
    face.Append(Ellipsoid(nose + Vec3{0, 0, 0.02}, {0.11, 0.17, 0.13}, 10, 6));
    for (double side : {1.0, -1.0}) {
        const Ring r = RingAt(rings, eyeY - 0.1, false);
        face.Append(Ellipsoid({side * (r.rx - 0.02), eyeY - 0.15, r.cz + 0.15}, {0.13, 0.32, 0.22}, 10, 6));
    }
    // A ball inside the neck's cut keeps the joint closed when the head turns; it stays farther
    // inside than the smoothing threshold, so smoothing joins only the two cut rings.
    const Ring neck = NeckRing();
    face.Append(Ellipsoid({0, 0, 0}, {neck.rx * 0.96, neck.rx * 0.96, neck.rzF * 0.96}, kNeckSegments, 10));
    part.top.MeshChild("FRM-FACE", face, look::Skin());

    // The figure's left eye is on +x (the right of the picture).
    part.top.MeshChild("FRM-EYEL", EyeDecal(rings, 0.43, eyeY, 0.25, 0.30), look::Eye());
    part.top.MeshChild("FRM-EYER", EyeDecal(rings, -0.43, eyeY, 0.25, 0.30), look::Eye());

    const Vec3 mouth = FrontPoint(rings, 0, eyeY - 0.88);
    part.top.MeshChild("FRM-MOUTH", Ellipsoid(mouth + Vec3{0, 0, 0.0}, {0.20, 0.06, 0.06}, 12, 4),
                       look::Mouth());

    Mesh hair;
    switch (variant) {
        case 1:  // long
            hair = HairShell(rings, eyeY + 0.62, -0.8, -0.9);
            break;
        case 2:  // bun
            hair = HairShell(rings, eyeY + 0.55, eyeY - 0.2, 1.1);
            hair.Append(Ellipsoid({0, 3.3, 1.05}, {0.62, 0.58, 0.55}, 16, 8));
            break;
        default:  // short
            hair = HairShell(rings, eyeY + 0.66, eyeY - 0.35, 0.9);
            break;
    }
    for (double side : {1.0, -1.0}) {
        const Vec3 brow = FrontPoint(rings, side * 0.43, eyeY + 0.45);
        hair.Append(
            Capsule(brow + Vec3{side * 0.2, -0.04, -0.02}, brow + Vec3{-side * 0.2, 0.02, -0.02}, 0.05, 8));
    }
    part.top.MeshChild("FRM-HAIR", hair, look::Hair());
    return part;
}

}  // namespace datagen
