// Deleting a prop and swapping a part through the main window: each is one undo step that puts the
// scene back as it was, and redo does it again; the selection moves on after a deletion.

#include <QTest>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "base/Cp932.h"
#include "core/MainApp.h"
#include "library/CollectionWnd.h"
#include "library/MainView.h"
#include "library/PartsTreeCtrl.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"

namespace {

class PartUndoTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    }
    C3DView& Edit() const { return *view->EditView(); }
    static void ExpectSameMatrix(const rm::Matrix4& a, const rm::Matrix4& b, const char* what) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-4f) << what << " [" << r << "][" << c << "]";
    }
};

}  // namespace

TEST_F(PartUndoTest, DeletingAPropIsOneStepThatBringsItBackWithItsPlacementAndColours) {
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("小物"), "ボール"));
    const HTREEITEM ball = ItemLabelled("ボール");
    CPartObject* part = doc->FindPartByItem(ball);
    ASSERT_TRUE(part && part->GetFrame() && !part->ColorObjects().empty());
    part->GetFrame()->SetPosition(nullptr, 3, -2, 7);
    part->GetFrame()->SetOrientation(nullptr, 0, 1, 0, 0, 0, -1);
    part->ColorObjects().front()->m_diffuse = 0xFF204060;
    part->ColorObjects().front()->ApplyColor();
    const std::string name = part->GetFrame()->GetName();
    const rm::Matrix4 world = part->GetFrame()->WorldMatrix();
    const std::size_t parts = doc->AllParts().size();
    const std::size_t steps = Edit().History().UndoCount();

    ClickItem(ball);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Delete);
    Settle();
    ASSERT_EQ(doc->AllParts().size(), parts - 1);
    EXPECT_EQ(Edit().History().UndoCount(), steps + 1);
    // The only prop gone: the selection is on 小物, and everything that follows it knows.
    EXPECT_EQ(Tree().GetSelectedItem(), ItemLabelled("小物"));
    EXPECT_FALSE(Collection().Entries().empty()) << "the props are listed";
    EXPECT_EQ(Collection().Folder(), doc->FolderMap().at(ItemLabelled("小物")));

    Edit().OnCommand(ID_EDIT_UNDO);
    Settle();
    ASSERT_EQ(doc->AllParts().size(), parts);
    const HTREEITEM back = ItemLabelled("ボール");
    ASSERT_NE(back, 0u) << "the entry is back";
    CPartObject* again = doc->FindPartByItem(back);
    ASSERT_TRUE(again && again->GetFrame() && !again->ColorObjects().empty());
    EXPECT_EQ(again->GetFrame()->GetName(), name);
    ExpectSameMatrix(again->GetFrame()->WorldMatrix(), world, "placement");
    EXPECT_EQ(again->ColorObjects().front()->m_diffuse, 0xFF204060u);
    EXPECT_TRUE(Tree().GetCheck(back));

    Edit().OnCommand(ID_EDIT_REDO);
    Settle();
    EXPECT_EQ(doc->AllParts().size(), parts - 1);
    EXPECT_EQ(ItemLabelled("ボール"), 0u);
    Edit().OnCommand(ID_EDIT_UNDO);
    Settle();
    EXPECT_EQ(doc->AllParts().size(), parts);
}

TEST_F(PartUndoTest, ASwappedPartKeepsItsPoseAndTheSwapIsOneStep) {
    const HTREEITEM head = ItemLabelled("あたま");
    CPartObject* part = doc->FindPartByItem(head);
    ASSERT_TRUE(part && part->GetFrame());
    // The head turned to one side and tilted.
    part->GetFrame()->SetOrientation(nullptr, 0.6f, 0, 0.8f, 0.1f, 0.99f, -0.075f);
    const rm::Matrix4 turned = part->GetFrame()->WorldMatrix();
    const std::string shortHair = part->m_definitionPath;
    const std::string name = part->GetFrame()->GetName();
    const std::size_t steps = Edit().History().UndoCount();

    ASSERT_NO_FATAL_FAILURE(ApplyEntry(head, "ロング"));
    ASSERT_EQ(doc->FindPartByItem(head), part);
    ASSERT_NE(part->m_definitionPath, shortHair) << "the long hair is on";
    const std::string longHair = part->m_definitionPath;
    ExpectSameMatrix(part->GetFrame()->WorldMatrix(), turned, "the new head is turned as the old one was");
    EXPECT_EQ(Edit().History().UndoCount(), steps + 1);
    EXPECT_TRUE(doc->IsModified());

    Edit().OnCommand(ID_EDIT_UNDO);
    Settle();
    EXPECT_EQ(part->m_definitionPath, shortHair);
    EXPECT_EQ(part->GetFrame()->GetName(), name);
    ExpectSameMatrix(part->GetFrame()->WorldMatrix(), turned, "undone");
    Edit().OnCommand(ID_EDIT_REDO);
    Settle();
    EXPECT_EQ(part->m_definitionPath, longHair);
    ExpectSameMatrix(part->GetFrame()->WorldMatrix(), turned, "redone");
}

TEST_F(PartUndoTest, PartsOnASwappedPartKeepTheirPose) {
    // The left forearm bent on the upper arm; the upper arm swapped for itself.
    CPartObject* forearm = doc->FindPartByItem(ItemLabelled("左ひじから先"));
    CPartObject* arm = doc->FindPartByItem(ItemLabelled("左うで"));
    ASSERT_TRUE(forearm && forearm->GetFrame() && arm && arm->GetFrame());
    forearm->GetFrame()->SetOrientation(nullptr, 0, -0.6f, 0.8f, 0, 0.8f, 0.6f);
    const rm::Matrix4 bent = forearm->GetFrame()->WorldMatrix();
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("左うで"), "半そで"));
    ASSERT_EQ(forearm->GetParent(), arm);
    ExpectSameMatrix(forearm->GetFrame()->WorldMatrix(), bent, "the forearm stays bent");
}

TEST_F(PartUndoTest, EachDoubleClickInThePropsListAddsAnotherProp) {
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("小物"), "ボール"));
    const HTREEITEM props = ItemLabelled("小物");
    ASSERT_EQ(Tree().Children(props).size(), 1u);
    // The new ball is selected and the props stay listed: double-click two more without choosing 小物 again.
    ASSERT_EQ(doc->FindPartByItem(Tree().GetSelectedItem()), doc->FindPartByItem(Tree().Children(props)[0]));
    for (const char* name : {"いす", "ボール"}) ASSERT_NO_FATAL_FAILURE(DoubleClickEntry(name));
    ASSERT_EQ(Tree().Children(props).size(), 3u);
    std::vector<std::string> labels;
    for (HTREEITEM item : Tree().Children(props)) labels.push_back(Tree().GetItemText(item));
    EXPECT_EQ(labels, (std::vector<std::string>{cp932::FromUtf8("ボール"), cp932::FromUtf8("いす"),
                                                cp932::FromUtf8("ボール")}));
}
