// Frame algebra against hand-computed results.

#include <gtest/gtest.h>

#include <limits>

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
