// The reader on small files, one behaviour each: blocks, frames, meshes, materials, texture
// coordinates, animation keys and where reading stops.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "XFileTestSupport.h"

namespace {

std::string X(std::string_view body) {
    return std::string(kXHeader) + std::string(body);
}

// A unit quad as two triangles facing -z, with one normal.
constexpr std::string_view kQuadGeometry =
    "4;\n0.0;0.0;0.0;,\n1.0;0.0;0.0;,\n1.0;1.0;0.0;,\n0.0;1.0;0.0;;\n"
    "2;\n3;0,1,2;,\n3;0,2,3;;\n";
constexpr std::string_view kQuadNormals = "MeshNormals {\n1;\n0.0;0.0;-1.0;;\n2;\n3;0,0,0;,\n3;0,0,0;;\n}\n";

std::string QuadMesh(std::string_view before = {}, std::string_view after = {}) {
    return "Mesh quad {\n" + std::string(kQuadGeometry) + std::string(before) + std::string(kQuadNormals) +
           std::string(after) + "}\n";
}

constexpr std::string_view kRedBlue =
    "Material Red {\n1.0;0.0;0.0;1.0;;\n5.0;\n1.0;1.0;1.0;;\n0.0;0.0;0.0;;\n}\n"
    "Material Blue {\n0.0;0.0;1.0;1.0;;\n8.0;\n0.5;0.5;0.5;;\n0.25;0.0;0.0;;\n}\n";

TEST(XFileReader, HeaderOnlyFileGivesAnEmptyRootAndTrue) {
    auto p = ParseXFile(X("Header {\n1;\n0;\n1;\n}\n"));
    EXPECT_TRUE(p->loaded);
    ASSERT_TRUE(p->root);
    EXPECT_TRUE(p->root->Children().empty());
    EXPECT_TRUE(p->root->Visuals().empty());
    EXPECT_EQ(p->reader.GetAnimationSet(), nullptr);
}

TEST(XFileReader, EmptyTextIsFalseButTheRootExists) {
    auto lib = rm::Library::Create();
    CXFileReader reader;
    rm::Ref<rm::Frame> root;
    EXPECT_FALSE(reader.Load("", 0, lib.Get(), nullptr, &root));
    EXPECT_TRUE(root);
}

TEST(XFileReader, NoLibraryIsFalse) {
    CXFileReader reader;
    rm::Ref<rm::Frame> root;
    const std::string text = X("Header { }\n");
    EXPECT_FALSE(reader.Load(text.data(), text.size(), nullptr, nullptr, &root));
    EXPECT_FALSE(root);
}

TEST(XFileReader, RootHangsUnderTheParentAndTheCallerHoldsItsOwnReference) {
    auto lib = rm::Library::Create();
    rm::Ref<rm::Frame> parent = lib->CreateFrame(nullptr);
    rm::Ref<rm::Frame> root;
    {
        CXFileReader reader;
        const std::string text = X("Frame A {\n}\n");
        ASSERT_TRUE(reader.Load(text.data(), text.size(), lib.Get(), parent.Get(), &root));
    }
    ASSERT_TRUE(root);
    EXPECT_EQ(root->Parent(), parent.Get());
    // The parent's reference and ours remain after the reader let go of its own.
    EXPECT_EQ(root->RefCount(), 2u);
    ASSERT_EQ(root->Children().size(), 1u);
    EXPECT_EQ(root->Children()[0]->GetName(), "A");
}

TEST(XFileReader, BodyFrameWithMatrixAndMesh) {
    auto p =
        ParseXFile(X("Frame Body {\n"
                     "FrameTransformMatrix {\n"
                     "1.0,0.0,0.0,0.0,\n0.0,0.0,1.0,0.0,\n0.0,-1.0,0.0,0.0,\n2.5,-3.0,4.0,1.0;;\n}\n" +
                     QuadMesh() + "}\n"));
    ASSERT_TRUE(p->loaded);
    ASSERT_EQ(p->root->Children().size(), 1u);
    rm::Frame* body = ChildNamed(p->root.Get(), "Body");
    ASSERT_NE(body, nullptr);
    rm::Matrix4 expected;
    const float rows[4][4] = {{1, 0, 0, 0}, {0, 0, 1, 0}, {0, -1, 0, 0}, {2.5f, -3, 4, 1}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) expected.m[r][c] = rows[r][c];
    EXPECT_EQ(body->LocalMatrix(), expected);
    ASSERT_EQ(body->Visuals().size(), 1u);
    rm::MeshBuilder* mesh = MeshOf(body);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetVertexCount(), 4u);
    EXPECT_EQ(mesh->GetNormalCount(), 1u);
    EXPECT_EQ(mesh->FaceData(), (std::vector<std::uint32_t>{3, 0, 0, 1, 0, 2, 0, 3, 0, 0, 2, 0, 3, 0, 0}));
    EXPECT_EQ(mesh->Vertices()[2], (rm::Vector{1, 1, 0}));
    EXPECT_EQ(mesh->Normals()[0], (rm::Vector{0, 0, -1}));
    // The frame table records it; the reader made one frame.
    ASSERT_EQ(p->reader.Frames().size(), 1u);
    EXPECT_EQ(p->reader.Frames()[0].name, "Body");
}

