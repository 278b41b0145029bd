// The generator's building blocks: rotation conventions, face winding, the pose table and the
// text mesh writer (read back with the system's reader).
#include <gtest/gtest.h>

#include <cmath>

#include "Figure.h"
#include "Mesh.h"
#include "PoseTable.h"
#include "XFileWriter.h"
#include "support/CaseNames.h"
#include "xfile/XFileReader.h"

namespace {

using namespace datagen;

struct TurnCase {
    Vec3 axis;
    double degrees;
};

void PrintTo(const TurnCase& c, std::ostream* os) {
    *os << "axis " << c.axis.x << " " << c.axis.y << " " << c.axis.z
        << (c.degrees < 0 ? " turn minus " : " turn ") << std::abs(c.degrees);
}

class DatagenTurns : public ::testing::TestWithParam<TurnCase> {};

// A rotation key (s, x, y, z) = (cos(t/2), sin(t/2) axis) stands for the axis-angle matrix.
TEST_P(DatagenTurns, QuaternionOfATurnIsHalfAngleAndAxis) {
    const Vec3 axis = Normalised(GetParam().axis);
    const double t = Radians(GetParam().degrees);
    const Mat4 m = Mat4::Rotation(axis, GetParam().degrees);
    Quat q = QuatFromMatrix(m);
    Quat expected{std::cos(t / 2), std::sin(t / 2) * axis.x, std::sin(t / 2) * axis.y,
                  std::sin(t / 2) * axis.z};
    if (expected.s < 0) expected = {-expected.s, -expected.x, -expected.y, -expected.z};
    EXPECT_NEAR(q.s, expected.s, 1e-9);
    EXPECT_NEAR(q.x, expected.x, 1e-9);
    EXPECT_NEAR(q.y, expected.y, 1e-9);
    EXPECT_NEAR(q.z, expected.z, 1e-9);
    const Mat4 back = MatrixFromQuat(q);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(back.m[r][c], m.m[r][c], 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, DatagenTurns,
                         ::testing::Values(TurnCase{{1, 0, 0}, 90}, TurnCase{{0, 0, 1}, 90},
                                           TurnCase{{0, 1, 0}, -45}, TurnCase{{1, 2, 3}, 170},
                                           TurnCase{{0, 0, 1}, -160}, TurnCase{{1, 0, 0}, 0}),
                         testsupport::PrintedName());

TEST(DatagenTurns, QuarterTurnsTakeTheAxesAsTheLibraryDoes) {
    const Vec3 y = Mat4::Rotation({1, 0, 0}, 90).Direction({0, 1, 0});
    EXPECT_NEAR(y.z, 1, 1e-12);
    const Vec3 x = Mat4::Rotation({0, 0, 1}, 90).Direction({1, 0, 0});
    EXPECT_NEAR(x.y, 1, 1e-12);
}

struct ShapeCase {
    const char* name;
    Mesh mesh;
    Vec3 centre;
};

// Seen from outside, corners run clockwise: the cross product of the first edges points away from
// the shape's centre, and so does the stored normal.
void ExpectOutwards(const Mesh& m, const Vec3& centre, const char* name) {
    for (const auto& f : m.faces) {
        const Vec3 n = Cross(m.positions[f[1]] - m.positions[f[0]], m.positions[f[2]] - m.positions[f[0]]);
        Vec3 c;
        for (int i : f) c = c + m.positions[i];
        c = c * (1.0 / f.size());
        if (Length(n) < 1e-12) continue;
        EXPECT_GT(Dot(n, c - centre), 0) << name;
        EXPECT_GT(Dot(m.normals[f[0]], m.positions[f[0]] - centre), -1e-9) << name;
    }
}

TEST(DatagenShapes, FacesTurnTheirFrontOutwards) {
    LoftOptions closed;
    closed.segments = 12;
    closed.capStart = closed.capEnd = true;
    const ShapeCase cases[] = {
        {"ellipsoid", Ellipsoid({1, 2, 3}, {1, 2, 0.5}, 12, 6), {1, 2, 3}},
        {"loft",
         Loft({{1, 1, 1, 1, 0, 0, 0}, {0, 1.2, 1, 1, 0, 0, 0}, {-1, 1, 1, 1, 0, 0, 0}}, closed),
         {0, 0, 0}},
        {"upward loft", Loft({{-1, 1, 1, 1, 0, 0, 0}, {1, 1, 1, 1, 0, 0, 0}}, closed), {0, 0, 0}},
        {"capsule", Capsule({0, 0, 0}, {1, 1, 0}, 0.3, 8), {0.5, 0.5, 0}},
        {"box", Box({-1, -2, -3}, {1, 2, 3}), {0, 0, 0}},
    };
    for (const auto& c : cases) {
        ExpectOutwards(c.mesh, c.centre, c.name);
        FrameNode node{"FRM-T", {}, true, c.mesh, {}, {}};
        MirrorX(node);
        ExpectOutwards(node.mesh, {-c.centre.x, c.centre.y, c.centre.z}, c.name);
    }
}

struct TableCase {
    const char* text;
    bool ok;
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << testsupport::Printable(c.text); }

class DatagenPoseTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(DatagenPoseTable, AcceptsOnlyWellFormedTables) {
    std::string error;
    const auto poses = ParsePoseTable(GetParam().text, &error);
    EXPECT_EQ(poses.has_value(), GetParam().ok) << error;
    EXPECT_EQ(error.empty(), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DatagenPoseTable,
    ::testing::Values(TableCase{"POSE A label\nARML 0 0 5\n", true}, TableCase{"# only a comment\n", false},
                      TableCase{"ARML 0 0 5\n", false}, TableCase{"POSE A label\nELBOW 0 0 5\n", false},
                      TableCase{"POSE A label\nARML 0 5\n", false},
                      TableCase{"POSE A label\nANIM ARMR 0 0 0 1 100 0 0 2\n", false},
                      TableCase{"POSE A label\nANIM ARMR 0 0 0 1 50 0 0 2 100 0 0 1\n", true}),
    testsupport::PrintedName());

TEST(DatagenPoseTable, AnimatedJointsShowTheirKeyAtTimeFifty) {
    const auto poses = ParsePoseTable("POSE W wave\nANIM ARMR 0 0 0 -10 50 0 0 -90 100 0 0 -10\n", nullptr);
    ASSERT_TRUE(poses);
    const Vec3 arm = poses->front().Turn("ARMR").Direction({0, -1, 0});
    EXPECT_NEAR(arm.x, -1, 1e-9);
    EXPECT_TRUE(poses->front().Animated("ARMR"));
    EXPECT_FALSE(poses->front().Animated("ARML"));
}

TEST(DatagenXFile, RealsAreWrittenWithoutNegativeZero) {
    EXPECT_EQ(Real(-1e-9), "0.000000");
    EXPECT_EQ(Real(-0.0), "0.000000");
    EXPECT_EQ(Real(-1.5), "-1.500000");
}

TEST(DatagenXFile, WrittenPartReadsBackWithFramesMatrixMeshAndAnimation) {
    PartFile part;
    part.top.name = "FRM-TESTPART";
    Mesh mesh = Box({0, 0, 0}, {1, 2, 3});
    mesh.uvs.assign(mesh.positions.size(), {0.25, 0.75});
    part.top.MeshChild("FRM-BOX", mesh, Surface{{1, 0.5, 0, 1}, 10, {}, {}});
    const Mat4 link = Mat4::Rotation({0, 0, 1}, 30).WithOrigin({1, 2, 3});
    part.top.Child("FRM-LINK", link);
    part.animations.push_back(
        {"FRM-LINK", {0, 50, 100}, {Mat4{}, Mat4::Rotation({1, 0, 0}, 90).WithOrigin({1, 2, 3}), Mat4{}}});
    const std::string text = WriteXFile(part);

    auto rm = rm::Library::Create();
    CXFileReader reader;
    rm::Ref<rm::Frame> root;
    ASSERT_TRUE(reader.Load(text.data(), text.size(), rm.Get(), nullptr, &root));
    ASSERT_EQ(reader.Frames().size(), 3u);
    auto top = root->GetChildren().GetElement(0);
    EXPECT_EQ(top->GetName(), "FRM-TESTPART");
    auto children = top->GetChildren();
    ASSERT_EQ(children.GetSize(), 2u);
    auto box = rm::RefCast<rm::MeshBuilder>(children[0]->GetVisuals().GetElement(0));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->GetVertexCount(), mesh.positions.size());
    EXPECT_EQ(box->GetFaceCount(), mesh.faces.size());
    EXPECT_FLOAT_EQ(box->TexCoords()[3].v, 0.75f);
    rm::Matrix4 m;
    children[1]->GetTransform(&m);
    EXPECT_NEAR(m.m[0][1], std::sin(Radians(30)), 1e-6);
    EXPECT_FLOAT_EQ(m.m[3][2], 3.0f);
    ASSERT_NE(reader.GetAnimationSet(), nullptr);
    reader.GetAnimationSet()->SetTime(50);
    children[1]->GetTransform(&m);
    EXPECT_NEAR(m.m[1][2], 1.0f, 1e-5);  // a quarter turn about +x takes +y to +z
    EXPECT_NEAR(m.m[3][1], 2.0f, 1e-5);
}

}  // namespace
