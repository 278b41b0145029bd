// Frame algebra against hand-computed results.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "RmTestUtil.h"
#include "platform/rm/Library.h"
#include "platform/rm/VectorMath.h"

using namespace rm;
using rmtest::ExpectNear;
using rmtest::kPi;
using rmtest::World;

namespace {

class FrameTest : public ::testing::Test {
  protected:
    Ref<Library> lib = Library::Create();
};

struct QuarterTurn {
    Vector axis;
    Vector local;
    Vector expected;
};

TEST_F(FrameTest, QuarterTurnsFollowTheRowVectorRotation) {
    const QuarterTurn cases[] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},   // about +x: +y goes to +z
        {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}},  // and +z to -y
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   // about +z: +x goes to +y
        {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},   // about +y: +z goes to +x
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
    };
    for (const auto& c : cases) {
        Ref<Frame> f = lib->CreateFrame(nullptr);
        ASSERT_EQ(f->AddRotation(D3DRMCOMBINE_REPLACE, c.axis.x, c.axis.y, c.axis.z, kPi / 2), D3DRM_OK);
        ExpectNear(World(*f, c.local), c.expected);
    }
}

TEST_F(FrameTest, BeforeAppliesInOwnSpaceAfterInParentSpace) {
    Ref<Frame> before = lib->CreateFrame(nullptr);
    Ref<Frame> after = lib->CreateFrame(nullptr);
    for (Frame* f : {before.Get(), after.Get()}) f->AddTranslation(D3DRMCOMBINE_REPLACE, 1, 0, 0);
    before->AddRotation(D3DRMCOMBINE_BEFORE, 0, 0, 1, kPi / 2);
    after->AddRotation(D3DRMCOMBINE_AFTER, 0, 0, 1, kPi / 2);
    // BEFORE: turn (1,0,0) to (0,1,0), then move by (1,0,0).
    ExpectNear(World(*before, {1, 0, 0}), {1, 1, 0});
    // AFTER: move to (2,0,0), then turn about the parent's z to (0,2,0).
    ExpectNear(World(*after, {1, 0, 0}), {0, 2, 0});
}

TEST_F(FrameTest, ReplaceTakesTheMatrixRowByRow) {
    Ref<Frame> f = lib->CreateFrame(nullptr);
    Matrix4 m;
    m.m[0][0] = 2;  // x axis doubled
    m.m[3][0] = 5;  // origin (5, 6, 7)
    m.m[3][1] = 6;
    m.m[3][2] = 7;
    f->AddTransform(D3DRMCOMBINE_REPLACE, m);
    ExpectNear(World(*f, {1, 1, 1}), {7, 7, 8});
    Matrix4 back;
    f->GetTransform(&back);
    EXPECT_EQ(back, m);
}

TEST_F(FrameTest, ReparentedChildKeepsItsLocalMatrixAndFollowsTheNewParent) {
    Ref<Frame> a = lib->CreateFrame(nullptr);
    Ref<Frame> b = lib->CreateFrame(nullptr);
    a->SetPosition(nullptr, 10, 0, 0);
    b->SetPosition(nullptr, 0, 5, 0);
    b->AddRotation(D3DRMCOMBINE_BEFORE, 0, 0, 1, kPi / 2);
    Ref<Frame> child = lib->CreateFrame(a.Get());
    child->SetPosition(nullptr, 1, 2, 3);
    Matrix4 before;
    child->GetTransform(&before);
    ASSERT_EQ(b->AddChild(child.Get()), D3DRM_OK);
    Matrix4 after;
    child->GetTransform(&after);
    EXPECT_EQ(before, after);
    EXPECT_EQ(child->Parent(), b.Get());
    EXPECT_EQ(a->Children().size(), 0u);
    // (1,2,3) turned a quarter about z is (-2,1,3), then moved by (0,5,0).
    ExpectNear(World(*child, {0, 0, 0}), {-2, 6, 3});
}

TEST_F(FrameTest, AddChildRefusesCycles) {
    Ref<Frame> a = lib->CreateFrame(nullptr);
    Ref<Frame> b = lib->CreateFrame(a.Get());
    Ref<Frame> c = lib->CreateFrame(b.Get());
    EXPECT_NE(c->AddChild(a.Get()), D3DRM_OK);
    EXPECT_NE(a->AddChild(a.Get()), D3DRM_OK);
    EXPECT_EQ(a->Parent(), nullptr);
}