TEST(XFileReader, NormalIndicesComeFromMeshNormalsPerCorner) {
    auto p = ParseXFile(X("Mesh {\n" + std::string(kQuadGeometry) +
                          "MeshNormals {\n3;\n0;0;-1;,\n0;0;1;,\n1;0;0;;\n2;\n3;2,1,0;,\n3;0,0,1;;\n}\n}\n"));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh, p->reader.GetMeshBuilder());
    EXPECT_EQ(mesh->FaceData(), (std::vector<std::uint32_t>{3, 0, 2, 1, 1, 2, 0, 3, 0, 0, 2, 0, 3, 1, 0}));
}

TEST(XFileReader, MeshWithoutNormalsHasNoFaces) {
    auto p = ParseXFile(X(std::string("Mesh {\n") + std::string(kQuadGeometry) + "}\n"));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFaceCount(), 0u);
}

TEST(XFileReader, TwoVertexMeshIsSkippedWithItsNestedBlocks) {
    auto p =
        ParseXFile(X("Frame Holder {\n"
                     "Mesh tiny {\n2;\n0;0;0;,\n1;1;1;;\n1;\n3;0,1,0;;\n"
                     "MeshMaterialList {\n1;\n1;\n0;;\n{Nothing}\n}\n"
                     "MeshNormals {\n1;\n0;0;1;;\n1;\n3;0,0,0;;\n}\n"
                     "}\n" +
                     QuadMesh() + "}\nFrame After {\n}\n"));
    rm::Frame* holder = ChildNamed(p->root.Get(), "Holder");
    ASSERT_NE(holder, nullptr);
    // Only the quad after the skipped mesh became a visual.
    ASSERT_EQ(holder->Visuals().size(), 1u);
    ASSERT_NE(MeshOf(holder), nullptr);
    EXPECT_EQ(MeshOf(holder)->GetVertexCount(), 4u);
    EXPECT_NE(ChildNamed(p->root.Get(), "After"), nullptr);
}

TEST(XFileReader, OneMaterialColoursTheWholeMesh) {
    auto p =
        ParseXFile(X(std::string(kRedBlue) + QuadMesh("MeshMaterialList {\n1;\n2;\n0,\n0;;\n{Blue}\n}\n")));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(p->reader.Materials().size(), 2u);
    const xfile::XMaterialEntry& blue = p->reader.Materials()[1];
    for (const auto& face : mesh->Faces()) {
        EXPECT_EQ(face->GetColor(), 0xFF0000FFu);
        EXPECT_EQ(face->MaterialPtr(), blue.material.Get());
    }
}

