// The clipper's edge flags: after clipping, the edges that are parts of the face's own edges stay
// marked and the edges made along a clipping plane do not, checked against a plain segment
// clipper kept here as the reference.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/rm/VectorMath.h"
#include "platform/rm/raster/Clip.h"

using namespace rm;
using namespace rm::raster;

namespace {

// A 160 x 120 viewport, front 1, back 10, k = 160: the guard band reaches 1024 pixels past each
// side, so sx >= -1024 is x >= -(80 + 1024) / 160 z = -6.9 z, sx <= 1184 is x <= 6.9 z, and
// likewise -6.775 z <= y <= 6.775 z ((60 + 1024) / 160 = 6.775).
constexpr Projection kProjection{80, 60, 160, 1, 10, 10.0f / 9.0f};

// Signed distances to the six planes, positive inside, in camera units.
const std::function<float(const Vector&)> kPlanes[] = {
    [](const Vector& p) { return p.z - 1; },
    [](const Vector& p) { return 10 - p.z; },
    [](const Vector& p) { return p.x + 6.9f * p.z; },
    [](const Vector& p) { return 6.9f * p.z - p.x; },
    [](const Vector& p) { return 6.775f * p.z - p.y; },
    [](const Vector& p) { return p.y + 6.775f * p.z; },
};

ClipVertex V(float x, float y, float z, bool faceEdge = true) {
    ClipVertex v{};
    v.pos = {x, y, z};
    v.faceEdge = faceEdge;
    return v;
}

float DistanceToSegment(const Vector& m, const Vector& a, const Vector& b) {
    const Vector ab = Sub(b, a);
    const float len2 = Dot(ab, ab);
    const float t = len2 > 0 ? std::clamp(Dot(Sub(m, a), ab) / len2, 0.0f, 1.0f) : 0.0f;
    return Length(Sub(Add(a, Scale(ab, t)), m));
}

// The length of the part of segment a -> b inside all six planes (the planes are linear, so each
// one keeps an interval of the parameter).
float LengthInside(const Vector& a, const Vector& b) {
    float t0 = 0, t1 = 1;
    for (const auto& plane : kPlanes) {
        const float da = plane(a), db = plane(b);
        if (da < 0 && db < 0) return 0;
        if (da < 0) t0 = std::max(t0, da / (da - db));
        if (db < 0) t1 = std::min(t1, da / (da - db));
    }
    return t1 > t0 ? (t1 - t0) * Length(Sub(b, a)) : 0;
}

struct ClipCase {
    const char* name;
    std::vector<ClipVertex> polygon;
    int unmarkedEdges;  // edges of the result not drawn in wireframe
};

TEST(ClipTest, OnlyTheSurvivingPartsOfTheFacesOwnEdgesStayMarked) {
    const ClipCase cases[] = {
        // One cut each: a single new edge along the plane.
        {"front plane", {V(-1, 0, 0.5f), V(0, 1, 3), V(1, 0, 0.5f)}, 1},
        {"back plane", {V(-1, -1, 5), V(-1, 1, 15), V(1, 1, 15), V(1, -1, 5)}, 1},
        {"left side", {V(-30, 0, 2), V(1, 1, 2), V(1, -1, 2)}, 1},
        // A corner cut off by the right side (x <= 10.35) and the top (y <= 10.1625).
        {"right and top", {V(0, 0, 1.5f), V(0, 20, 1.5f), V(20, 20, 1.5f), V(20, 0, 1.5f)}, 2},
        // Larger than the guard band all round: nothing of its own outline is left.
        {"all four sides", {V(-50, -50, 2), V(-50, 50, 2), V(50, 50, 2), V(50, -50, 2)}, 4},
        // A floor strip through both the front and the back plane.
        {"front and back", {V(-1, -1, -5), V(-1, -1, 20), V(1, -1, 20), V(1, -1, -5)}, 2},
        // An edge that was not the face's own stays unmarked where it survives, whether it
        // leaves the volume or enters it.
        {"unmarked edge leaving", {V(-1, 0, 0.5f), V(0, 1, 3, false), V(1, 0, 0.5f)}, 2},
        {"unmarked edge entering", {V(-1, 0, 0.5f, false), V(0, 1, 3), V(1, 0, 0.5f)}, 2},
        // A corner exactly on the front plane: the cut runs from it to the other crossing.
        {"corner on the plane", {V(-1, 0, 1), V(0, 1, 3), V(1, 0, 0.5f)}, 1},
    };
    Clipper clipper(kProjection, 0, 0, 160, 120);
    std::vector<ClipVertex> out;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ClipVertex>& in = c.polygon;
        ASSERT_FALSE(clipper.AllInside(in.data(), in.size()));
        clipper.ClipPolygon(in.data(), in.size(), out);
        ASSERT_GE(out.size(), 3u);
        float expectedMarked = 0;
        for (std::size_t i = 0; i < in.size(); ++i)
            if (in[i].faceEdge) expectedMarked += LengthInside(in[i].pos, in[(i + 1) % in.size()].pos);
        float marked = 0;
        int unmarked = 0;
        for (std::size_t k = 0; k < out.size(); ++k) {
            const Vector& p = out[k].pos;
            const Vector& q = out[(k + 1) % out.size()].pos;
            for (const auto& plane : kPlanes) EXPECT_GE(plane(p), -1e-3f) << "vertex " << k;
            const Vector mid = Scale(Add(p, q), 0.5f);
            // Which input edges the result's edge runs along, by its midpoint.
            bool onMarked = false, onUnmarked = false;
            for (std::size_t i = 0; i < in.size(); ++i) {
                if (DistanceToSegment(mid, in[i].pos, in[(i + 1) % in.size()].pos) > 1e-3f) continue;
                (in[i].faceEdge ? onMarked : onUnmarked) = true;
            }
            if (out[k].faceEdge) {
                EXPECT_TRUE(onMarked) << "edge " << k << " is marked but is none of the face's own";
                marked += Length(Sub(q, p));
            } else {
                ++unmarked;
                const bool onPlane =
                    std::any_of(std::begin(kPlanes), std::end(kPlanes),
                                [&](const auto& plane) { return std::fabs(plane(mid)) < 1e-3f; });
                EXPECT_FALSE(onMarked) << "edge " << k << " is a part of a face edge but unmarked";
                EXPECT_TRUE(onPlane || onUnmarked) << "edge " << k;
            }
        }
        EXPECT_EQ(unmarked, c.unmarkedEdges);
        EXPECT_NEAR(marked, expectedMarked, 1e-3f * std::max(1.0f, expectedMarked));
    }
}

}  // namespace