TEST_F(FrameTest, PositionRelativeToAnotherFrame) {
    Ref<Frame> root = lib->CreateFrame(nullptr);
    Ref<Frame> ref = lib->CreateFrame(root.Get());
    ref->SetPosition(nullptr, 0, 0, 10);
    ref->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, kPi / 2);
    Ref<Frame> f = lib->CreateFrame(root.Get());
    f->SetPosition(ref.Get(), 0, 0, 1);  // one unit along ref's z, which is the world's +x
    Vector p;
    f->GetPosition(nullptr, &p);
    ExpectNear(p, {1, 0, 10});
    f->GetPosition(ref.Get(), &p);
    ExpectNear(p, {0, 0, 1});
}

TEST_F(FrameTest, PositionRelativeToItselfMovesAlongItsOwnAxes) {
    Ref<Frame> f = lib->CreateFrame(nullptr);
    f->SetPosition(nullptr, 1, 2, 3);
    f->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, kPi / 2);  // own z = parent's +x
    f->SetPosition(f.Get(), 0, 0, 2);
    Vector p;
    f->GetPosition(nullptr, &p);
    ExpectNear(p, {3, 2, 3});
}

TEST_F(FrameTest, SetOrientationThenGetOrientationRelativeToAnotherFrame) {
    Ref<Frame> root = lib->CreateFrame(nullptr);
    Ref<Frame> ref = lib->CreateFrame(root.Get());
    ref->AddRotation(D3DRMCOMBINE_REPLACE, 0, 1, 0, kPi / 2);  // ref's z axis is the world's +x
    ref->SetPosition(nullptr, 3, 4, 5);
    Ref<Frame> f = lib->CreateFrame(root.Get());
    f->SetPosition(nullptr, 7, 0, 0);
    ASSERT_EQ(f->SetOrientation(ref.Get(), 0, 0, 1, 0, 1, 0), D3DRM_OK);
    Vector dir, up;
    f->GetOrientation(ref.Get(), &dir, &up);
    ExpectNear(dir, {0, 0, 1});
    ExpectNear(up, {0, 1, 0});
    f->GetOrientation(nullptr, &dir, &up);
    ExpectNear(dir, {1, 0, 0});
    ExpectNear(up, {0, 1, 0});
    // The position does not change, and x = y x z completes a left-handed frame.
    Vector p;
    f->GetPosition(nullptr, &p);
    ExpectNear(p, {7, 0, 0});
    ExpectNear(World(*f, {1, 0, 0}), {7, 0, -1});
}

TEST_F(FrameTest, OrientationTakesThePerpendicularPartOfUpAndRefusesParallel) {
    Ref<Frame> f = lib->CreateFrame(nullptr);
    ASSERT_EQ(f->SetOrientation(nullptr, 0, 0, 2, 0, 1, 1), D3DRM_OK);
    Vector dir, up;
    f->GetOrientation(nullptr, &dir, &up);
    ExpectNear(dir, {0, 0, 1});
    ExpectNear(up, {0, 1, 0});
    Matrix4 before;
    f->GetTransform(&before);
    EXPECT_NE(f->SetOrientation(nullptr, 0, 0, 1, 0, 0, 3), D3DRM_OK);
    EXPECT_NE(f->SetOrientation(nullptr, 0, 0, 0, 0, 1, 0), D3DRM_OK);
    // Values that are not numbers, or that overflow on the way, never reach the matrix.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    EXPECT_NE(f->SetOrientation(nullptr, nan, 0, 1, 0, 1, 0), D3DRM_OK);
    EXPECT_NE(f->SetOrientation(nullptr, 0, 0, 1, 0, inf, 0), D3DRM_OK);
    EXPECT_NE(f->SetOrientation(nullptr, 1, 1, 0, 3e38f, 3e38f, 1), D3DRM_OK);
    EXPECT_NE(f->SetPosition(nullptr, 0, nan, 0), D3DRM_OK);
    EXPECT_NE(f->SetPosition(nullptr, inf, 0, 0), D3DRM_OK);
    Matrix4 after;
    f->GetTransform(&after);
    EXPECT_EQ(before, after);
}