TEST(XFileReader, SeveralMaterialsColourEachFaceByItsIndex) {
    auto p =
        ParseXFile(X(std::string(kRedBlue) +
                     QuadMesh("MeshMaterialList {\n3;\n2;\n2,\n0;;\n{Red}\n{Blue}\n"
                              "Material {\n0.0;1.0;0.0;0.5;;\n2.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n}\n}\n")));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetFaceCount(), 2u);
    // Face 0 names the inline material, face 1 the top-level Red.
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0x7F00FF00u);
    ASSERT_NE(mesh->GetFace(0)->MaterialPtr(), nullptr);
    EXPECT_EQ(mesh->GetFace(0)->MaterialPtr()->GetPower(), 2.0f);
    EXPECT_EQ(mesh->GetFace(1)->GetColor(), 0xFFFF0000u);
    EXPECT_EQ(mesh->GetFace(1)->MaterialPtr(), p->reader.Materials()[0].material.Get());
}

TEST(XFileReader, MissingMaterialReferenceGivesColourZeroAndNoMaterial) {
    auto p = ParseXFile(
        X(std::string(kRedBlue) + QuadMesh("MeshMaterialList {\n2;\n2;\n0,\n1;;\n{Red}\n{Green}\n}\n")));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0xFFFF0000u);
    EXPECT_EQ(mesh->GetFace(1)->GetColor(), 0u);
    EXPECT_EQ(mesh->GetFace(1)->MaterialPtr(), nullptr);
}

TEST(XFileReader, ReferenceWithBlanksInsideTheBracesIsFound) {
    auto p =
        ParseXFile(X(std::string(kRedBlue) + QuadMesh("MeshMaterialList {\n1;\n1;\n0;;\n{ Blue }\n}\n")));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFace(1)->GetColor(), 0xFF0000FFu);
}

TEST(XFileReader, MaterialListAfterTheNormalsHasNoEffect) {
    auto p =
        ParseXFile(X(std::string(kRedBlue) + QuadMesh({}, "MeshMaterialList {\n1;\n1;\n0;;\n{Red}\n}\n")));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(mesh->GetFace(0)->MaterialPtr(), nullptr);
}

TEST(XFileReader, MaterialValues) {
    auto p =
        ParseXFile(X("Material Shiny {\n1.0;0.5;0.0;1.0;;\n12.5;\n0.1;0.2;0.3;;\n0.4;0.5;0.6;;\n"
                     "TextureFilename {\n\"skin.bmp\";\n}\n}\nFrame After {\n}\n"));
    ASSERT_EQ(p->reader.Materials().size(), 1u);
    const xfile::XMaterialEntry& e = p->reader.Materials()[0];
    EXPECT_EQ(e.name, "Shiny");
    EXPECT_EQ(e.color, 0xFFFF7F00u);
    ASSERT_TRUE(e.material);
    EXPECT_EQ(e.material->GetPower(), 12.5f);
    EXPECT_EQ(e.material->Specular(), (rm::Vector{0.1f, 0.2f, 0.3f}));
    EXPECT_EQ(e.material->Emissive(), (rm::Vector{0.4f, 0.5f, 0.6f}));
    // The texture file name block is read over and reading goes on after the material.
    EXPECT_NE(ChildNamed(p->root.Get(), "After"), nullptr);
}

TEST(XFileReader, APowerOutsideWhatAMaterialCanUseIsHeldToItsRange) {
    const struct {
        const char* written;
        float taken;
    } rows[] = {{"1e30", 1000.0f}, {"-3.0", 0.0f}, {"1000.5", 1000.0f}, {"0.0", 0.0f}, {"999.0", 999.0f}};
    for (const auto& row : rows) {
        auto p = ParseXFile(X(std::string("Material M {\n1.0;1.0;1.0;1.0;;\n") + row.written +
                              ";\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n}\n"));
        ASSERT_EQ(p->reader.Materials().size(), 1u) << row.written;
        ASSERT_TRUE(p->reader.Materials()[0].material) << row.written;
        EXPECT_EQ(p->reader.Materials()[0].material->GetPower(), row.taken) << row.written;
    }
}

