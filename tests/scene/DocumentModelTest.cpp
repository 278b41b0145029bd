// The document's frames, reset, edit target and deletion.

#include <gtest/gtest.h>

#include "SceneFixture.h"
#include "scene/PartSnapshot.h"
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
    // The props' frame stands where the figure does but belongs to the scene.
    EXPECT_EQ(doc->GetOptionFrame()->Parent(), doc->GetSceneFrame());
    rm::Vector p;
    doc->GetCharacterRootFrame()->GetPosition(nullptr, &p);
    EXPECT_EQ(p, (rm::Vector{0, 0, 55.0f}));
    doc->GetOptionFrame()->GetPosition(nullptr, &p);
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
    EXPECT_TRUE(doc->GetCharacterRootFrame()->Children().empty());
    EXPECT_TRUE(doc->GetOptionFrame()->Children().empty());
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

TEST_F(SceneTest, AnEntryChosenWithAnAddedPartSelectedIsAddedBesideIt) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    tree.SelectItem(doc->GetOptionItem());
    doc->ApplySelection("PROPS\\cup.x", "cup");
    const HTREEITEM first = tree.GetSelectedItem();
    ASSERT_NE(doc->FindPartByItem(first), nullptr);
    CPartObject* firstCup = doc->FindPartByItem(first);
    const std::string firstDefinition = firstCup->m_definitionPath;
    // The first cup is selected (its list is 小物's): a second one joins it.
    doc->ApplySelection("PROPS\\cup.x", "cup");
    EXPECT_EQ(tree.Children(doc->GetOptionItem()).size(), 2u);
    EXPECT_EQ(doc->PartMap().size(), 2u);
    EXPECT_EQ(doc->FindPartByItem(first), firstCup) << "the first cup is not swapped";
    EXPECT_EQ(tree.GetParentItem(tree.GetSelectedItem()), doc->GetOptionItem());
    EXPECT_NE(tree.GetSelectedItem(), first);
}

TEST_F(SceneTest, ShowingOrHidingAPartAsItIsIsNoChange) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    const HTREEITEM hand = ItemLabelled("左手");
    ASSERT_NE(hand, 0u);
    const struct {
        int show;
        bool visibleAfter;
        bool change;
    } steps[] = {{1, true, false}, {0, false, true}, {0, false, false}, {1, true, true}, {1, true, false}};
    for (const auto& step : steps) {
        const std::uint64_t before = doc->ChangeCount();
        doc->SetPartVisible(hand, step.show);
        EXPECT_EQ(Part(kHandPath)->IsVisible(), step.visibleAfter);
        EXPECT_EQ(doc->ChangeCount() != before, step.change) << "show " << step.show;
    }
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

// A tray prop with a cup hanging on it, both added under 小物; the cup moved, recoloured and hidden.
class PropsOnPropsTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadFigure());
        // A part of the folder below the tray's hangs on the tray's frame of that folder's name.
        WriteData("PROPS/tray.x", XFile(XFrame("TRAY", true, 2, XFrame("MUG", false))));
        WriteData("PROPS/MUG/mug.x", XFile(XFrame("MUGBODY", true, 3)));
        WriteData("PROPS/MUG/mug.txt", Sjis("MUGBODY|陶器|"));
        tree.SelectItem(doc->GetOptionItem());
        doc->ApplySelection("PROPS\\tray.x", "tray");
        trayItem = tree.GetSelectedItem();
        ASSERT_EQ(doc->PartMap().count(trayItem), 1u);
        tray = doc->PartMap().at(trayItem);
        // The cup hangs on the tray: a part of the tray's, without an entry of its own.
        tree.SelectItem(doc->GetOptionItem());
        doc->ApplySelection("PROPS\\MUG\\mug.x", "cup");
        ASSERT_EQ(tray->Children().size(), 1u) << "the cup hangs on the tray";
        cup = tray->Children().front().get();
        // An entry of its own, as a scene file can give it one.
        cupItem = tree.InsertItem("cup", doc->GetOptionItem());
        const_cast<std::map<HTREEITEM, CPartObject*>&>(doc->PartMap())[cupItem] = cup;
        ASSERT_TRUE(tray->GetFrame() && cup->GetFrame());
        tray->GetFrame()->SetPosition(nullptr, 1, 2, 3);
        cup->GetFrame()->SetPosition(nullptr, 0.5f, 0, -1);
        cup->GetFrame()->SetOrientation(nullptr, 1, 0, 0, 0, 1, 0);
        ASSERT_FALSE(cup->ColorObjects().empty());
        cup->ColorObjects().front()->m_diffuse = 0xFF123456;
        cup->ColorObjects().front()->m_power = 7.0f;
        cup->ColorObjects().front()->ApplyColor();
        doc->SetPartVisible(cupItem, 0);
        tree.SetCheck(cupItem, false);
        trayName = tray->GetFrame()->GetName();
        cupName = cup->GetFrame()->GetName();
        trayWorld = tray->GetFrame()->WorldMatrix();
        cupWorld = cup->GetFrame()->WorldMatrix();
    }

    HTREEITEM trayItem = 0, cupItem = 0;
    CPartObject* tray = nullptr;
    CPartObject* cup = nullptr;
    std::string trayName, cupName;
    rm::Matrix4 trayWorld{}, cupWorld{};
};

