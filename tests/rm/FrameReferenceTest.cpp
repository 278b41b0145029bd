// Position, orientation and rotation given relative to a reference frame, for a frame whose
// parent is turned and moved and a reference frame turned and moved elsewhere in the hierarchy.
// Every expected value is worked out by hand from the placements below.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "RmTestUtil.h"
#include "platform/rm/Library.h"

using namespace rm;
using rmtest::ExpectNear;
using rmtest::kPi;
using rmtest::World;

namespace {

constexpr float kR = 0.70710678f;  // 1 / sqrt(2)

Matrix4 Placement(Vector x, Vector y, Vector z, Vector origin) {
    Matrix4 m;
    const Vector rows[4] = {x, y, z, origin};
    for (int r = 0; r < 4; ++r) {
        m.m[r][0] = rows[r].x;
        m.m[r][1] = rows[r].y;
        m.m[r][2] = rows[r].z;
    }
    return m;
}

// The hierarchy every case starts from, each placement written as its rows:
//
//   W  the root, the world.
//   P  child of W: a quarter turn about +y (x axis along -z, z axis along +x), origin (10, 0, 5).
//        point P -> world (x, y, z) -> (z + 10, y, 5 - x),     world -> P (X, Y, Z) -> (5 - Z, Y, X - 10)
//        dir   P -> world (x, y, z) -> (z, y, -x),             world -> P (X, Y, Z) -> (-Z, Y, X)
//   R  child of W, only moved: origin (0, 0, -20).
//   C  child of R, a camera-like frame: a third of a turn about -(1, 1, 1) (x axis along +z, y along
//      +x, z along +y), origin (1, 2, 3) in R, so (1, 2, -17) in the world.
//        point C -> world (x, y, z) -> (y + 1, z + 2, x - 17), world -> C (X, Y, Z) -> (Z + 17, X - 1, Y - 2)
//        dir   C -> world (x, y, z) -> (y, z, x),              world -> C (X, Y, Z) -> (Z, X, Y)
//      so C's axes in P's coordinates are x -> (-1, 0, 0), y -> (0, 0, 1), z -> (0, 1, 0).
//   F  child of P, the frame under test: a quarter turn about +x (x axis (1, 0, 0), y axis (0, 0, 1),
//      z axis (0, -1, 0)), origin (2, -1, 4) in P, so (14, -1, 3) in the world.
//
// The three of them differ in every axis that matters: an axis given in C, read as if it were in
// P or in the world, points elsewhere.
enum class Which { Null, Parent, World, Rig, Camera, Self };

class FrameReferenceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world = lib->CreateFrame(nullptr);
        parent = lib->CreateFrame(world.Get());
        parent->AddTransform(D3DRMCOMBINE_REPLACE, Placement({0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {10, 0, 5}));
        rig = lib->CreateFrame(world.Get());
        rig->AddTransform(D3DRMCOMBINE_REPLACE, Placement({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -20}));
        camera = lib->CreateFrame(rig.Get());
        camera->AddTransform(D3DRMCOMBINE_REPLACE, Placement({0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {1, 2, 3}));
        frame = lib->CreateFrame(parent.Get());
        frame->AddTransform(D3DRMCOMBINE_REPLACE, kFrameStart);
    }

    Frame* Pick(Which w) const {
        switch (w) {
            case Which::Null:
                return nullptr;
            case Which::Parent:
                return parent.Get();
            case Which::World:
                return world.Get();
            case Which::Rig:
                return rig.Get();
            case Which::Camera:
                return camera.Get();
            case Which::Self:
                return frame.Get();
        }
        return nullptr;
    }

    // Compares the frame's own matrix (in P) with the expected axes and origin.
    static void ExpectPlacement(const Frame& f, Vector x, Vector y, Vector z, Vector origin) {
        Matrix4 m;
        ASSERT_EQ(f.GetTransform(&m), D3DRM_OK);
        const Vector rows[4] = {x, y, z, origin};
        const char* names[4] = {"x axis", "y axis", "z axis", "origin"};
        for (int r = 0; r < 4; ++r) {
            SCOPED_TRACE(names[r]);
            ExpectNear({m.m[r][0], m.m[r][1], m.m[r][2]}, rows[r]);
        }
    }

    const Matrix4 kFrameStart = Placement({1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {2, -1, 4});
    Ref<Library> lib = Library::Create();
    Ref<Frame> world, parent, rig, camera, frame;
};

struct SetPositionCase {
    const char* name;
    Which ref;
    Vector position;  // in ref's coordinates
    Vector inParent;
    Vector inWorld;
};

TEST_F(FrameReferenceTest, SetPositionPlacesTheOriginInTheReferenceFrameAndKeepsTheAxes) {
    const SetPositionCase cases[] = {
        // Null and the parent: taken as they are; world = (3 + 10, 2, 5 - 1).
        {"null", Which::Null, {1, 2, 3}, {1, 2, 3}, {13, 2, 4}},
        {"parent", Which::Parent, {1, 2, 3}, {1, 2, 3}, {13, 2, 4}},
        // The world: P's (5 - 3, 2, 1 - 10).
        {"world", Which::World, {1, 2, 3}, {2, 2, -9}, {1, 2, 3}},
        // R: world (1, 2, 3 - 20), then P's (5 + 17, 2, 1 - 10).
        {"rig", Which::Rig, {1, 2, 3}, {22, 2, -9}, {1, 2, -17}},
        // C: world (2 + 1, 3 + 2, 1 - 17) = (3, 5, -16), then P's (5 + 16, 5, 3 - 10).
        {"camera", Which::Camera, {1, 2, 3}, {21, 5, -7}, {3, 5, -16}},
        // C's own origin is R's (1, 2, 3).
        {"camera origin", Which::Camera, {0, 0, 0}, {22, 2, -9}, {1, 2, -17}},
        // F itself: 1 * (1, 0, 0) + 2 * (0, 0, 1) + 3 * (0, -1, 0) + (2, -1, 4) = (3, -4, 6) in P,
        // world (6 + 10, -4, 5 - 3).
        {"itself", Which::Self, {1, 2, 3}, {3, -4, 6}, {16, -4, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frame->AddTransform(D3DRMCOMBINE_REPLACE, kFrameStart);
        ASSERT_EQ(frame->SetPosition(Pick(c.ref), c.position.x, c.position.y, c.position.z), D3DRM_OK);
        ExpectPlacement(*frame, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, c.inParent);
        ExpectNear(World(*frame, {0, 0, 0}), c.inWorld);
        Vector p;
        ASSERT_EQ(frame->GetPosition(nullptr, &p), D3DRM_OK);
        ExpectNear(p, c.inParent);
    }
}

struct GetPositionCase {
    const char* name;
    Which ref;
    Vector expected;
};

TEST_F(FrameReferenceTest, GetPositionAnswersTheOriginInTheReferenceFrame) {
    // F's origin (2, -1, 4) in P is (4 + 10, -1, 5 - 2) = (14, -1, 3) in the world.
    const GetPositionCase cases[] = {
        {"null", Which::Null, {2, -1, 4}},       {"parent", Which::Parent, {2, -1, 4}},
        {"world", Which::World, {14, -1, 3}},    {"rig", Which::Rig, {14, -1, 23}},  // (14, -1, 3 + 20)
        {"camera", Which::Camera, {20, 13, -3}},  // (3 + 17, 14 - 1, -1 - 2)
        {"itself", Which::Self, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Vector p;
        ASSERT_EQ(frame->GetPosition(Pick(c.ref), &p), D3DRM_OK);
        ExpectNear(p, c.expected);
    }
}

struct CameraPlacementCase {
    const char* name;
    Matrix4 camera;  // in the world
    Vector expectedWorld;
};

TEST_F(FrameReferenceTest, FrameUnderAMovedParentPlacedInFrontOfACamera) {
    // A frame hangs under a parent at (0, 0, 55) and is put 100 units along a camera's view axis:
    // its world position is camera * (0, 0, 100), whatever the parent's placement.
    const CameraPlacementCase cases[] = {
        // An upright camera at (0, 0, -45): 100 ahead is (0, 0, 55), the parent's own origin.
        {"upright", Placement({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -45}), {0, 0, 55}},
        // C's placement in the world: (0 + 1, 100 + 2, 0 - 17).
        {"turned", Placement({0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {1, 2, -17}), {1, 102, -17}},
    };
    Ref<Frame> holder = lib->CreateFrame(world.Get());
    holder->SetPosition(nullptr, 0, 0, 55);
    Ref<Frame> figure = lib->CreateFrame(holder.Get());
    figure->AddTransform(D3DRMCOMBINE_REPLACE, kFrameStart);
    Ref<Frame> cam = lib->CreateFrame(world.Get());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cam->AddTransform(D3DRMCOMBINE_REPLACE, c.camera);
        ASSERT_EQ(figure->SetPosition(cam.Get(), 0, 0, 100), D3DRM_OK);
        ExpectNear(World(*figure, {0, 0, 0}), c.expectedWorld);
        Vector p;
        ASSERT_EQ(figure->GetPosition(nullptr, &p), D3DRM_OK);
        ExpectNear(p, {c.expectedWorld.x, c.expectedWorld.y, c.expectedWorld.z - 55});
        ASSERT_EQ(figure->GetPosition(cam.Get(), &p), D3DRM_OK);
        ExpectNear(p, {0, 0, 100});
    }
}

struct SetOrientationCase {
    const char* name;
    Which ref;
    Vector dir, up;          // as given, in ref's coordinates
    Vector x, y, z;          // the frame's new axes in P
    Vector readDir, readUp;  // GetOrientation(ref) afterwards
};

TEST_F(FrameReferenceTest, SetOrientationTakesDirAndUpInTheReferenceFrame) {
    // clang-format off
    const SetOrientationCase cases[] = {
        // C's x is P's (-1, 0, 0), C's y is P's (0, 0, 1); x = (0, 0, 1) x (-1, 0, 0) = (0, -1, 0).
        {"camera axes", Which::Camera, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {-1, 0, 0},
                                                                                   {1, 0, 0}, {0, 1, 0}},
        // C's (1, 1, 0) is P's (-1, 0, 1), C's z is P's (0, 1, 0);
        // x = (0, 1, 0) x (-1, 0, 1) / sqrt 2 = (1, 0, 1) / sqrt 2.
        {"camera diagonal", Which::Camera, {1, 1, 0}, {0, 0, 1}, {kR, 0, kR}, {0, 1, 0}, {-kR, 0, kR},
                                                                                   {kR, kR, 0}, {0, 0, 1}},
        // World (1, 0, 0) is P's (0, 0, 1); world up (1, 1, 0) is P's (0, 1, 1), whose part
        // perpendicular to z is (0, 1, 0).
        {"world", Which::World, {1, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1},
                                                                                   {1, 0, 0}, {0, 1, 0}},
        // In P itself: z = (0, 1, 0), y = (1, 0, 1) / sqrt 2, x = y x z = (-1, 0, 1) / sqrt 2.
        {"parent", Which::Parent, {0, 3, 0}, {1, 0, 1}, {-kR, 0, kR}, {kR, 0, kR}, {0, 1, 0},
                                                                                   {0, 1, 0}, {kR, 0, kR}},
        // Its own y (P's (0, 0, 1)) becomes z and its own -z (P's (0, 1, 0)) becomes y: upright
        // in P, so its own axes now read as the plain ones.
        {"itself", Which::Self, {0, 1, 0}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1},
                                                                                   {0, 0, 1}, {0, 1, 0}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frame->AddTransform(D3DRMCOMBINE_REPLACE, kFrameStart);
        ASSERT_EQ(frame->SetOrientation(Pick(c.ref), c.dir.x, c.dir.y, c.dir.z, c.up.x, c.up.y, c.up.z),
                  D3DRM_OK);
        ExpectPlacement(*frame, c.x, c.y, c.z, {2, -1, 4});
        Vector dir, up;
        ASSERT_EQ(frame->GetOrientation(Pick(c.ref), &dir, &up), D3DRM_OK);
        ExpectNear(dir, c.readDir);
        ExpectNear(up, c.readUp);
    }
}

struct GetOrientationCase {
    const char* name;
    Which ref;
    Vector dir, up;
};

TEST_F(FrameReferenceTest, GetOrientationAnswersTheAxesInTheReferenceFrame) {
    // F's z axis (0, -1, 0) and y axis (0, 0, 1) in P are (0, -1, 0) and (1, 0, 0) in the world,
    // and (0, 0, -1) and (0, 1, 0) in C: the frame faces the camera.
    const GetOrientationCase cases[] = {
        {"null", Which::Null, {0, -1, 0}, {0, 0, 1}},     {"parent", Which::Parent, {0, -1, 0}, {0, 0, 1}},
        {"world", Which::World, {0, -1, 0}, {1, 0, 0}},   {"rig", Which::Rig, {0, -1, 0}, {1, 0, 0}},
        {"camera", Which::Camera, {0, 0, -1}, {0, 1, 0}}, {"itself", Which::Self, {0, 0, 1}, {0, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Vector dir, up;
        ASSERT_EQ(frame->GetOrientation(Pick(c.ref), &dir, &up), D3DRM_OK);
        ExpectNear(dir, c.dir);
        ExpectNear(up, c.up);
    }
}

struct RotationCase {
    const char* name;
    Which ref;
    Vector axis;  // in ref's coordinates
    float theta;
    std::initializer_list<float> moves;
    Vector x, y, z;  // the frame's axes in P afterwards
};

TEST_F(FrameReferenceTest, MoveTurnsInTheParentsSpaceAboutTheAxisGivenInTheReferenceFrame) {
    // F starts with x (1, 0, 0), y (0, 0, 1), z (0, -1, 0) in P. Each Move turns it by
    // new 3x3 = old 3x3 * R(axis in P, theta * delta): every row times R, i.e.
    // (1, 0, 0) -> R's row 0, (0, 0, 1) -> R's row 2, (0, -1, 0) -> minus R's row 1.
    const RotationCase cases[] = {
        // About P's y by a quarter: R rows (0, 0, -1), (0, 1, 0), (1, 0, 0). (Turning in the
        // frame's own space instead, R * old, would put x along (0, 1, 0).)
        {"parent y", Which::Null, {0, 1, 0}, kPi, {0.5f}, {0, 0, -1}, {1, 0, 0}, {0, -1, 0}},
        // C's y (given unnormalised) is P's z and the world's x. A quarter about P's z: R rows
        // (0, 1, 0), (-1, 0, 0), (0, 0, 1).
        {"camera y", Which::Camera, {0, 2, 0}, kPi / 2, {1.0f}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
        // C's x is P's -x: two eighths of a turn about it make a quarter, R rows (1, 0, 0),
        // (0, 0, -1), (0, 1, 0), which undoes F's own quarter turn about +x.
        {"camera x twice", Which::Camera, {1, 0, 0}, kPi / 4, {1.0f, 1.0f}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        // C's (1, 1, 0) is P's a = (-1, 0, 1) / sqrt 2 (the world's (1, 0, 1) / sqrt 2); a half
        // turn is 2 a a^T - I, rows (0, 0, -1), (0, -1, 0), (-1, 0, 0).
        {"camera diagonal", Which::Camera, {1, 1, 0}, kPi / 2, {2.0f}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        // The world's x is P's z; backwards by a quarter: R rows (0, -1, 0), (1, 0, 0), (0, 0, 1).
        {"world x backwards", Which::World, {1, 0, 0}, kPi, {-0.5f}, {0, -1, 0}, {0, 0, 1}, {-1, 0, 0}},
        // Its own z is P's (0, -1, 0): a quarter about it, R rows (0, 0, 1), (0, 1, 0), (-1, 0, 0);
        // the z axis stays.
        {"own z", Which::Self, {0, 0, 1}, kPi / 2, {1.0f}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frame->AddTransform(D3DRMCOMBINE_REPLACE, kFrameStart);
        ASSERT_EQ(frame->SetRotation(Pick(c.ref), c.axis.x, c.axis.y, c.axis.z, c.theta), D3DRM_OK);
        // Setting the rotation alone does not turn the frame.
        ExpectPlacement(*frame, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {2, -1, 4});
        for (float delta : c.moves) ASSERT_EQ(frame->Move(delta), D3DRM_OK);
        ExpectPlacement(*frame, c.x, c.y, c.z, {2, -1, 4});
    }
}

}  // namespace