TEST(XFileReader, MaterialColourPacking) {
    struct Row {
        double r, g, b, a;
        std::uint32_t argb;
    } rows[] = {
        {1.0, 0.5, 0.0, 1.0, 0xFFFF7F00u},
        {0.0, 0.0, 0.0, 0.0, 0x00000000u},
        {1.0, 1.0, 1.0, 1.0, 0xFFFFFFFFu},
        {0.999, 0.004, 0.0039, 0.5, 0x7FFE0100u},  // truncated towards zero, not rounded
        // Outside 0..1 a channel is held to its own byte.
        {2.0, -1.0, 0.25, 1.5, 0xFFFF003Fu},
        {NAN, 1.0, INFINITY, -INFINITY, 0x0000FFFFu},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(xfile::PackMaterialColor(row.r, row.g, row.b, row.a), row.argb) << row.r << " " << row.g;
    }
}

TEST(XFileReader, TextureCoordinatesAndTheWrapRule) {
    struct Row {
        const char* coords;
        bool wrapU, wrapV;
    } rows[] = {
        {"0.0;0.0;,\n0.0;0.0;,\n0.0;0.0;,\n0.0;0.0;;", false, false},
        {"0.0;0.0;,\n1.0;0.0;,\n1.0;1.0;,\n0.0;1.0;;", true, true},
        {"0.5;-1.0;,\n0.0;0.0;,\n0.0;0.0;,\n0.0;0.5;;", true, false},
        {"-0.5;0.0;,\n0.0;0.0;,\n0.0;0.25;,\n0.0;0.0;;", false, true},
    };
    for (const Row& row : rows) {
        auto p = ParseXFile(X(QuadMesh({}, "MeshTextureCoords {\n4;\n" + std::string(row.coords) + "\n}\n")));
        rm::MeshBuilder* mesh = MeshOf(p->root.Get());
        ASSERT_NE(mesh, nullptr) << row.coords;
        EXPECT_EQ(mesh->WrapU(), row.wrapU) << row.coords;
        EXPECT_EQ(mesh->WrapV(), row.wrapV) << row.coords;
    }
    auto p = ParseXFile(
        X(QuadMesh({}, "MeshTextureCoords {\n4;\n0.0;0.0;,\n1.0;0.0;,\n1.0;1.0;,\n0.25;0.75;;\n}\n")));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    float u = 0, v = 0;
    ASSERT_TRUE(rm::Succeeded(mesh->GetTextureCoordinates(3, &u, &v)));
    EXPECT_EQ(u, 0.25f);
    EXPECT_EQ(v, 0.75f);
}

TEST(XFileReader, TextureCoordinatesBeforeTheNormalsHaveNoEffect) {
    auto p = ParseXFile(X(QuadMesh("MeshTextureCoords {\n4;\n1;1;,\n1;1;,\n1;1;,\n1;1;;\n}\n")));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    float u = -1, v = -1;
    ASSERT_TRUE(rm::Succeeded(mesh->GetTextureCoordinates(0, &u, &v)));
    EXPECT_EQ(u, 0.0f);
    EXPECT_EQ(v, 0.0f);
}

constexpr std::string_view kTwoFrames = "Frame Body {\nFrame Arm {\n}\n}\n";