// An up that is nearly the direction (its perpendicular part just above the refusal bound) still
// gives perpendicular unit axes: the perpendicular part, a small difference of large numbers, is
// made perpendicular once more before it becomes the y axis. At any scale of the numbers.
TEST_F(FrameTest, OrientationFromAnUpNearlyAlongTheDirectionHasPerpendicularAxes) {
    struct Case {
        Vector dir, up;
    } cases[] = {
        {{1, 1, 1}, {1, 1, 1.000004f}},
        {{-1, -1, -1}, {1, 1.000003f, 1}},
        {{-1.15e-15f, -1.15e-15f, -1.15e-15f}, {-1.15e-15f, -1.15e-15f, -1.150004e-15f}},
        {{3, -2, 5}, {3.00002f, -2, 5}},
    };
    for (const Case& c : cases) {
        Ref<Frame> f = lib->CreateFrame(nullptr);
        ASSERT_EQ(f->SetOrientation(nullptr, c.dir.x, c.dir.y, c.dir.z, c.up.x, c.up.y, c.up.z), D3DRM_OK)
            << c.up.x << " " << c.up.y << " " << c.up.z;
        Vector dir, up;
        f->GetOrientation(nullptr, &dir, &up);
        EXPECT_NEAR(Dot(dir, up), 0.0f, 1e-6f) << c.up.x << " " << c.up.y << " " << c.up.z;
        EXPECT_NEAR(Length(dir), 1.0f, 1e-6f);
        EXPECT_NEAR(Length(up), 1.0f, 1e-6f);
        ExpectNear(dir, Normalized(c.dir));
    }
}

// The same floats, bit for bit (signs of zeros included).
bool SameBits(const Vector& a, const Vector& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// a · b in long double, beside the float arithmetic under test.
long double DotLong(const Vector& a, const Vector& b) {
    return (long double)a.x * b.x + (long double)a.y * b.y + (long double)a.z * b.z;
}

std::string Text(const Vector& v) {
    return std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z) + " (" +
           std::to_string(std::hypot(double(v.x), double(v.y), double(v.z))) + " long)";
}

struct HardOrientation {
    std::string what;
    Vector dir, up;
};

// Directions and ups whose float arithmetic goes wrong: tiny and huge ones (their squares leave
// the float range), an up that nearly follows the direction, the scene frame of a file that moved
// at every save and open, and random ones at every scale.
std::vector<HardOrientation> HardOrientations() {
    std::vector<HardOrientation> cases = {
        {"tiny", {1e-22f, 1e-22f, 1e-22f}, {0, 1e-22f, 0}},
        {"subnormal", {0, 0, 1.4e-45f}, {1.4e-45f, 1.4e-45f, 0}},
        {"huge", {3e38f, -3e38f, 1e38f}, {0, 1e30f, 2e30f}},
        {"tiny direction, huge up", {1e-30f, 0, 1e-30f}, {1e30f, 1e30f, 0}},
        {"up nearly along the direction", {1, 1, 1}, {1, 1, 1.000004f}},
        {"up nearly along a tiny direction",
         {-1.15e-15f, -1.15e-15f, -1.15e-15f},
         {-1.15e-15f, -1.15e-15f, -1.150004e-15f}},
        {"scene frame of the drifting file",
         {1.2830057743886055e-22f, 1.2830057743886055e-22f, 1.2830057743886055e-22f},
         {1.2830057743886055e-22f, 6.750503303010191e-07f, 6.750518082299095e-07f}},
        {"unit axes", {0, 0, 1}, {0, 1, 0}},
    };
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> component(-1, 1);
    std::uniform_int_distribution<int> exponent(-40, 37);
    auto scaled = [&](float scale) {
        return Vector{component(random) * scale, component(random) * scale, component(random) * scale};
    };
    for (int i = 0; i < 300; ++i) {
        const float dirScale = std::pow(10.0f, float(exponent(random)));
        const float upScale = std::pow(10.0f, float(exponent(random)));
        cases.push_back({"random " + std::to_string(i), scaled(dirScale), scaled(upScale)});
    }
    return cases;
}

