// Loading a pose set and single parts from the fixture library: linking, colours, unique names,
// replacement, option parts and the pose set question.

#include <gtest/gtest.h>

#include "SceneFixture.h"
#include "core/MainApp.h"
#include "scene/FrameNames.h"
#include "xfile/XFileReader.h"

namespace {

rm::MeshBuilder* MeshOf(rm::Frame* frame) {
    return frame && !frame->Visuals().empty() ? dynamic_cast<rm::MeshBuilder*>(frame->Visuals()[0].Get())
                                              : nullptr;
}

std::vector<std::string> Folders(const std::vector<CPartObject*>& parts) {
    std::vector<std::string> out;
    for (CPartObject* p : parts) out.push_back(p->m_folder);
    return out;
}

TEST_F(SceneTest, PoseSetLinksEachPartAtItsParentsLinkFrame) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    EXPECT_TRUE(prompts->asked.empty()) << prompts->asked[0].text;
    CPartObject* body = Part(kBodyPath);
    CPartObject* arm = Part(kArmPath);
    CPartObject* hand = Part(kHandPath);
    ASSERT_TRUE(body && arm && hand);
    // BODY\ARML\arm.x hangs on the frame ARML of the part in BODY_B\ (folder comparison).
    EXPECT_EQ(arm->GetParent(), body);
    EXPECT_EQ(scene::NormaliseFrameName(arm->GetFrame()->Parent()->GetName()), "ARML");
    EXPECT_EQ(FindFrameByName("ARML", body->GetFrame()).Get(), arm->GetFrame()->Parent());
    EXPECT_EQ(hand->GetParent(), arm);
    EXPECT_EQ(scene::NormaliseFrameName(hand->GetFrame()->Parent()->GetName()), "HANDL");
    EXPECT_EQ(body->GetFrame()->Parent(), doc->GetCharacterRootFrame());
    EXPECT_EQ(arm->GetLinkName(), "ARML");
    EXPECT_EQ(body->m_definitionPath, kBodyPath);

    EXPECT_EQ(Folders(doc->AllParts()),
              (std::vector<std::string>{"BODY_B\\", "BODY\\ARML\\", "BODY\\ARML\\HANDL\\", "LIGHT4\\",
                                        "LIGHT1\\", "LIGHT2\\", "LIGHT3\\"}));
    ASSERT_EQ(doc->TopLevelParts().size(), 5u);
    EXPECT_EQ(doc->TopLevelParts()[0].get(), body);
    ASSERT_EQ(body->Children().size(), 1u);

    // Link frames are the leaves of the part's hierarchy.
    std::vector<std::string> links;
    for (const auto& f : body->LinkFrames()) links.push_back(scene::NormaliseFrameName(f->GetName()));
    EXPECT_EQ(links, (std::vector<std::string>{"ARML", "HEAD", "HHH"}));

    // Every frame of the part is named uniquely and tagged with the part's tree item.
    const HTREEITEM bodyItem = ItemLabelled("体");
    ASSERT_NE(bodyItem, 0u);
    EXPECT_NE(body->GetFrame()->GetName().find('@'), std::string::npos);
    EXPECT_EQ(body->GetFrame()->GetAppData(), bodyItem);
    EXPECT_EQ(FindFrameByName("HEAD", body->GetFrame())->GetAppData(), bodyItem);
    EXPECT_EQ(doc->FindPartByItem(bodyItem), body);
    EXPECT_EQ(doc->FindPartByItem(ItemLabelled("左手")), hand);
}

