// The reader's tables: 128 frames, 32 top-level materials, 32 materials per mesh list. What lies
// past them is read over and left out, and nothing overflows.

#include <gtest/gtest.h>

#include <string>

#include "XFileTestSupport.h"

namespace {

constexpr std::string_view kQuad =
    "Mesh {\n4;\n0;0;0;,\n1;0;0;,\n1;1;0;,\n0;1;0;;\n2;\n3;0,1,2;,\n3;0,2,3;;\n"
    "MeshNormals {\n1;\n0;0;-1;;\n2;\n3;0,0,0;,\n3;0,0,0;;\n}\n}\n";

std::string MaterialBlock(std::string_view name, double red) {
    return "Material " + std::string(name) + " {\n" + std::to_string(red) +
           ";0;0;1;;\n1;\n1;1;1;;\n0;0;0;;\n}\n";
}

TEST(XFileLimits, FramesPastTheTableAreReadOverWithTheirContent) {
    std::string text(kXHeader);
    for (int i = 0; i < 130; ++i)
        text += "Frame F" + std::to_string(i) + " {\n" + std::string(kQuad) + "Frame Sub {\n}\n}\n";
    text += MaterialBlock("AfterFrames", 1.0);
    auto p = ParseXFile(text);
    // Frame Sub of each kept frame counts too: 64 outer frames with their Sub fill the table.
    EXPECT_EQ(p->reader.Frames().size(), 128u);
    ASSERT_TRUE(p->root);
    EXPECT_EQ(p->root->Children().size(), 64u);
    EXPECT_EQ(ChildNamed(p->root.Get(), "F64"), nullptr);
    const rm::MeshBuilder* last = MeshOf(ChildNamed(p->root.Get(), "F63"));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetFaceCount(), 2u);
    // Reading goes on after the skipped frames.
    ASSERT_EQ(p->reader.Materials().size(), 1u);
    EXPECT_EQ(p->reader.Materials()[0].name, "AfterFrames");
}

TEST(XFileLimits, DeeplyNestedFramesStopAtTheTable) {
    std::string text(kXHeader);
    constexpr int kDepth = 20000;
    for (int i = 0; i < kDepth; ++i) text += "Frame N {\n";
    for (int i = 0; i < kDepth; ++i) text += "}\n";
    text += "Frame Last {\n}\n";
    auto p = ParseXFile(text);
    EXPECT_EQ(p->reader.Frames().size(), 128u);
    ASSERT_TRUE(p->root);
    int depth = 0;
    for (const rm::Frame* f = p->root.Get(); !f->Children().empty(); f = f->Children()[0].Get()) ++depth;
    // The table is full, so Last is read over as well.
    EXPECT_EQ(depth, 128);
}

TEST(XFileLimits, TopLevelMaterialsPastTheTableAreNotKept) {
    std::string text(kXHeader);
    for (int i = 0; i < 34; ++i) text += MaterialBlock("M" + std::to_string(i), 1.0);
    text += std::string(kQuad).substr(0, kQuad.find("MeshNormals")) +
            "MeshMaterialList {\n2;\n2;\n0,\n1;;\n{M31}\n{M32}\n}\n" +
            std::string(kQuad.substr(kQuad.find("MeshNormals")));
    auto p = ParseXFile(text);
    ASSERT_EQ(p->reader.Materials().size(), 32u);
    EXPECT_EQ(p->reader.Materials()[31].name, "M31");
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0xFFFF0000u);
    EXPECT_EQ(mesh->GetFace(1)->GetColor(), 0u);  // M32 was not kept
    EXPECT_EQ(mesh->GetFace(1)->MaterialPtr(), nullptr);
}

TEST(XFileLimits, MeshListMaterialsPastTheTableColourNothing) {
    std::string list = "MeshMaterialList {\n34;\n2;\n33,\n31;;\n";
    for (int i = 0; i < 34; ++i)
        list += "Material {\n" + std::to_string(i / 64.0) + ";0;0;1;;\n1;\n1;1;1;;\n0;0;0;;\n}\n";
    list += "}\n";
    std::string text(kXHeader);
    text += std::string(kQuad).substr(0, kQuad.find("MeshNormals")) + list +
            std::string(kQuad.substr(kQuad.find("MeshNormals"))) + "Frame After {\n}\n";
    auto p = ParseXFile(text);
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0u);
    EXPECT_EQ(mesh->GetFace(0)->MaterialPtr(), nullptr);
    EXPECT_EQ(mesh->GetFace(1)->GetColor(),
              0xFF000000u | (static_cast<std::uint32_t>(31 / 64.0 * 255) << 16));
    EXPECT_NE(mesh->GetFace(1)->MaterialPtr(), nullptr);
    EXPECT_NE(ChildNamed(p->root.Get(), "After"), nullptr);
}

TEST(XFileLimits, SixCornerFacesAreKept) {
    auto p =
        ParseXFile(std::string(kXHeader) +
                   "Mesh {\n6;\n0;0;0;,\n1;0;0;,\n2;1;0;,\n1;2;0;,\n0;2;0;,\n-1;1;0;;\n1;\n6;0,1,2,3,4,5;;\n"
                   "MeshNormals {\n1;\n0;0;-1;;\n1;\n6;0,0,0,0,0,0;;\n}\n}\n");
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetFaceCount(), 1u);
    EXPECT_EQ(mesh->GetFace(0)->GetVertexCount(), 6u);
}

TEST(XFileLimits, FacesBeyondTheMaterialIndexListKeepTheirDefaults) {
    auto p = ParseXFile(std::string(kXHeader) + MaterialBlock("Red", 1.0) + MaterialBlock("Dark", 0.0) +
                        std::string(kQuad).substr(0, kQuad.find("MeshNormals")) +
                        "MeshMaterialList {\n2;\n1;\n1;;\n{Red}\n{Dark}\n}\n" +
                        std::string(kQuad.substr(kQuad.find("MeshNormals"))));
    rm::MeshBuilder* mesh = MeshOf(p->root.Get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0xFF000000u);
    EXPECT_EQ(mesh->GetFace(1)->GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(mesh->GetFace(1)->MaterialPtr(), nullptr);
}

TEST(XFileLimits, AnimationBindsTheFirstFrameOfAName) {
    auto p =
        ParseXFile(std::string(kXHeader) +
                   "Frame Twin {\n}\nFrame Twin {\n}\n"
                   "AnimationSet {\nAnimation {\n{Twin}\nAnimationKey {\n2;\n1;\n0;3;1,2,3;;;\n}\n}\n}\n");
    ASSERT_NE(p->reader.GetAnimationSet(), nullptr);
    ASSERT_EQ(p->reader.GetAnimationSet()->Animations().size(), 1u);
    ASSERT_TRUE(p->root);
    ASSERT_EQ(p->root->Children().size(), 2u);
    EXPECT_EQ(p->reader.GetAnimationSet()->Animations()[0]->GetFrame(), p->root->Children()[0].Get());
}

}  // namespace