// What a save and an open do to a frame: the orientation read back is set again. Once set, an
// orientation stays exactly as it is however often that happens, its axes are unit and at right
// angles to float accuracy, and the direction is the direction given.
TEST_F(FrameTest, OrientationSetOnceKeepsEveryBitThroughGetAndSetAgain) {
    constexpr double kFloatAccuracy = 4.0 * std::numeric_limits<float>::epsilon();
    for (const HardOrientation& c : HardOrientations()) {
        SCOPED_TRACE(c.what + ": dir " + Text(c.dir) + ", up " + Text(c.up));
        Ref<Frame> f = lib->CreateFrame(nullptr);
        const Vector& d = c.dir;
        const Vector& u = c.up;
        if (f->SetOrientation(nullptr, d.x, d.y, d.z, u.x, u.y, u.z) != D3DRM_OK) {
            // Only an up within a millionth of the direction's line may be refused: sin² ≤ 1e-12.
            const long double du = DotLong(d, u);
            EXPECT_LE(1 - du * du / (DotLong(d, d) * DotLong(u, u)), 1e-11L);
            continue;
        }
        Matrix4 once;
        f->GetTransform(&once);
        Vector dir1, up1;
        ASSERT_EQ(f->GetOrientation(nullptr, &dir1, &up1), D3DRM_OK);
        for (int round = 0; round < 3; ++round) {
            ASSERT_EQ(f->SetOrientation(nullptr, dir1.x, dir1.y, dir1.z, up1.x, up1.y, up1.z), D3DRM_OK);
            Vector dir2, up2;
            f->GetOrientation(nullptr, &dir2, &up2);
            EXPECT_TRUE(SameBits(dir2, dir1))
                << "round " << round << ": " << Text(dir2) << " after " << Text(dir1);
            EXPECT_TRUE(SameBits(up2, up1))
                << "round " << round << ": " << Text(up2) << " after " << Text(up1);
            Matrix4 again;
            f->GetTransform(&again);
            EXPECT_EQ(std::memcmp(&again, &once, sizeof once), 0) << "round " << round;
        }

        // Unit and at right angles, worked out in long double from the matrix.
        const Vector axes[3] = {{once.m[0][0], once.m[0][1], once.m[0][2]},
                                {once.m[1][0], once.m[1][1], once.m[1][2]},
                                {once.m[2][0], once.m[2][1], once.m[2][2]}};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(double(DotLong(axes[i], axes[j])), i == j ? 1.0 : 0.0, kFloatAccuracy)
                    << "axes " << i << " and " << j;
        // Right-handed: x = y × z, so x · (y × z) = 1.
        const Vector& y = axes[1];
        const Vector& z = axes[2];
        const long double triple = axes[0].x * ((long double)y.y * z.z - (long double)y.z * z.y) +
                                   axes[0].y * ((long double)y.z * z.x - (long double)y.x * z.z) +
                                   axes[0].z * ((long double)y.x * z.y - (long double)y.y * z.x);
        EXPECT_NEAR(double(triple), 1.0, kFloatAccuracy);
        // z is the direction given: a positive multiple of it.
        const long double length = std::sqrt(DotLong(d, d));
        EXPECT_NEAR(double(z.x), double(d.x / length), kFloatAccuracy);
        EXPECT_NEAR(double(z.y), double(d.y / length), kFloatAccuracy);
        EXPECT_NEAR(double(z.z), double(d.z / length), kFloatAccuracy);
    }
}

// Lengths of vectors whose squares leave the float range: the 3-4-5 triangle at every scale.
TEST_F(FrameTest, LengthAndDirectionOfTinyAndHugeVectorsAreRight) {
    for (const float scale : {1e-44f, 1e-30f, 1e-22f, 1.0f, 1e19f, 1e30f, 6e37f}) {
        SCOPED_TRACE(scale);
        const Vector v{3 * scale, 0, -4 * scale};
        const float expected = 5 * scale;
        // A subnormal scale is a whole number of the smallest steps: 3, 4 and 5 times it are exact.
        EXPECT_NEAR(Length(v), expected, expected * 2e-7f);
        const Vector unit = Normalized(v);
        EXPECT_NEAR(unit.x, 0.6f, 1e-7f);
        EXPECT_NEAR(unit.z, -0.8f, 1e-7f);
        EXPECT_EQ(unit.y, 0.0f);
    }
    EXPECT_EQ(Normalized({0, 0, 0}), (Vector{0, 0, 0}));
}

TEST_F(FrameTest, SetRotationThenMoveHalfTurnsByHalfTheAngle) {
    Ref<Frame> f = lib->CreateFrame(nullptr);
    f->SetPosition(nullptr, 1, 2, 3);
    f->SetRotation(nullptr, 0, 0, 1, kPi);
    f->Move(0.5f);
    // A quarter turn about z: the x axis now points along +y; the origin stays.
    ExpectNear(World(*f, {1, 0, 0}), {1, 3, 3});
    ExpectNear(World(*f, {0, 0, 0}), {1, 2, 3});
    f->SetRotation(nullptr, 0, 0, 0, 0);
    f->Move(1.0f);
    ExpectNear(World(*f, {1, 0, 0}), {1, 3, 3});
}

