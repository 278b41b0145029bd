// A file laid out like the part meshes of the sample content: top-level materials, one top frame
// named after the part with its mesh, link frames for the parts that hang on it, a child frame with
// a mesh of its own, and an animation set that poses a link frame. Checked frame by frame.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "XFileTestSupport.h"

namespace {

// Corner i of a box: bit 0 chooses x, bit 1 y, bit 2 z (min or max). Normals are per vertex, pointing
// from the box's centre through the corner, and the normal indices repeat the vertex indices.
const int kBoxFaces[6][4] = {{0, 2, 3, 1}, {5, 7, 6, 4}, {4, 6, 2, 0},
                             {1, 3, 7, 5}, {2, 6, 7, 3}, {4, 0, 1, 5}};
constexpr float kD = 0.577350f;  // 1 / sqrt(3), as written with six decimals

rm::Vector CornerNormal(int i) {
    return {i & 1 ? kD : -kD, i & 2 ? kD : -kD, i & 4 ? kD : -kD};
}

std::string Real(float v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.6f", v);
    return b;
}

std::string FaceList(const char* indent) {
    std::string s = std::string(indent) + "6;\n";
    for (int f = 0; f < 6; ++f) {
        s += std::string(indent) + "4;" + std::to_string(kBoxFaces[f][0]) + "," +
             std::to_string(kBoxFaces[f][1]) + "," + std::to_string(kBoxFaces[f][2]) + "," +
             std::to_string(kBoxFaces[f][3]) + (f < 5 ? ";,\n" : ";;\n");
    }
    return s;
}

std::string Vectors(const char* indent, rm::Vector (*at)(int, rm::Vector, rm::Vector), rm::Vector lo,
                    rm::Vector hi) {
    std::string s = std::string(indent) + "8;\n";
    for (int i = 0; i < 8; ++i) {
        const rm::Vector v = at(i, lo, hi);
        s += std::string(indent) + Real(v.x) + ";" + Real(v.y) + ";" + Real(v.z) + (i < 7 ? ";,\n" : ";;\n");
    }
    return s;
}

rm::Vector Corner(int i, rm::Vector lo, rm::Vector hi) {
    return {i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z};
}

rm::Vector Normal(int i, rm::Vector, rm::Vector) {
    return CornerNormal(i);
}

// A mesh as the sample content writes it: unnamed, one inline material for all faces before the
// normals, texture coordinates after them.
std::string BoxMesh(rm::Vector lo, rm::Vector hi, const char* colour) {
    std::string s = "  Mesh {\n" + Vectors("   ", Corner, lo, hi) + FaceList("   ");
    s += "   MeshMaterialList {\n    1;\n    6;\n    0,0,0,0,0,0;;\n    Material {\n     " +
         std::string(colour) +
         ";;\n     10.000000;\n     0.200000;0.200000;0.200000;;\n     0.000000;0.000000;0.000000;;\n    }\n "
         "  }\n";
    s += "   MeshNormals {\n" + Vectors("    ", Normal, lo, hi) + FaceList("    ") + "   }\n";
    s += "   MeshTextureCoords {\n    8;\n";
    for (int i = 0; i < 8; ++i)
        s += std::string("    ") + (i & 1 ? "1.000000" : "0.000000") + ";" +
             (i & 2 ? "0.000000" : "1.000000") + (i < 7 ? ";,\n" : ";;\n");
    s += "   }\n  }\n";
    return s;
}

std::string Translation(float x, float y, float z) {
    return "  FrameTransformMatrix {\n   "
           "1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,"
           "0.000000,0.000000,1.000000,0.000000," +
           Real(x) + "," + Real(y) + "," + Real(z) + ",1.000000;;\n  }\n";
}

std::string Keys(int type, const char* first, const char* last) {
    const char* count = type == 0 ? "4;" : "3;";
    return "  AnimationKey {\n   " + std::to_string(type) + ";\n   2;\n   0;" + count + first +
           ";;,\n   100;" + count + last + ";;;\n  }\n";
}

std::string SampleFile() {
    std::string s = "xof 0302txt 0032\nHeader {\n 1;\n 0;\n 1;\n}\n\n";
    s += "Frame BODY {\n" + Translation(0, 0, 0) +
         BoxMesh({-1, 0, -0.5f}, {1, 3, 0.5f}, "1.000000;0.800000;0.600000;1.000000");
    s += " Frame HEAD {\n" + Translation(0, 3, 0) +
         BoxMesh({-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}, "1.000000;0.800000;0.600000;1.000000") + " }\n";
    s += " Frame ARML {\n" + Translation(-1.25f, 2.75f, 0) + " }\n";
    s += " Frame ARMR {\n" + Translation(1.25f, 2.75f, 0) + " }\n";
    s += "}\n\nAnimationSet POSE {\n";
    s += " Animation ANIM0 {\n  {ARML}\n" +
         Keys(0, "1.000000,0.000000,0.000000,0.000000", "0.707107,0.000000,0.000000,0.707107") +
         Keys(1, "1.000000,1.000000,1.000000", "1.000000,1.000000,1.000000") +
         Keys(2, "-1.250000,2.750000,0.000000", "-1.250000,3.250000,0.000000") + " }\n";
    s += "}\n";
    return s;
}

void ExpectBox(const rm::Box& box, rm::Vector lo, rm::Vector hi, const char* what) {
    EXPECT_FLOAT_EQ(box.min.x, lo.x) << what;
    EXPECT_FLOAT_EQ(box.min.y, lo.y) << what;
    EXPECT_FLOAT_EQ(box.min.z, lo.z) << what;
    EXPECT_FLOAT_EQ(box.max.x, hi.x) << what;
    EXPECT_FLOAT_EQ(box.max.y, hi.y) << what;
    EXPECT_FLOAT_EQ(box.max.z, hi.z) << what;
}

// Every face's corners are the box's corners in file order, each with its vertex's normal.
void ExpectBoxFaces(const rm::MeshBuilder& mesh, const char* what) {
    ASSERT_EQ(mesh.GetFaceCount(), 6u) << what;
    ASSERT_EQ(mesh.GetNormalCount(), 8u) << what;
    for (std::uint32_t f = 0; f < 6; ++f) {
        const rm::Face& face = *mesh.Faces()[f];
        ASSERT_EQ(face.GetVertexCount(), 4u) << what;
        for (std::uint32_t k = 0; k < 4; ++k) {
            const rm::Corner& c = mesh.Corners()[face.FirstCorner() + k];
            EXPECT_EQ(c.vertex, static_cast<std::uint32_t>(kBoxFaces[f][k])) << what << " face " << f;
            EXPECT_EQ(mesh.Normals()[c.normal], CornerNormal(kBoxFaces[f][k])) << what << " face " << f;
        }
    }
}

TEST(XFileSample, HierarchyBoxesNormalsMaterialsAndPose) {
    auto p = ParseXFile(SampleFile());
    ASSERT_TRUE(p->loaded);
    rm::Frame* root = p->root.Get();

    // The top frame is the root's only child; the link frames follow the head in file order.
    ASSERT_EQ(root->Children().size(), 1u);
    rm::Frame* body = root->Children()[0].Get();
    EXPECT_EQ(body->GetName(), "BODY");
    ASSERT_EQ(body->Children().size(), 3u);
    EXPECT_EQ(body->Children()[0]->GetName(), "HEAD");
    EXPECT_EQ(body->Children()[1]->GetName(), "ARML");
    EXPECT_EQ(body->Children()[2]->GetName(), "ARMR");
    rm::Frame* head = body->Children()[0].Get();
    rm::Frame* arml = body->Children()[1].Get();
    rm::Frame* armr = body->Children()[2].Get();
    EXPECT_TRUE(head->Children().empty());
    EXPECT_TRUE(arml->Visuals().empty());
    ASSERT_EQ(p->reader.Frames().size(), 4u);

    // Frames and their placement.
    rm::Vector pos;
    ASSERT_TRUE(rm::Succeeded(head->GetPosition(root, &pos)));
    EXPECT_EQ(pos, (rm::Vector{0, 3, 0}));
    ASSERT_TRUE(rm::Succeeded(armr->GetPosition(root, &pos)));
    EXPECT_EQ(pos, (rm::Vector{1.25f, 2.75f, 0}));

    // Meshes, their boxes and the hierarchy boxes.
    rm::MeshBuilder* bodyMesh = MeshOf(body);
    rm::MeshBuilder* headMesh = MeshOf(head);
    ASSERT_NE(bodyMesh, nullptr);
    ASSERT_NE(headMesh, nullptr);
    rm::Box box;
    ASSERT_TRUE(rm::Succeeded(bodyMesh->GetBox(&box)));
    ExpectBox(box, {-1, 0, -0.5f}, {1, 3, 0.5f}, "body mesh");
    ASSERT_TRUE(rm::Succeeded(head->GetHierarchyBox(&box)));
    ExpectBox(box, {-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}, "head hierarchy");
    ASSERT_TRUE(rm::Succeeded(body->GetHierarchyBox(&box)));
    ExpectBox(box, {-1, 0, -0.5f}, {1, 4, 0.5f}, "body hierarchy");
    EXPECT_FALSE(rm::Succeeded(arml->GetHierarchyBox(&box)));

    ExpectBoxFaces(*bodyMesh, "body");
    ExpectBoxFaces(*headMesh, "head");

    // Each mesh's one inline material colours all its faces.
    EXPECT_TRUE(p->reader.Materials().empty());
    for (const rm::MeshBuilder* mesh : {bodyMesh, headMesh}) {
        const rm::Material* material = mesh->GetFace(0)->MaterialPtr();
        ASSERT_NE(material, nullptr);
        EXPECT_EQ(material->GetPower(), 10.0f);
        EXPECT_EQ(material->Specular(), (rm::Vector{0.2f, 0.2f, 0.2f}));
        for (const auto& face : mesh->Faces()) {
            EXPECT_EQ(face->GetColor(), 0xFFFFCC99u);
            EXPECT_EQ(face->MaterialPtr(), material);
        }
    }
    EXPECT_NE(bodyMesh->GetFace(0)->MaterialPtr(), headMesh->GetFace(0)->MaterialPtr());

    // Texture coordinates: none sums to zero, so both directions wrap.
    EXPECT_TRUE(bodyMesh->WrapU());
    EXPECT_TRUE(bodyMesh->WrapV());
    float u, v;
    ASSERT_TRUE(rm::Succeeded(bodyMesh->GetTextureCoordinates(3, &u, &v)));
    EXPECT_EQ(u, 1.0f);
    EXPECT_EQ(v, 0.0f);

    // The animation poses the left arm's link frame at time 50, as part loading does.
    rm::AnimationSet* set = p->reader.GetAnimationSet();
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->Animations().size(), 1u);
    EXPECT_EQ(set->Animations()[0]->GetFrame(), arml);
    set->SetTime(50.0f);
    ASSERT_TRUE(rm::Succeeded(arml->GetPosition(body, &pos)));
    EXPECT_FLOAT_EQ(pos.x, -1.25f);
    EXPECT_FLOAT_EQ(pos.y, 3.0f);
    EXPECT_FLOAT_EQ(pos.z, 0.0f);
    // Half way from no turn to a quarter turn about +z: an eighth turn, scale 1.
    rm::Vector dir, up;
    ASSERT_TRUE(rm::Succeeded(arml->GetOrientation(body, &dir, &up)));
    EXPECT_NEAR(dir.z, 1.0f, 1e-5f);
    EXPECT_NEAR(up.x, -std::sin(0.25f * 3.14159265f), 1e-4f);
    EXPECT_NEAR(up.y, std::cos(0.25f * 3.14159265f), 1e-4f);
}

TEST(XFileSample, ReaderReleasesEverythingItHeld) {
    auto lib = rm::Library::Create();
    const std::string text = SampleFile();
    rm::Ref<rm::Frame> root;
    {
        CXFileReader reader;
        ASSERT_TRUE(reader.Load(text.data(), text.size(), lib.Get(), nullptr, &root));
    }
    ASSERT_TRUE(root);
    EXPECT_EQ(root->RefCount(), 1u);
    // What hangs in the hierarchy lives on; the rest (animation set, its animation) is gone.
    std::size_t frames = 0, meshes = 0, animations = 0;
    lib->EnumerateObjects([&](rm::Object* o) {
        const std::string kind = o->GetClassName();
        frames += kind == "Frame";
        meshes += kind == "MeshBuilder";
        animations += kind == "Animation" || kind == "AnimationSet";
    });
    EXPECT_EQ(frames, 5u);
    EXPECT_EQ(meshes, 2u);
    EXPECT_EQ(animations, 0u);
    root = nullptr;
    EXPECT_EQ(lib->LiveObjectCount(), 0u);
}

}  // namespace
