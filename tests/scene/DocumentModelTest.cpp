// The document's frames, reset, edit target and deletion.

#include <gtest/gtest.h>

#include "SceneFixture.h"
#include "core/MainApp.h"

namespace {

TEST_F(SceneTest, ResetMakesTheFourDocumentFramesAndPublishesThem) {
    rm::Frame* root = doc->GetRootFrame();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), "m_lpfRoot_ByMainDoc");
    EXPECT_EQ(root->Parent(), nullptr);
    EXPECT_EQ(doc->GetSceneFrame()->GetName(), "m_lpfScene_ByMainDoc");
    EXPECT_EQ(doc->GetSceneFrame()->Parent(), root);
    EXPECT_EQ(doc->GetCharacterRootFrame()->GetName(), "frm-_root");
    EXPECT_EQ(doc->GetCharacterRootFrame()->Parent(), doc->GetSceneFrame());
    EXPECT_EQ(doc->GetOptionFrame()->GetName(), "m_lpfOption_ByMainDoc");
    EXPECT_EQ(doc->GetOptionFrame()->Parent(), doc->GetCharacterRootFrame());
    rm::Vector p;
    doc->GetCharacterRootFrame()->GetPosition(nullptr, &p);
    EXPECT_EQ(p, (rm::Vector{0, 0, 55.0f}));
    EXPECT_EQ(doc->GetCurrentFrame(), doc->GetSceneFrame());
    EXPECT_EQ(GetApp()->m_lpfRoot, root);
    EXPECT_EQ(GetApp()->m_lpfCurrent, doc->GetSceneFrame());
    EXPECT_EQ(GetApp()->m_lpfCharRoot, doc->GetCharacterRootFrame());
    EXPECT_EQ(GetApp()->m_pDocument, doc.get());
}

TEST_F(SceneTest, NewAfterAFigureLeavesNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    GetApp()->SetSettingString("render", "bg", "/somewhere/bg.jpg");
    GetApp()->SetSettingInt("view", "mask", 1);
    int refreshed = 0;
    doc->SetToolbarRefresh([&refreshed] { ++refreshed; });
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_TRUE(doc->AllParts().empty());
    EXPECT_TRUE(doc->TopLevelParts().empty());
    EXPECT_TRUE(doc->FolderMap().empty());
    EXPECT_TRUE(doc->PartMap().empty());
    EXPECT_TRUE(doc->FlagsMap().empty());
    EXPECT_EQ(doc->GetCharacterItem(), 0u);
    EXPECT_EQ(doc->GetOptionItem(), 0u);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(GetApp()->GetSettingInt("view", "mask", 9), 0);
    EXPECT_EQ(GetApp()->GetSettingString("render", "bg", "x"), "");
    // No eye_01a.bmp anywhere: the resolved setting is empty.
    EXPECT_EQ(GetApp()->GetSettingString("render", "eye_L", "x"), "");
    EXPECT_TRUE(doc->GetCharacterRootFrame()->Children().size() == 1u);  // only the option frame
    EXPECT_EQ(library->GetNamedObject("LIGHTOBJECT@1"), nullptr);        // lights went with the frames
    EXPECT_EQ(doc->GetTitle(), "Mariso");
}

