// The geometry of looking around, checked against the 3D library's own viewport: a turn carries the
// camera around the pivot and keeps the pivot in its place in the picture, the tilt stops short of
// the poles, a pan keeps the grabbed point under the pointer, a zoom keeps the point under the
// pointer and stops at twice the front plane from the pivot and at the far limit.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/rm/Library.h"
#include "platform/rm/VectorMath.h"
#include "platform/surface/Surface.h"
#include "view/CameraNavigation.h"
#include "support/VectorExpect.h"

namespace {

using testvec::ExpectNear;
using testvec::Distance;

using scene::FramePlacement;

constexpr double kDegree = std::numbers::pi / 180.0;

FramePlacement Camera(rm::Vector eye, rm::Vector direction, rm::Vector up) {
    FramePlacement p;
    p.position[0] = eye.x, p.position[1] = eye.y, p.position[2] = eye.z;
    p.direction[0] = direction.x, p.direction[1] = direction.y, p.direction[2] = direction.z;
    p.up[0] = up.x, p.up[1] = up.y, p.up[2] = up.z;
    return p;
}

rm::Vector Eye(const FramePlacement& p) {
    return {p.position[0], p.position[1], p.position[2]};
}
rm::Vector Direction(const FramePlacement& p) {
    return rm::Normalized({p.direction[0], p.direction[1], p.direction[2]});
}
rm::Vector Up(const FramePlacement& p) {
    return rm::Normalized({p.up[0], p.up[1], p.up[2]});
}
// A picture of the lens's size seen through a camera frame, with the library's projection.
class Picture {
  public:
    explicit Picture(const nav::Lens& lens) {
        m_library = rm::Library::Create();
        m_target =
            surface::Surface::Create(std::uint32_t(lens.x + lens.width), std::uint32_t(lens.y + lens.height),
                                     surface::PixelFormat::FromBits(32));
        m_device = m_library->CreateDeviceFromSurface(nullptr, nullptr, m_target.Get());
        m_root = m_library->CreateFrame(nullptr);
        m_eye = m_library->CreateFrame(m_root.Get());
        m_viewport =
            m_library->CreateViewport(m_device.Get(), m_eye.Get(), std::int32_t(lens.x), std::int32_t(lens.y),
                                      std::uint32_t(lens.width), std::uint32_t(lens.height));
        m_viewport->SetPlanes(float(lens.front), 1e6f);
        m_viewport->SetField(float(lens.field));
    }
    void Look(const FramePlacement& c) {
        m_eye->SetPosition(nullptr, c.position[0], c.position[1], c.position[2]);
        m_eye->SetOrientation(nullptr, c.direction[0], c.direction[1], c.direction[2], c.up[0], c.up[1],
                              c.up[2]);
    }
    // Pixel position and depth (the camera's z) of a world point.
    rm::Vector4 Screen(const rm::Vector& world) const {
        rm::Vector4 s{};
        m_viewport->Transform(&s, &world);
        return {s.x / s.w, s.y / s.w, s.z / s.w, s.w};
    }
    // The world point at pixel (x, y) and camera depth `depth`.
    rm::Vector Under(double x, double y, double depth) const {
        // The library's depth value of a camera z: F·(z − D) / (z·(F − D)).
        const double D = m_viewport->GetFront(), F = m_viewport->GetBack();
        const double d = F * (depth - D) / (depth * (F - D));
        const rm::Vector4 s{float(x * depth), float(y * depth), float(d * depth), float(depth)};
        rm::Vector world;
        m_viewport->InverseTransform(&world, &s);
        return world;
    }