TEST_F(PropsOnPropsTest, DeletingAPropForgetsEveryFrameThatGoesAndMovesTheSelectionOn) {
    std::vector<std::string> forgotten;
    doc->SetForgetFrame([&forgotten](rm::Frame* f) { forgotten.push_back(f->GetName()); });
    int deletions = 0;
    doc->SetPartDeletedHook([&deletions](scene::PartSnapshot) { ++deletions; });
    tree.SelectItem(trayItem);
    const std::size_t parts = doc->AllParts().size();
    ASSERT_TRUE(doc->DeleteSelectedPart());
    EXPECT_EQ(forgotten, (std::vector<std::string>{trayName, cupName}));
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(doc->AllParts().size(), parts - 2);
    EXPECT_FALSE(tree.Exists(trayItem));
    EXPECT_FALSE(tree.Exists(cupItem));
    // The cup's entry, the next one, went too: the selection goes up to 小物.
    EXPECT_EQ(tree.GetSelectedItem(), doc->GetOptionItem());
}

TEST_F(PropsOnPropsTest, TheNextEntryThatStaysIsSelectedAfterADeletion) {
    tree.SelectItem(doc->GetOptionItem());
    doc->ApplySelection("PROPS\\cup.x", "mug");
    const HTREEITEM mug = tree.GetSelectedItem();
    tree.SelectItem(cupItem);
    ASSERT_TRUE(doc->DeleteSelectedPart());
    EXPECT_EQ(tree.GetSelectedItem(), mug) << "the entry after the cup's";
    tree.SelectItem(mug);
    ASSERT_TRUE(doc->DeleteSelectedPart());
    EXPECT_EQ(tree.GetSelectedItem(), doc->GetOptionItem()) << "the last entry: its parent";
}

TEST_F(PropsOnPropsTest, ASnapshotBringsThePropBackAsItWas) {
    scene::PartSnapshot snapshot;
    doc->SetPartDeletedHook([&snapshot](scene::PartSnapshot s) { snapshot = std::move(s); });
    const std::size_t parts = doc->AllParts().size();
    const std::vector<std::string> labels = [this] {
        std::vector<std::string> l;
        for (HTREEITEM item : tree.Children(doc->GetOptionItem())) l.push_back(tree.GetItemText(item));
        return l;
    }();
    tree.SelectItem(trayItem);
    ASSERT_TRUE(doc->DeleteSelectedPart());

    CPartObject* back = doc->RestoreSnapshot(snapshot);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(doc->AllParts().size(), parts);
    ASSERT_EQ(back->Children().size(), 1u);
    CPartObject* backCup = back->Children().front().get();
    ASSERT_TRUE(back->GetFrame() && backCup->GetFrame());
    EXPECT_EQ(back->GetFrame()->GetName(), trayName) << "the same names, for the steps that name them";
    EXPECT_EQ(backCup->GetFrame()->GetName(), cupName);
    EXPECT_EQ(doc->PartWithFrame(cupName), backCup);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(back->GetFrame()->WorldMatrix().m[r][c], trayWorld.m[r][c], 1e-5f);
            EXPECT_NEAR(backCup->GetFrame()->WorldMatrix().m[r][c], cupWorld.m[r][c], 1e-5f);
        }
    EXPECT_FALSE(backCup->IsVisible());
    EXPECT_TRUE(back->IsVisible());
    ASSERT_FALSE(backCup->ColorObjects().empty());
    EXPECT_EQ(backCup->ColorObjects().front()->m_diffuse, 0xFF123456u);
    EXPECT_EQ(backCup->ColorObjects().front()->m_power, 7.0f);
    std::vector<std::string> labelsBack;
    for (HTREEITEM item : tree.Children(doc->GetOptionItem())) labelsBack.push_back(tree.GetItemText(item));
    EXPECT_EQ(labelsBack, labels) << "the entries in their places";
    const HTREEITEM cupBack = tree.Children(doc->GetOptionItem()).back();
    EXPECT_FALSE(tree.GetCheck(cupBack));
    EXPECT_EQ(doc->FindPartByItem(cupBack), backCup);
}

}  // namespace