TEST(XFileReader, RotationKey) {
    auto p = ParseXFile(
        X(std::string(kTwoFrames) +
          "AnimationSet {\nAnimation {\n{Arm}\nAnimationKey {\n0;\n1;\n10;4;1.0,0.0,0.0,0.0;;;\n}\n}\n}\n"));
    rm::AnimationSet* set = p->reader.GetAnimationSet();
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->Animations().size(), 1u);
    rm::Animation* a = set->Animations()[0].Get();
    EXPECT_EQ(a->GetOptions(), 0x36u);
    EXPECT_EQ(a->GetFrame(), ChildNamed(ChildNamed(p->root.Get(), "Body"), "Arm"));
    rm::Quaternion q;
    ASSERT_TRUE(a->RotationAt(10.0f, &q));
    EXPECT_EQ(q.s, 1.0f);
    EXPECT_EQ(q.v, (rm::Vector{0, 0, 0}));
    rm::Vector unused;
    EXPECT_FALSE(a->PositionAt(10.0f, &unused));
    EXPECT_FALSE(a->ScaleAt(10.0f, &unused));
}

TEST(XFileReader, ScaleAndPositionKeysInNamedBlocks) {
    auto p = ParseXFile(X(std::string(kTwoFrames) +
                          "AnimationSet Walk {\nAnimation Arm1 {\n{Arm}\n"
                          "AnimationKey {\n1;\n2;\n0;3;1.0,1.0,1.0;;,\n100;3;3.0,1.0,1.0;;;\n}\n"
                          "AnimationKey {\n2;\n2;\n0;3;0.0,0.0,0.0;;,\n100;3;0.0,10.0,0.0;;;\n}\n"
                          "}\n}\n"));
    rm::AnimationSet* set = p->reader.GetAnimationSet();
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->Animations().size(), 1u);
    rm::Animation* a = set->Animations()[0].Get();
    rm::Vector v;
    ASSERT_TRUE(a->ScaleAt(50.0f, &v));
    EXPECT_EQ(v, (rm::Vector{2, 1, 1}));
    ASSERT_TRUE(a->PositionAt(50.0f, &v));
    EXPECT_EQ(v, (rm::Vector{0, 5, 0}));
    // Setting the time poses the frame: scale 2 in x, origin at (0, 5, 0).
    set->SetTime(50.0f);
    const rm::Matrix4& m = a->GetFrame()->LocalMatrix();
    EXPECT_FLOAT_EQ(m.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(m.m[3][1], 5.0f);
}

TEST(XFileReader, AnimationOfAnUnknownFrameIsNotMade) {
    auto p =
        ParseXFile(X(std::string(kTwoFrames) +
                     "AnimationSet {\nAnimation {\n{Leg}\nAnimationKey {\n2;\n1;\n0;3;1,2,3;;;\n}\n}\n}\n"));
    ASSERT_NE(p->reader.GetAnimationSet(), nullptr);
    EXPECT_TRUE(p->reader.GetAnimationSet()->Animations().empty());
}

TEST(XFileReader, TopLevelWordThatOpensNoBlockEndsReadingAndKeepsWhatWasBuilt) {
    auto p = ParseXFile(X("Frame A {\n}\nMesh {\n" + std::string(kQuadGeometry) + std::string(kQuadNormals) +
                          "}\nSomethingElse Frame B {\n}\nFrame C {\n}\n"));
    EXPECT_TRUE(p->loaded);
    EXPECT_NE(ChildNamed(p->root.Get(), "A"), nullptr);
    EXPECT_EQ(ChildNamed(p->root.Get(), "B"), nullptr);
    EXPECT_EQ(ChildNamed(p->root.Get(), "C"), nullptr);
    ASSERT_TRUE(p->root);
    EXPECT_EQ(p->root->Visuals().size(), 1u);
}