TEST_F(SceneTest, PoseSetBuildsTheTreeFromTheDefinitions) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    std::vector<std::string> labels;
    for (HTREEITEM item : tree.Inserted()) labels.push_back(tree.GetItemText(item));
    EXPECT_EQ(labels, (std::vector<std::string>{Sjis("太陽光"), Sjis("点光源１"), Sjis("点光源２"),
                                                Sjis("点光源３"), Sjis("キャラクタ"), Sjis("体"),
                                                Sjis("左腕"), Sjis("左手"), Sjis("小物")}));
    EXPECT_EQ(tree.GetItemText(doc->GetCharacterItem()), Sjis("キャラクタ"));
    EXPECT_EQ(doc->GetOptionItem(), ItemLabelled("小物"));
    EXPECT_EQ(tree.GetParentItem(ItemLabelled("左手")), doc->GetCharacterItem());
    EXPECT_TRUE(tree.IsExpanded(doc->GetCharacterItem()));
    EXPECT_TRUE(tree.GetCheck(ItemLabelled("体")));
    EXPECT_EQ(doc->FolderMap().at(ItemLabelled("左腕")), "BODY\\ARML\\");
    EXPECT_EQ(doc->FlagsMap().at(doc->GetOptionItem()), "ADD");
    EXPECT_EQ(doc->FlagsMap().count(ItemLabelled("体")), 0u);
    EXPECT_EQ(doc->FindItemByFolder("BODY\\ARML\\arm.x"), ItemLabelled("左腕"));
    EXPECT_EQ(doc->FindItemByFolder("BODY_Z\\x.x"), ItemLabelled("体"));  // folder comparison
    EXPECT_EQ(doc->FindItemByLabel(Sjis("左腕")), ItemLabelled("左腕"));
    EXPECT_EQ(doc->FindItemByLabel(Sjis("キャラクタ")), 0u);  // not a definition entry
    EXPECT_EQ(GetApp()->GetSettingFloat("view", "field", 0), 4.0f);
}

TEST_F(SceneTest, ColourDefinitionsArePrunedAndApplied) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    CPartObject* body = Part(kBodyPath);
    std::vector<std::string> targets;
    for (const auto& c : body->ColorObjects()) targets.push_back(c->m_targetFrame);
    // NOSUCH names no frame of the mesh: gone.
    EXPECT_EQ(targets, (std::vector<std::string>{"BODY", "HEAD", "ARML"}));
    EXPECT_EQ(body->ColorObjects()[0]->m_remark, "skin");
    EXPECT_EQ(body->ColorObjects()[0]->m_owner, body);
    // The marker frame HHH keeps no visuals.
    EXPECT_TRUE(FindFrameByName("HHH", body->GetFrame())->Visuals().empty());
    rm::MeshBuilder* mesh = MeshOf(body->GetFrame());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0xFFFFFFFFu);
    ASSERT_NE(mesh->GetFace(0)->MaterialPtr(), nullptr);
    EXPECT_EQ(mesh->GetFace(0)->MaterialPtr()->GetName(), Sjis("肌"));
    EXPECT_EQ(mesh->GetFace(0)->MaterialPtr()->GetPower(), 50.0f);

    // Applying twice keeps the top byte at 0xFF.
    CColorObject& skin = *body->ColorObjects()[0];
    skin.m_diffuse = 0x00123456;
    skin.ApplyColor();
    EXPECT_EQ(skin.m_diffuse, 0xFF123456u);
    skin.ApplyColor();
    EXPECT_EQ(skin.m_diffuse, 0xFF123456u);
    EXPECT_EQ(mesh->GetFace(1)->GetColor(), 0xFF123456u);

    // Skin frames of every part, in part order.
    const auto skinFrames = doc->FindFramesByGeneralName(Sjis("肌"));
    ASSERT_EQ(skinFrames.size(), 4u);
    EXPECT_EQ(skinFrames[0].Get(), body->GetFrame());
    EXPECT_EQ(skinFrames[2].Get(), Part(kArmPath)->GetFrame());
}

TEST_F(SceneTest, ApplyingAColourToAHiddenPartShowsItOnlyMeanwhile) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    CPartObject* arm = Part(kArmPath);
    arm->HideVisuals();
    arm->ColorObjects()[0]->m_diffuse = 0x00ABCDEF;
    arm->ColorObjects()[0]->ApplyColor();
    EXPECT_FALSE(arm->IsVisible());
    arm->ShowVisuals();
    ASSERT_NE(MeshOf(arm->GetFrame()), nullptr);
    EXPECT_EQ(MeshOf(arm->GetFrame())->GetFace(0)->GetColor(), 0xFFABCDEFu);
}

