// Files whose counts and contents disagree: the mesh concerned is dropped, nothing outside the
// arrays is touched (the sanitizer build checks that), and what comes before and after is read.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XFileTestSupport.h"

namespace {

constexpr std::string_view kVertices = "4;\n0;0;0;,\n1;0;0;,\n1;1;0;,\n0;1;0;;\n";
constexpr std::string_view kFaces = "2;\n3;0,1,2;,\n3;0,2,3;;\n";
constexpr std::string_view kNormals = "MeshNormals {\n1;\n0;0;-1;;\n2;\n3;0,0,0;,\n3;0,0,0;;\n}\n";
constexpr std::string_view kMaterials =
    "Material Red {\n1;0;0;1;;\n5;\n1;1;1;;\n0;0;0;;\n}\nMaterial Blue "
    "{\n0;0;1;1;;\n5;\n1;1;1;;\n0;0;0;;\n}\n";

std::string GoodMesh() {
    return "Mesh good {\n" + std::string(kVertices) + std::string(kFaces) + std::string(kNormals) + "}\n";
}

std::string Around(const std::string& badMesh) {
    return std::string(kXHeader) + std::string(kMaterials) + "Frame Before {\n" + GoodMesh() + "}\n" +
           "Frame Bad {\n" + badMesh + "}\n" + "Frame After {\n" + GoodMesh() + "}\n";
}

std::string Mesh(std::string_view a, std::string_view b = {}, std::string_view c = {},
                 std::string_view d = {}) {
    return "Mesh bad {\n" + std::string(a) + std::string(b) + std::string(c) + std::string(d) + "}\n";
}

struct Row {
    const char* what;
    std::string mesh;
};

TEST(XFileMalformed, DisagreeingMeshIsDroppedAndReadingGoesOn) {
    const Row rows[] = {
        {"face count larger than the faces given", Mesh(kVertices, "5;\n3;0,1,2;,\n3;0,2,3;;\n", kNormals)},
        {"vertex index past the vertices", Mesh(kVertices, "2;\n3;0,1,4;,\n3;0,2,3;;\n", kNormals)},
        {"negative vertex index", Mesh(kVertices, "2;\n3;0,-1,2;,\n3;0,2,3;;\n", kNormals)},
        {"normal index past the normals",
         Mesh(kVertices, kFaces, "MeshNormals {\n1;\n0;0;-1;;\n2;\n3;0,0,1;,\n3;0,0,0;;\n}\n")},
        {"material index past the list",
         Mesh(kVertices, kFaces, "MeshMaterialList {\n2;\n2;\n0,\n2;;\n{Red}\n{Blue}\n}\n", kNormals)},
        {"face of seven corners", Mesh(kVertices, "2;\n7;0,1,2,3,0,1,2;,\n3;0,2,3;;\n", kNormals)},
        {"face of two corners", Mesh(kVertices, "2;\n2;0,1;,\n3;0,2,3;;\n", kNormals)},
        {"face of no corners", Mesh(kVertices, "2;\n0;,\n3;0,2,3;;\n", kNormals)},
        {"vertex count larger than the vertices given",
         Mesh("10;\n0;0;0;,\n1;0;0;,\n1;1;0;,\n0;1;0;;\n", kFaces, kNormals)},
        {"normals for fewer faces",
         Mesh(kVertices, kFaces, "MeshNormals {\n1;\n0;0;-1;;\n1;\n3;0,0,0;;\n}\n")},
        {"normals for more faces",
         Mesh(kVertices, kFaces, "MeshNormals {\n1;\n0;0;-1;;\n3;\n3;0,0,0;,\n3;0,0,0;,\n3;0,0,0;;\n}\n")},
        {"normal face of other corner count",
         Mesh(kVertices, kFaces, "MeshNormals {\n1;\n0;0;-1;;\n2;\n4;0,0,0,0;,\n3;0,0,0;;\n}\n")},
        {"normal count larger than the normals given",
         Mesh(kVertices, kFaces, "MeshNormals {\n5;\n0;0;-1;;\n2;\n3;0,0,0;,\n3;0,0,0;;\n}\n")},
        {"fewer texture coordinates than vertices",
         Mesh(kVertices, kFaces, kNormals, "MeshTextureCoords {\n4;\n0;0;,\n1;0;;\n}\n")},
        {"negative face count", Mesh(kVertices, "-1;\n3;0,1,2;,\n3;0,2,3;;\n", kNormals)},
        {"huge face count", Mesh(kVertices, "999999999;\n3;0,1,2;,\n3;0,2,3;;\n", kNormals)},
        {"huge normal count", Mesh(kVertices, kFaces, "MeshNormals {\n2000000000;\n0;0;-1;;\n}\n")},
        {"huge material index count",
         Mesh(kVertices, kFaces, "MeshMaterialList {\n1;\n2000000000;\n0;;\n{Red}\n}\n", kNormals)},
        {"huge material count",
         Mesh(kVertices, kFaces, "MeshMaterialList {\n2000000000;\n1;\n0;;\n{Red}\n}\n", kNormals)},
        {"inline material cut short",
         Mesh(kVertices, kFaces, "MeshMaterialList {\n1;\n2;\n0,\n0;;\nMaterial {\n1;0;0;\n}\n}\n",
              kNormals)},
        {"reference with two names in its braces",
         Mesh(kVertices, kFaces, "MeshMaterialList {\n1;\n2;\n0,\n0;;\n{ Red Blue }\n}\n", kNormals)},
        {"no vertex count", Mesh("")},
        {"huge vertex count", Mesh("2000000000;\n0;0;0;;\n", kFaces, kNormals)},
        {"two vertices", Mesh("2;\n0;0;0;,\n1;1;1;;\n", kFaces, kNormals)},
    };
    for (const Row& row : rows) {
        auto p = ParseXFile(Around(row.mesh));
        EXPECT_TRUE(p->loaded) << row.what;
        rm::Frame* before = ChildNamed(p->root.Get(), "Before");
        rm::Frame* bad = ChildNamed(p->root.Get(), "Bad");
        rm::Frame* after = ChildNamed(p->root.Get(), "After");
        ASSERT_NE(before, nullptr) << row.what;
        ASSERT_NE(bad, nullptr) << row.what;
        ASSERT_NE(after, nullptr) << row.what;
        EXPECT_EQ(before->Visuals().size(), 1u) << row.what;
        EXPECT_TRUE(bad->Visuals().empty()) << row.what;
        ASSERT_EQ(after->Visuals().size(), 1u) << row.what;
        ASSERT_NE(MeshOf(after), nullptr) << row.what;
        EXPECT_EQ(MeshOf(after)->GetFaceCount(), 2u) << row.what;
    }
}

TEST(XFileMalformed, IncompleteMatrixIsNotApplied) {
    auto p =
        ParseXFile(std::string(kXHeader) + "Frame A {\nFrameTransformMatrix {\n2,0,0,0,\n0,2,0,0;;\n}\n" +
                   GoodMesh() + "}\nFrame After {\n}\n");
    rm::Frame* a = ChildNamed(p->root.Get(), "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->LocalMatrix(), rm::Matrix4{});
    EXPECT_EQ(a->Visuals().size(), 1u);
    EXPECT_NE(ChildNamed(p->root.Get(), "After"), nullptr);
}

TEST(XFileMalformed, TopLevelMaterialCutShortIsNotKept) {
    auto p = ParseXFile(std::string(kXHeader) +
                        "Material Short {\n1;0;0;\n}\nMaterial Full {\n1;0;0;1;;\n5;\n1;1;1;;\n0;0;0;;\n}\n");
    ASSERT_EQ(p->reader.Materials().size(), 1u);
    EXPECT_EQ(p->reader.Materials()[0].name, "Full");
}

// A small file touching every kind of block, cut at every length: no cut reads outside the text
// (each prefix lies in a buffer of exactly its size) and no cut builds more than the whole file.
TEST(XFileMalformed, EveryPrefixOfAFileReadsSafely) {
    const std::string full =
        std::string(kXHeader) + "template T {\n<1234>\n}\n" + std::string(kMaterials) +
        "Frame Body {\nFrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\n}\n"
        "Mesh m {\n" +
        std::string(kVertices) + std::string(kFaces) +
        "MeshMaterialList {\n2;\n2;\n0,\n1;;\n{Red}\nMaterial {\n0;1;0;1;;\n1;\n0;0;0;;\n0;0;0;;\n"
        "TextureFilename {\n\"a.bmp\";\n}\n}\n}\n" +
        std::string(kNormals) +
        "MeshTextureCoords {\n4;\n0;0;,\n1;0;,\n1;1;,\n0;1;;\n}\n}\n"
        "Frame Arm {\n}\n}\n"
        "AnimationSet {\nAnimation {\n{Arm}\nAnimationKey {\n0;\n2;\n0;4;1,0,0,0;;,\n"
        "100;4;0,1,0,0;;;\n}\n}\n}\n";
    auto whole = ParseXFile(full);
    ASSERT_EQ(whole->reader.Frames().size(), 2u);
    ASSERT_NE(whole->reader.GetAnimationSet(), nullptr);
    ASSERT_EQ(whole->reader.GetAnimationSet()->Animations().size(), 1u);
    for (std::size_t n = 0; n <= full.size(); ++n) {
        std::vector<char> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        auto lib = rm::Library::Create();
        CXFileReader reader;
        rm::Ref<rm::Frame> root;
        const bool ok = reader.Load(cut.data(), cut.size(), lib.Get(), nullptr, &root);
        EXPECT_EQ(ok, n > 0) << n;
        ASSERT_TRUE(root) << n;
        EXPECT_LE(reader.Frames().size(), 2u) << n;
        EXPECT_LE(reader.Materials().size(), 2u) << n;
    }
}

}  // namespace
