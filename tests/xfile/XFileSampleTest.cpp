// A file laid out like the part meshes of the sample content: top-level materials, one top frame
// named after the part with its mesh, link frames for the parts that hang on it, a child frame with
// a mesh of its own, and an animation set that poses a link frame. Checked frame by frame.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "XFileTestSupport.h"

namespace {

// Corner i of a box: bit 0 chooses x, bit 1 y, bit 2 z (min or max).
const int kBoxFaces[6][4] = {{0, 2, 3, 1}, {5, 7, 6, 4}, {4, 6, 2, 0},
                             {1, 3, 7, 5}, {2, 6, 7, 3}, {4, 0, 1, 5}};
const rm::Vector kBoxNormals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};

std::string Real(float v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.6f", v);
    return b;
}

std::string BoxMesh(const char* name, rm::Vector lo, rm::Vector hi, const std::string& materialList) {
    std::string s = "  Mesh " + std::string(name) + " {\n   8;\n";
    for (int i = 0; i < 8; ++i) {
        s += "   " + Real(i & 1 ? hi.x : lo.x) + ";" + Real(i & 2 ? hi.y : lo.y) + ";" +
             Real(i & 4 ? hi.z : lo.z) + (i < 7 ? ";,\n" : ";;\n");
    }
    s += "   6;\n";
    for (int f = 0; f < 6; ++f) {
        s += "   4;" + std::to_string(kBoxFaces[f][0]) + "," + std::to_string(kBoxFaces[f][1]) + "," +
             std::to_string(kBoxFaces[f][2]) + "," + std::to_string(kBoxFaces[f][3]) +
             (f < 5 ? ";,\n" : ";;\n");
    }
    s += materialList;
    s += "   MeshNormals {\n    6;\n";
    for (int f = 0; f < 6; ++f)
        s += "    " + Real(kBoxNormals[f].x) + ";" + Real(kBoxNormals[f].y) + ";" + Real(kBoxNormals[f].z) +
             (f < 5 ? ";,\n" : ";;\n");
    s += "    6;\n";
    for (int f = 0; f < 6; ++f) {
        const std::string n = std::to_string(f);
        s += "    4;" + n + "," + n + "," + n + "," + n + (f < 5 ? ";,\n" : ";;\n");
    }
    s += "   }\n   MeshTextureCoords {\n    8;\n";
    for (int i = 0; i < 8; ++i)
        s += std::string("    ") + (i & 1 ? "1.0" : "0.0") + ";" + (i & 2 ? "0.0" : "1.0") +
             (i < 7 ? ";,\n" : ";;\n");
    s += "   }\n  }\n";
    return s;
}

std::string Translation(float x, float y, float z) {
    return "  FrameTransformMatrix {\n   1.000000,0.000000,0.000000,0.000000,\n   "
           "0.000000,1.000000,0.000000,0.000000,\n"
           "   0.000000,0.000000,1.000000,0.000000,\n   " +
           Real(x) + "," + Real(y) + "," + Real(z) + ",1.000000;;\n  }\n";
}

std::string SampleFile() {
    std::string s(kXHeader);
    s += "\nHeader {\n 1;\n 0;\n 1;\n}\n\n";
    s += "Material SKIN {\n 1.000000;0.800000;0.600000;1.000000;;\n 10.000000;\n "
         "0.200000;0.200000;0.200000;;\n"
         " 0.000000;0.000000;0.000000;;\n}\n";
    s +=
        "Material EYE {\n 1.000000;1.000000;1.000000;1.000000;;\n 40.000000;\n 1.000000;1.000000;1.000000;;\n"
        " 0.000000;0.000000;0.000000;;\n TextureFilename {\n  \"eye.bmp\";\n }\n}\n\n";
    s += "Frame BODY {\n" + Translation(0, 0, 0) +
         BoxMesh("body", {-1, 0, -0.5f}, {1, 3, 0.5f},
                 "   MeshMaterialList {\n    1;\n    6;\n    0,\n    0,\n    0,\n    0,\n    0,\n    0;;\n   "
                 " {SKIN}\n   }\n");
    s += " Frame HEAD {\n" + Translation(0, 3, 0) +
         BoxMesh("head", {-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f},
                 "   MeshMaterialList {\n    2;\n    6;\n    1,\n    0,\n    0,\n    0,\n    0,\n    0;;\n   "
                 " {SKIN}\n"
                 "    {EYE}\n   }\n") +
         " }\n";
    s += " Frame ARML {\n" + Translation(-1.25f, 2.75f, 0) + " }\n";
    s += " Frame ARMR {\n" + Translation(1.25f, 2.75f, 0) + " }\n";
    s += "}\n\n";
    s += "AnimationSet {\n Animation {\n  {ARML}\n  AnimationKey {\n   2;\n   2;\n   "
         "0;3;-1.250000,2.750000,0.000000;;,\n"
         "   100;3;-1.250000,3.250000,0.000000;;;\n  }\n }\n}\n";
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

// Every face's corners are the box's corners in file order, each with the face's own normal.
void ExpectBoxFaces(const rm::MeshBuilder& mesh, const char* what) {
    ASSERT_EQ(mesh.GetFaceCount(), 6u) << what;
    ASSERT_EQ(mesh.GetNormalCount(), 6u) << what;
    for (std::uint32_t f = 0; f < 6; ++f) {
        const rm::Face& face = *mesh.Faces()[f];
        ASSERT_EQ(face.GetVertexCount(), 4u) << what;
        for (std::uint32_t k = 0; k < 4; ++k) {
            const rm::Corner& c = mesh.Corners()[face.FirstCorner() + k];
            EXPECT_EQ(c.vertex, static_cast<std::uint32_t>(kBoxFaces[f][k])) << what << " face " << f;
            EXPECT_EQ(mesh.Normals()[c.normal], kBoxNormals[f]) << what << " face " << f;
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

    // Materials: one for the whole body, the eye material on the head's front face only.
    ASSERT_EQ(p->reader.Materials().size(), 2u);
    rm::Material* skin = p->reader.Materials()[0].material.Get();
    rm::Material* eye = p->reader.Materials()[1].material.Get();
    for (const auto& face : bodyMesh->Faces()) {
        EXPECT_EQ(face->GetColor(), 0xFFFFCC99u);
        EXPECT_EQ(face->MaterialPtr(), skin);
    }
    EXPECT_EQ(headMesh->GetFace(0)->GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(headMesh->GetFace(0)->MaterialPtr(), eye);
    EXPECT_EQ(eye->GetPower(), 40.0f);
    for (std::uint32_t f = 1; f < 6; ++f) EXPECT_EQ(headMesh->GetFace(f)->MaterialPtr(), skin);

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