TEST_F(SceneTest, HidingAParentLeavesItsChildrenVisible) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    CPartObject* body = Part(kBodyPath);
    CPartObject* arm = Part(kArmPath);
    body->HideVisuals();
    EXPECT_FALSE(body->IsVisible());
    EXPECT_TRUE(body->GetFrame()->Visuals().empty());
    EXPECT_TRUE(FindFrameByName("HEAD", body->GetFrame())->Visuals().empty());
    EXPECT_TRUE(arm->IsVisible());
    EXPECT_EQ(arm->GetFrame()->Visuals().size(), 1u);
    EXPECT_EQ(Part(kHandPath)->GetFrame()->Visuals().size(), 1u);
    body->ShowVisuals();
    EXPECT_TRUE(body->IsVisible());
    EXPECT_EQ(body->GetFrame()->Visuals().size(), 1u);
    // Through the tree item.
    doc->SetPartVisible(ItemLabelled("左腕"), 0);
    EXPECT_FALSE(arm->IsVisible());
    doc->SetPartVisible(ItemLabelled("左腕"), 1);
    EXPECT_TRUE(arm->IsVisible());
}

TEST_F(SceneTest, ReplacingAMeshKeepsChildrenAndColours) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    CPartObject* body = Part(kBodyPath);
    CPartObject* arm = Part(kArmPath);
    // The material dialog changes a general name on every part.
    for (CPartObject* p : doc->AllParts())
        for (const auto& c : p->ColorObjects())
            if (c->m_generalName == Sjis("肌")) c->m_diffuse = 0xFF112233;
    rm::Ref<rm::Frame> oldFrame(body->GetFrame());

    tree.SelectItem(ItemLabelled("体"));
    doc->ApplySelection("BODY_B\\body2.x", "body2");
    EXPECT_TRUE(prompts->asked.empty());
    EXPECT_EQ(Part(kBodyPath), body);  // the same part object, a new mesh
    EXPECT_NE(body->GetFrame(), oldFrame.Get());
    EXPECT_EQ(scene::NormaliseFrameName(body->GetFrame()->GetName()), "BODY2");
    EXPECT_EQ(oldFrame->Parent(), nullptr);
    EXPECT_EQ(body->GetFrame()->Parent(), doc->GetCharacterRootFrame());
    EXPECT_EQ(body->m_definitionPath, "BODY_B\\body2.x");
    // The arm moved to the new ARML frame, placed at its origin.
    EXPECT_EQ(arm->GetParent(), body);
    EXPECT_EQ(FindFrameByName("ARML", body->GetFrame()).Get(), arm->GetFrame()->Parent());
    rm::Vector position{9, 9, 9};
    arm->GetFrame()->GetPosition(arm->GetFrame()->Parent(), &position);
    EXPECT_EQ(position, (rm::Vector{0, 0, 0}));
    // The default colour definition of the folder, with the colours chosen for the general names.
    ASSERT_EQ(body->ColorObjects().size(), 2u);
    EXPECT_EQ(body->ColorObjects()[0]->m_targetFrame, "BODY2");
    EXPECT_EQ(body->ColorObjects()[0]->m_diffuse, 0xFF112233u);
    ASSERT_NE(MeshOf(body->GetFrame()), nullptr);
    EXPECT_EQ(MeshOf(body->GetFrame())->GetFace(0)->GetColor(), 0xFF112233u);
    EXPECT_EQ(doc->AllParts().size(), 7u);
}

TEST_F(SceneTest, AChildThatLosesItsLinkFrameIsReported) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    tree.SelectItem(ItemLabelled("体"));
    doc->ApplySelection("BODY_B\\body3.x", "body3");
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].caption, "内部情報に矛盾");
    EXPECT_EQ(prompts->asked[0].text,
              "管理不能オブジェクトが発生しました。\nパーツアタッチの際、親を失う子パーツが存在します。");
    // The load went on: the body has its new mesh, the arm stays a child part.
    EXPECT_EQ(scene::NormaliseFrameName(Part(kBodyPath)->GetFrame()->GetName()), "BODY3");
    EXPECT_EQ(Part(kArmPath)->GetParent(), Part(kBodyPath));
}