TEST_F(FrameTest, RotationAxisGivenInAReferenceFrameIsConvertedToTheParent) {
    Ref<Frame> root = lib->CreateFrame(nullptr);
    Ref<Frame> camera = lib->CreateFrame(root.Get());
    camera->AddRotation(D3DRMCOMBINE_REPLACE, 0, 1, 0, kPi / 2);  // camera z = world +x
    Ref<Frame> f = lib->CreateFrame(root.Get());
    f->SetRotation(camera.Get(), 0, 0, 1, kPi);  // about the camera's z, i.e. the world's x
    f->Move(0.5f);
    ExpectNear(World(*f, {0, 1, 0}), {0, 0, 1});
}

TEST_F(FrameTest, TransformAndInverseTransformRoundTrip) {
    Ref<Frame> a = lib->CreateFrame(nullptr);
    a->AddRotation(D3DRMCOMBINE_REPLACE, 1, 2, 3, 0.7f);
    a->AddScale(D3DRMCOMBINE_BEFORE, 2, 1, 0.5f);
    a->SetPosition(nullptr, 4, -2, 9);
    Ref<Frame> b = lib->CreateFrame(a.Get());
    b->AddRotation(D3DRMCOMBINE_REPLACE, 0, 1, 0, -1.1f);
    b->SetPosition(nullptr, -3, 1, 2);
    const Vector points[] = {{0, 0, 0}, {1, 2, 3}, {-5, 0.25f, 100}};
    for (const Vector& p : points) {
        Vector w, back;
        b->Transform(&w, &p);
        b->InverseTransform(&back, &w);
        ExpectNear(back, p, 1e-4f);
    }
}

TEST_F(FrameTest, HierarchyBoxCoversDescendantMeshesInTheFramesCoordinates) {
    Ref<Frame> root = lib->CreateFrame(nullptr);
    Box box;
    EXPECT_NE(root->GetHierarchyBox(&box), D3DRM_OK);
    EXPECT_EQ(box, Box{});
    Ref<Frame> child = lib->CreateFrame(root.Get());
    child->SetPosition(nullptr, 10, 0, 0);
    child->AddRotation(D3DRMCOMBINE_BEFORE, 0, 0, 1, kPi / 2);
    Ref<MeshBuilder> mesh = lib->CreateMeshBuilder();
    const Vector v[] = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}};
    const std::uint32_t faces[] = {3, 0, 0, 1, 0, 2, 0, 0};
    ASSERT_EQ(mesh->AddFaces(v, {}, faces), D3DRM_OK);
    child->AddVisual(mesh.Get());
    ASSERT_EQ(root->GetHierarchyBox(&box), D3DRM_OK);
    // (1,0,0) -> (0,1,0), (0,2,0) -> (-2,0,0), then moved by (10,0,0).
    ExpectNear(box.min, {8, 0, 0});
    ExpectNear(box.max, {10, 1, 0});
    ASSERT_EQ(child->GetHierarchyBox(&box), D3DRM_OK);
    ExpectNear(box.min, {0, 0, 0});
    ExpectNear(box.max, {1, 2, 0});
}

TEST_F(FrameTest, GetBoxAnswersOnlyASetBox) {
    Ref<Frame> f = lib->CreateFrame(nullptr);
    Box b;
    EXPECT_NE(f->GetBox(&b), D3DRM_OK);
    const Box set{{-1, -2, -3}, {1, 2, 3}};
    f->SetBox(&set);
    ASSERT_EQ(f->GetBox(&b), D3DRM_OK);
    EXPECT_EQ(b, set);
}

TEST_F(FrameTest, AttachedObjectsLiveWhileTheirFrameDoes) {
    Ref<Frame> root = lib->CreateFrame(nullptr);
    {
        Ref<Frame> child = lib->CreateFrame(root.Get());
        child->SetName("child");
        Ref<Light> light = lib->CreateLight(D3DRMLIGHT_POINT, 0xFF102030);
        light->SetName("lamp");
        child->AddLight(light.Get());
    }
    Ref<Object> child = lib->GetNamedObject("child");
    ASSERT_TRUE(child);
    EXPECT_TRUE(lib->GetNamedObject("lamp"));
    root = nullptr;  // the child is still held by `child`
    EXPECT_EQ(RefCast<Frame>(child)->Parent(), nullptr);
    EXPECT_TRUE(lib->GetNamedObject("lamp"));  // held by the child
    child = nullptr;
    EXPECT_FALSE(lib->GetNamedObject("child"));
    EXPECT_FALSE(lib->GetNamedObject("lamp"));
}

}  // namespace