TEST_F(SceneTest, EditTargetFollowsTheSelectedItem) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    EXPECT_EQ(doc->GetEditTarget().Get(), doc->GetSceneFrame());  // nothing selected
    tree.SelectItem(doc->GetOptionItem());
    EXPECT_EQ(doc->GetEditTarget().Get(), doc->GetOptionFrame());
    tree.SelectItem(doc->GetCharacterItem());
    EXPECT_EQ(doc->GetEditTarget().Get(), doc->GetCharacterRootFrame());

    // A direct child of the character item moves the whole figure, and shows and checks its part.
    const HTREEITEM bodyItem = ItemLabelled("体");
    Part(kBodyPath)->HideVisuals();
    tree.SetCheck(bodyItem, false);
    tree.SelectItem(bodyItem);
    EXPECT_EQ(doc->GetEditTarget().Get(), doc->GetCharacterRootFrame());
    EXPECT_TRUE(Part(kBodyPath)->IsVisible());
    EXPECT_TRUE(tree.GetCheck(bodyItem));

    // A part that hangs on another part is posed on its own: its frame is the target.
    const HTREEITEM handItem = ItemLabelled("左手");
    tree.SelectItem(handItem);
    EXPECT_EQ(doc->GetEditTarget().Get(), Part("BODY\\ARML\\HANDL\\hand.x")->GetFrame());
    EXPECT_NE(Part("BODY\\ARML\\HANDL\\hand.x")->GetFrame(), nullptr);

    // A light marker item moves its marker and shows it.
    const HTREEITEM sun = ItemLabelled("太陽光");
    tree.SelectItem(sun);
    EXPECT_EQ(doc->GetEditTarget().Get(), Part("LIGHT4\\arrow.x")->GetFrame());
    EXPECT_TRUE(Part("LIGHT4\\arrow.x")->IsVisible());
    EXPECT_TRUE(tree.GetCheck(sun));
}

TEST_F(SceneTest, DeletingTheSelectedOptionPart) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    tree.SelectItem(doc->GetOptionItem());
    doc->ApplySelection("PROPS\\cup.x", "cup");
    const HTREEITEM cupItem = tree.GetSelectedItem();
    CPartObject* cup = doc->PartMap().at(cupItem);
    rm::Ref<rm::Frame> cupFrame(cup->GetFrame());
    std::vector<rm::Frame*> forgotten;
    doc->SetForgetFrame([&forgotten](rm::Frame* f) { forgotten.push_back(f); });

    EXPECT_TRUE(doc->DeleteSelectedPart());
    EXPECT_EQ(forgotten, (std::vector<rm::Frame*>{cupFrame.Get()}));
    EXPECT_FALSE(tree.Exists(cupItem));
    EXPECT_TRUE(doc->PartMap().empty());
    EXPECT_EQ(doc->FindPartByFolder("PROPS\\cup.x"), nullptr);
    EXPECT_EQ(doc->TopLevelParts().size(), 5u);
    EXPECT_EQ(cupFrame->Parent(), nullptr);

    // A figure item has no part-map entry: nothing is deleted.
    tree.SelectItem(ItemLabelled("体"));
    EXPECT_FALSE(doc->DeleteSelectedPart());
    EXPECT_EQ(doc->AllParts().size(), 7u);
}

TEST_F(SceneTest, DeletingAPartTakesItsDescendantsOutOfEveryList) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    // An option part that hangs on the figure: its item in the part map, the part a child of the arm.
    WriteData("BODY/ARML/HANDL/RING/ring.x", XFile(XFrame("RING", true)));
    const HTREEITEM handItem = ItemLabelled("左手");
    CPartObject* ring = doc->LoadPart("BODY\\ARML\\HANDL\\RING\\ring.x", nullptr, doc->GetSceneFrame());
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->GetParent(), Part(kHandPath));
    // Make the hand deletable as an option entry would be.
    const HTREEITEM extra = tree.InsertItem("x", handItem);
    const_cast<std::map<HTREEITEM, CPartObject*>&>(doc->PartMap())[extra] = Part(kArmPath);
    tree.SelectItem(extra);
    EXPECT_TRUE(doc->DeleteSelectedPart());
    EXPECT_EQ(doc->FindPartByFolder(kArmPath), nullptr);
    EXPECT_EQ(doc->FindPartByFolder(kHandPath), nullptr);
    EXPECT_EQ(doc->FindPartByFolder("BODY\\ARML\\HANDL\\RING\\ring.x"), nullptr);
    EXPECT_EQ(doc->AllParts().size(), 5u);
    EXPECT_TRUE(Part(kBodyPath)->Children().empty());
}

}  // namespace