TEST_F(SceneTest, MissingMeshesAndLinkTargetsMakeNoPart) {
    WriteData("ORPHAN/LEG/leg.x", XFile(XFrame("LEG", true)));
    WriteData("EMPTY/empty.x", XFile(""));
    EXPECT_EQ(doc->LoadPart("NOPE\\x.x", nullptr, doc->GetCharacterRootFrame()), nullptr);
    ASSERT_EQ(prompts->MessageTexts().size(), 1u);
    EXPECT_EQ(prompts->MessageTexts()[0], "データブロック\"NOPE\\x.x\"が見つかりません。");
    EXPECT_EQ(prompts->asked[0].caption, "致命的エラー");
    // No loaded part in ORPHAN\: the leg is dropped without a word; a mesh without frames too.
    EXPECT_EQ(doc->LoadPart("ORPHAN\\LEG\\leg.x", nullptr, doc->GetCharacterRootFrame()), nullptr);
    EXPECT_EQ(doc->LoadPart("EMPTY\\empty.x", nullptr, doc->GetCharacterRootFrame()), nullptr);
    EXPECT_EQ(prompts->asked.size(), 1u);
    EXPECT_TRUE(doc->AllParts().empty());
    EXPECT_TRUE(doc->TopLevelParts().empty());
}

// Only the text form of the mesh format is read: a binary or compressed file is named in one
// message and makes no part, even with a text frame after its header line.
TEST_F(SceneTest, BinaryAndCompressedMeshFilesAreRefusedByNameAndMakeNoPart) {
    struct Row {
        const char* file;
        const char* path;
        const char* header;
        const char* said;
    } rows[] = {
        {"BIN/bin.x", "BIN\\bin.x", "xof 0302bin 0032\n", "バイナリ形式"},
        {"ZIP/zip.x", "ZIP\\zip.x", "xof 0303tzip0032\n", "圧縮形式"},
        {"BZIP/bzip.x", "BZIP\\bzip.x", "xof 0303bzip0064\n", "圧縮形式"},
    };
    for (const Row& r : rows) {
        prompts->asked.clear();
        WriteData(r.file, r.header + XFrame("ROOT", true));
        EXPECT_EQ(doc->LoadPart(r.path, nullptr, doc->GetCharacterRootFrame()), nullptr) << r.path;
        ASSERT_EQ(prompts->MessageTexts().size(), 1u) << r.path;
        const std::string text = prompts->MessageTexts()[0];
        EXPECT_NE(text.find(r.path), std::string::npos) << text;
        EXPECT_NE(text.find(r.said), std::string::npos) << text;
        EXPECT_NE(text.find("テキスト形式"), std::string::npos) << text;
        EXPECT_EQ(prompts->asked[0].caption, xfile::kNotTextFormCaption);
    }
    EXPECT_TRUE(doc->AllParts().empty());
    EXPECT_TRUE(doc->TopLevelParts().empty());
}

TEST_F(SceneTest, AColourDefinitionOf300TokensMakesAtMost260ColourObjects) {
    WriteData("MANY/many.x", XFile(XFrame("ROOT", true)));
    std::string text;
    for (int i = 0; i < 300; ++i) text += "ROOT|G" + std::to_string(i) + "|;";
    WriteData("MANY/many.txt", text);
    CPartObject* part = doc->LoadPart("MANY\\many.x", nullptr, doc->GetCharacterRootFrame());
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->ColorObjects().size(), 260u);
    EXPECT_EQ(part->ColorObjects().back()->m_generalName, "G259");
}