TEST(XFileReader, TemplatesHeadersAndCommentsAreReadOver) {
    auto p =
        ParseXFile(X("template Vector {\n<3D82AB5E-62DA-11cf-AB39-0020AF71E433>\nFLOAT x;\n}\n"
                     "// Frame Hidden { }\n"
                     "Header {\n1;\n0;\n1;\n}\n"
                     "Frame Shown {\n}\n"
                     "//\nFrame AfterEmptyComment {\n}\n// to the end"));
    EXPECT_EQ(ChildNamed(p->root.Get(), "Hidden"), nullptr);
    EXPECT_NE(ChildNamed(p->root.Get(), "Shown"), nullptr);
    EXPECT_NE(ChildNamed(p->root.Get(), "AfterEmptyComment"), nullptr);
}

TEST(XFileReader, TheFirstLineIsTheHeaderWhateverItHolds) {
    auto p = ParseXFile("Frame NotRead {\nFrame Read {\n}\n");
    EXPECT_EQ(ChildNamed(p->root.Get(), "NotRead"), nullptr);
    EXPECT_NE(ChildNamed(p->root.Get(), "Read"), nullptr);
}

TEST(XFileReader, KeywordsAreCaseSensitive) {
    // "frame B { }" is an object the reader does not use: read over, not made a frame.
    auto p = ParseXFile(X("Frame A {\n}\nframe B {\nFrame Inner {\n}\n}\nFrame C {\n}\n"));
    EXPECT_NE(ChildNamed(p->root.Get(), "A"), nullptr);
    EXPECT_EQ(ChildNamed(p->root.Get(), "B"), nullptr);
    EXPECT_EQ(p->reader.Frames().size(), 2u);
    EXPECT_NE(ChildNamed(p->root.Get(), "C"), nullptr);
}

TEST(XFileReader, BracesAreTokensOnlyBetweenSeparators) {
    // "B{" is the name; the "{" after it is the frame's brace.
    auto p = ParseXFile(X("Frame B{ {\n}\nFrame C {\n}\n"));
    EXPECT_NE(ChildNamed(p->root.Get(), "B{"), nullptr);
    EXPECT_NE(ChildNamed(p->root.Get(), "C"), nullptr);
}

TEST(XFileReader, UnnamedFrameHasNoName) {
    auto p = ParseXFile(X("Frame {\nFrame Inner {\n}\n}\n"));
    ASSERT_TRUE(p->root);
    ASSERT_EQ(p->root->Children().size(), 1u);
    EXPECT_EQ(p->root->Children()[0]->GetName(), "");
    EXPECT_NE(ChildNamed(p->root->Children()[0].Get(), "Inner"), nullptr);
}

TEST(XFileReader, UnknownBlocksInsideFramesAndMeshesAreReadOverWhole) {
    auto p = ParseXFile(X("Frame A {\nFrameExtra {\n1;\n}\n" +
                          QuadMesh("VertexDuplicationIndices {\n4;\n4;\n0,\n1,\n2,\n3;\n}\n") +
                          "Frame B {\n}\n}\n"));
    rm::Frame* a = ChildNamed(p->root.Get(), "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Visuals().size(), 1u);
    EXPECT_NE(ChildNamed(a, "B"), nullptr);
}

TEST(XFileReader, NestedFramesAndSeparatorRuns) {
    auto p = ParseXFile(X("Frame\tOuter\r\n{ ;; ,, Frame Inner {\n}\n}\n"));
    rm::Frame* outer = ChildNamed(p->root.Get(), "Outer");
    ASSERT_NE(outer, nullptr);
    EXPECT_NE(ChildNamed(outer, "Inner"), nullptr);
    ASSERT_EQ(p->reader.Frames().size(), 2u);
    EXPECT_EQ(p->reader.Frames()[1].name, "Inner");
}

TEST(XFileReader, TheTextIsNotWritten) {
    const std::string text = X("Frame A {\n" + QuadMesh() + "}\n");
    std::string copy = text;
    auto lib = rm::Library::Create();
    CXFileReader reader;
    ASSERT_TRUE(reader.Load(copy.data(), copy.size(), lib.Get(), nullptr, nullptr));
    EXPECT_EQ(copy, text);
}

}  // namespace