  private:
    rm::Ref<rm::Library> m_library;
    rm::Ref<surface::Surface> m_target;
    rm::Ref<rm::Device> m_device;
    rm::Ref<rm::Frame> m_root, m_eye;
    rm::Ref<rm::Viewport> m_viewport;
};

const nav::Lens kLens{10.0, 1.5, 0.0, 0.0, 480.0, 360.0};
// A lens with its picture away from the window's corner, as in render-size display.
const nav::Lens kFramedLens{10.0, 4.0, 80.0, 20.0, 400.0, 300.0};

// A camera without roll, looking down a little and across, away from the origin.
const FramePlacement kOblique = Camera({10, 20, -5}, {0.3f, -0.4f, 1.0f}, {0, 1, 0});

TEST(CameraNavigation, AQuarterTurnCarriesTheCameraAroundThePivotWhichStaysInItsPlace) {
    // From a new scene's camera, about a pivot off its axis: the eye's offset from the pivot
    // (-2, -9, -55) turned a quarter about +y (+z goes to +x) becomes (-55, -9, 2).
    const rm::Vector pivot{2, 9, 55};
    const FramePlacement start = Camera({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    const FramePlacement turned = nav::Orbit(start, pivot, std::numbers::pi / 2, 0);
    ExpectNear(Eye(turned), {-53, 0, 57}, 1e-4f);
    ExpectNear(Direction(turned), {1, 0, 0}, 1e-6f);
    ExpectNear(Up(turned), {0, 1, 0}, 1e-6f);

    Picture picture(kLens);
    for (const FramePlacement& camera : {start, kOblique}) {
        picture.Look(camera);
        const rm::Vector4 before = picture.Screen(pivot);
        for (double turn : {std::numbers::pi / 2, -0.7, 2.5}) {
            SCOPED_TRACE(turn);
            const FramePlacement after = nav::Orbit(camera, pivot, turn, 0.3);
            picture.Look(after);
            const rm::Vector4 now = picture.Screen(pivot);
            EXPECT_NEAR(now.x, before.x, 1e-3);
            EXPECT_NEAR(now.y, before.y, 1e-3);
            EXPECT_NEAR(Distance(Eye(after), pivot), Distance(Eye(camera), pivot), 1e-3f);
            // Turntable: the camera's right stays level.
            EXPECT_NEAR(rm::Cross(Up(after), Direction(after)).y, 0.0f, 1e-5f);
        }
    }
    // Four quarter turns come back.
    FramePlacement around = kOblique;
    for (int i = 0; i < 4; ++i) around = nav::Orbit(around, pivot, std::numbers::pi / 2, 0);
    ExpectNear(Eye(around), Eye(kOblique), 1e-3f);
    ExpectNear(Direction(around), Direction(kOblique), 1e-5f);
}

TEST(CameraNavigation, ATurnToTheRightShowsTheNearSideGoingRight) {
    // Dragged right, the scene turns as if taken by the hand: what is nearer than the pivot moves
    // right in the picture, what is farther moves left.
    const rm::Vector pivot{0, 0, 55};
    const FramePlacement start = Camera({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    const FramePlacement turned = nav::Orbit(start, pivot, 0.2, 0);
    Picture picture(kLens);
    picture.Look(start);
    const double nearBefore = picture.Screen({0, 0, 45}).x, farBefore = picture.Screen({0, 0, 65}).x;
    picture.Look(turned);
    EXPECT_GT(picture.Screen({0, 0, 45}).x, nearBefore + 5);
    EXPECT_LT(picture.Screen({0, 0, 65}).x, farBefore - 5);
}

TEST(CameraNavigation, ATiltRaisesTheCameraOverThePivot) {
    // 60° down from a new scene's camera about a pivot 55 ahead: the eye rises to 55·sin 60° and
    // comes to 55·cos 60° short of the pivot, looking down at it.
    const rm::Vector pivot{0, 0, 55};
    const double s = std::sin(60 * kDegree), c = std::cos(60 * kDegree);
    const FramePlacement tilted = nav::Orbit(Camera({0, 0, 0}, {0, 0, 1}, {0, 1, 0}), pivot, 0, 60 * kDegree);
    ExpectNear(Eye(tilted), {0, float(55 * s), float(55 - 55 * c)}, 1e-4f);
    ExpectNear(Direction(tilted), {0, float(-s), float(c)}, 1e-6f);
    ExpectNear(Up(tilted), {0, float(c), float(s)}, 1e-6f);
}

// The angle of the view axis below the horizontal, in degrees.
double DipOf(const FramePlacement& camera) {
    return std::asin(-Direction(camera).y) / kDegree;
}

TEST(CameraNavigation, TheTiltStopsShortOfStraightDownAndStraightUp) {
    const rm::Vector pivot{0, 0, 55};
    const FramePlacement front = Camera({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    // Straight down at the pivot with the picture's top toward +z, as a standard top view.
    const FramePlacement top = Camera({0, 55, 55}, {0, -1, 0}, {0, 0, 1});
    struct Row {
        const char* what;
        FramePlacement start;
        double tilt;  // degrees
        double dip;   // degrees, after
    };
    const Row rows[] = {
        {"far down", front, 100, 88},
        {"far up", front, -100, -88},
        {"just past the stop", front, 88.5, 88},
        {"within", front, 87, 87},
        {"right round", front, 400, 88},
        {"down from straight down", top, 10, 90},
        {"back up from straight down", top, -10, 80},
        {"oblique, far down", kOblique, 120, 88},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const FramePlacement after = nav::Orbit(r.start, pivot, 0.4, r.tilt * kDegree);
        EXPECT_NEAR(DipOf(after), r.dip, 1e-2);
        EXPECT_NEAR(Distance(Eye(after), pivot), Distance(Eye(r.start), pivot), 1e-3f);
        // Never turned over: the picture's top stays on the sky's side (or, straight down, where
        // the top view has it).
        if (std::fabs(r.dip) < 89) {
            EXPECT_GT(Up(after).y, 0.03f);
        }
    }
    // From straight down, tilting back comes down on the side the picture's bottom is on (-z).
    const FramePlacement back = nav::Orbit(top, pivot, 0, -10 * kDegree);
    EXPECT_LT(Eye(back).z, pivot.z - 5);
    // Steps add up to the stop and no further.
    FramePlacement stepped = front;
    for (int i = 0; i < 10; ++i) stepped = nav::Orbit(stepped, pivot, 0, 20 * kDegree);
    EXPECT_NEAR(DipOf(stepped), 88, 1e-2);
}

TEST(CameraNavigation, APanKeepsTheGrabbedPointUnderThePointer) {
    for (const nav::Lens& lens : {kLens, kFramedLens}) {
        Picture picture(lens);
        picture.Look(kOblique);
        const rm::Vector grabbed = picture.Under(lens.x + 100, lens.y + 220, 47.0);
        // The navigation's own reading of the pointer agrees with the library's.
        ExpectNear(nav::PointUnder(kOblique, lens, lens.x + 100, lens.y + 220, 47.0), grabbed, 1e-3f);
        for (const auto& [x, y] :
             {std::pair{137.0, 197.0}, std::pair{-40.0, 400.0}, std::pair{100.0, 220.0}}) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const FramePlacement panned = nav::Pan(kOblique, lens, grabbed, lens.x + x, lens.y + y);
            picture.Look(panned);
            const rm::Vector4 s = picture.Screen(grabbed);
            EXPECT_NEAR(s.x, lens.x + x, 1e-2);
            EXPECT_NEAR(s.y, lens.y + y, 1e-2);
            EXPECT_NEAR(s.w, 47.0, 1e-3) << "the camera stays in its plane";
            ExpectNear(Direction(panned), Direction(kOblique), 1e-6f);
            ExpectNear(Up(panned), Up(kOblique), 1e-6f);
        }
    }
    // A point behind the camera gives no hold.
    const FramePlacement still = nav::Pan(kOblique, kLens, nav::PointAhead(kOblique, -20), 10, 10);
    ExpectNear(Eye(still), Eye(kOblique), 0);
}

TEST(CameraNavigation, AZoomKeepsThePointUnderThePointerAndStopsShortOfThePivot) {
    const nav::Lens lens = kFramedLens;
    Picture picture(lens);
    picture.Look(kOblique);
    const rm::Vector pivot = picture.Under(lens.x + 150, lens.y + 130, 60.0);
    const double px = lens.x + 330, py = lens.y + 60;
    const rm::Vector pointed = picture.Under(px, py, 60.0);
    struct Row {
        int notches;
        double depth;  // the pivot's, after
    };
    const Row rows[] = {
        {1, 60.0 / 1.15}, {3, 60.0 / (1.15 * 1.15 * 1.15)}, {-2, 60.0 * 1.15 * 1.15},
        {40, 20.0},    // twice the front plane
        {-40, 150.0},  // the far limit
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.notches);
        const FramePlacement zoomed = nav::Zoom(kOblique, lens, pivot, px, py, r.notches, 150.0);
        picture.Look(zoomed);
        const rm::Vector4 s = picture.Screen(pointed);
        EXPECT_NEAR(s.x, px, 1e-2);
        EXPECT_NEAR(s.y, py, 1e-2);
        EXPECT_NEAR(picture.Screen(pivot).w, r.depth, 1e-3);
        ExpectNear(Direction(zoomed), Direction(kOblique), 1e-6f);
    }
    // In and out by as many notches comes back.
    const FramePlacement back =
        nav::Zoom(nav::Zoom(kOblique, lens, pivot, px, py, 2, 150.0), lens, pivot, px, py, -2, 150.0);
    ExpectNear(Eye(back), Eye(kOblique), 1e-3f);

    // A camera already nearer than the stop goes no nearer, but may back away; beyond the far
    // limit it may only come nearer.
    const FramePlacement close = nav::Zoom(kOblique, lens, pivot, px, py, 40, 150.0);
    picture.Look(close);
    ASSERT_NEAR(picture.Screen(pivot).w, 20.0, 1e-3);
    const FramePlacement closer = nav::Zoom(close, lens, pivot, px, py, 1, 10.0);
    ExpectNear(Eye(closer), Eye(close), 1e-4f);
    picture.Look(nav::Zoom(kOblique, lens, pivot, px, py, -1, 30.0));
    EXPECT_NEAR(picture.Screen(pivot).w, 60.0, 1e-3);
    picture.Look(nav::Zoom(kOblique, lens, pivot, px, py, 1, 30.0));
    EXPECT_NEAR(picture.Screen(pivot).w, 60.0 / 1.15, 1e-3);

    // A pivot behind the camera: nothing moves.
    const FramePlacement still = nav::Zoom(kOblique, lens, nav::PointAhead(kOblique, -5), px, py, 1, 150.0);
    ExpectNear(Eye(still), Eye(kOblique), 0);
}

}  // namespace