TEST_F(SceneTest, AnAddEntryAddsAnOptionPart) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    const HTREEITEM option = doc->GetOptionItem();
    tree.SelectItem(option);
    doc->GetOptionFrame()->SetPosition(nullptr, 3, 4, 5);
    doc->ApplySelection("PROPS\\cup.x", Sjis("カップ\\cup.x"));
    ASSERT_EQ(tree.Children(option).size(), 1u);
    const HTREEITEM added = tree.Children(option)[0];
    EXPECT_EQ(tree.GetItemText(added), Sjis("カップ"));
    EXPECT_TRUE(tree.GetCheck(added));
    EXPECT_EQ(tree.GetSelectedItem(), added);
    EXPECT_TRUE(tree.IsExpanded(option));
    CPartObject* cup = doc->PartMap().at(added);
    ASSERT_NE(cup, nullptr);
    EXPECT_EQ(cup->GetFrame()->Parent(), doc->GetOptionFrame());
    EXPECT_EQ(cup->ColorObjects().size(), 1u);
    // The first option part puts the option frame back where the figure stands, and the part
    // stands there too.
    rm::Vector p;
    doc->GetOptionFrame()->GetPosition(nullptr, &p);
    EXPECT_EQ(p, (rm::Vector{0, 0, 55}));
    cup->GetFrame()->GetPosition(doc->GetCharacterRootFrame(), &p);
    EXPECT_EQ(p, (rm::Vector{0, 0, 0}));
    EXPECT_EQ(doc->FindPartByItem(added), cup);
    EXPECT_EQ(doc->TopLevelParts().back().get(), cup);
}

TEST_F(SceneTest, EveryPoseSetAfterTheFirstAsksBeforeDiscardingTheScene) {
    doc->PrepareTree();  // the new tree's character item, as the main view asks for it
    ASSERT_NE(doc->GetCharacterItem(), 0u);
    tree.SelectItem(doc->GetCharacterItem());
    doc->ApplySelection(kPoseSet, "P1");
    EXPECT_TRUE(prompts->asked.empty());
    ASSERT_NE(Part(kBodyPath), nullptr);
    CPartObject* body = Part(kBodyPath);

    tree.SelectItem(doc->GetCharacterItem());
    prompts->messageAnswers = {win::IDCANCEL};
    doc->ApplySelection("POSE\\p1.obj", "P1");
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].caption, "基本ポーズの読み込み");
    EXPECT_EQ(prompts->asked[0].buttons, win::Buttons::OkCancel);
    EXPECT_EQ(Part(kBodyPath), body);  // unchanged

    tree.SelectItem(doc->GetCharacterItem());
    prompts->messageAnswers = {win::IDOK};
    doc->ApplySelection(kPoseSet, "P1");
    EXPECT_EQ(prompts->asked.size(), 2u);
    EXPECT_EQ(doc->AllParts().size(), 7u);
}

}  // namespace

namespace {

// A 1 x 1 24-bit bitmap of one colour.
std::string OnePixelBmp(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::string bmp = "BM";
    auto u32 = [&bmp](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&bmp](std::uint16_t v) {
        bmp += static_cast<char>(v & 0xFF);
        bmp += static_cast<char>(v >> 8);
    };
    u32(58);
    u32(0);
    u32(54);
    u32(40);
    u32(1);
    u32(1);
    u16(1);
    u16(24);
    for (std::uint32_t v : {0u, 4u, 0u, 0u, 0u, 0u}) u32(v);
    bmp += static_cast<char>(b);
    bmp += static_cast<char>(g);
    bmp += static_cast<char>(r);
    bmp += '\0';
    return bmp;
}

TEST_F(SceneTest, EyeColoursTakeTheEyeTextures) {
    WriteData("../app/TEXTURE/eye_01a.bmp", OnePixelBmp(0x10, 0x20, 0x30));
    WriteData("../app/TEXTURE/eye_02.bmp", OnePixelBmp(0x40, 0x50, 0x60));
    doc->OnNewDocument();  // resolves the default eye texture
    ASSERT_EQ(GetApp()->GetSettingString("render", "eye_L", ""), AppFolder() + "TEXTURE/eye_01a.bmp");
    GetApp()->SetSettingString("render", "eye_R", AppFolder() + "TEXTURE/eye_02.bmp");
    WriteData("EYE/eye.x", XFile(XFrame("FACE", true, 0, XFrame("EYEL", true, 1) + XFrame("EYER", true, 2))));
    WriteData("EYE/eye.txt", Sjis("EYEL|左目|;EYER|右目|;FACE|肌|"));
    CPartObject* face = doc->LoadPart("EYE\\eye.x", nullptr, doc->GetCharacterRootFrame());
    ASSERT_NE(face, nullptr);
    auto texel = [&face](const char* frame) -> std::uint32_t {
        rm::MeshBuilder* mesh = MeshOf(FindFrameByName(frame, face->GetFrame()).Get());
        if (!mesh || !mesh->GetFace(0)->GetTexture()) return 0;
        return mesh->GetFace(0)->GetTexture()->Texel(0, 0) & 0xFFFFFF;
    };
    EXPECT_EQ(texel("EYEL"), 0x102030u);
    EXPECT_EQ(texel("EYER"), 0x405060u);
    EXPECT_EQ(texel("FACE"), 0u);
}

TEST_F(SceneTest, PreparingTheTreeMakesTheCharacterItemAndOpensThePendingScene) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    const std::string path = TempPath("pending.mrs");
    ASSERT_TRUE(doc->OnSaveDocument(path));
    doc->OnNewDocument();
    GetApp()->SetPendingSceneFile(path);
    doc->PrepareTree();
    EXPECT_EQ(GetApp()->GetPendingSceneFile(), "");
    EXPECT_EQ(doc->AllParts().size(), 7u);
    EXPECT_EQ(doc->GetTitle(), "pending");
    EXPECT_EQ(tree.GetItemText(doc->GetCharacterItem()), Sjis("キャラクタ"));

    doc->OnNewDocument();
    doc->PrepareTree();
    EXPECT_EQ(tree.InsertedCount(), 1u);
    EXPECT_TRUE(tree.GetCheck(doc->GetCharacterItem()));
    int image = 0, selected = 0;
    tree.GetItemImage(doc->GetCharacterItem(), image, selected);
    EXPECT_EQ(image, 6);
}

}  // namespace

namespace {

// A prop whose mesh file gives its frame a coloured material.
const char kColouredProp[] = R"(xof 0302txt 0032
Frame FRM-HAT {
  Mesh {
    4;
    -1;0;0;, 1;0;0;, 1;1;0;, -1;1;0;;
    1;
    4;0,1,2,3;;
    MeshMaterialList {
      1;
      1;
      0;;
      Material {
        0.8;0.2;0.0;1.0;;
        12.0;
        0.5;0.5;0.5;;
        0.1;0.0;0.0;;
      }
    }
    MeshNormals {
      1;
      0;0;-1;;
      1;
      4;0,0,0,0;;
    }
  }
}
)";

TEST_F(SceneTest, ANewColourStartsFromTheColoursOfItsMeshFile) {
    WriteData("HAT/hat.x", kColouredProp);
    WriteData("HAT/hat.txt", Sjis("HAT|帽子|felt\r\n"));
    CPartObject* hat = doc->LoadPart("HAT\\hat.x", nullptr, doc->GetOptionFrame());
    ASSERT_NE(hat, nullptr);
    ASSERT_EQ(hat->ColorObjects().size(), 1u);
    const CColorObject& felt = *hat->ColorObjects()[0];
    EXPECT_EQ(felt.m_diffuse, 0xFFCC3300u);
    EXPECT_EQ(felt.m_power, 12.0f);
    EXPECT_EQ(felt.m_specular, 0x808080u);
    EXPECT_EQ(felt.m_emissive, 0x1A0000u);
    // The mesh keeps its look: the colour applied is the file's own.
    ASSERT_NE(MeshOf(hat->GetFrame()), nullptr);
    EXPECT_EQ(MeshOf(hat->GetFrame())->GetFace(0)->GetColor(), 0xFFCC3300u);
    EXPECT_TRUE(prompts->asked.empty());
}

}  // namespace
