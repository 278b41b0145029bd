// Undo and redo of drags, the right-button menu, forgetting deleted parts and resets.

#include <QAction>
#include <QMenu>

#include "EditViewFixture.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "archive/Communicator.h"
#include "base/Cp932.h"

namespace {

rm::Vector PositionOf(const rm::Frame& frame) {
    rm::Vector p;
    frame.GetPosition(nullptr, &p);
    return p;
}

QAction* MenuAction(QMenu& menu, int id) {
    for (QAction* a : menu.actions())
        if (a->data().toInt() == id) return a;
    return nullptr;
}

class EditViewUndoTest : public EditViewTest {
  protected:
    // Adds the first prop of the option entry's list; it ends up selected.
    CPartObject* AddProp() {
        std::size_t length = 0;
        const char* list = Doc().Archive().Read("PROP\\plist.txt", length);
        if (!list) return nullptr;
        const std::string first(list, std::string(list, length).find('|'));
        Tree().SelectItem(Doc().GetOptionItem());
        Doc().ApplySelection("PROP\\" + first, "prop");
        Settle();
        return Doc().FindPartByItem(Tree().GetSelectedItem());
    }
};

TEST_F(EditViewUndoTest, SixtyFiveDragsKeep64AndUndoRestoresNewestFirst) {
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(Doc().GetCharacterItem());
    rm::Frame* root = Doc().GetCharacterRootFrame();
    std::vector<rm::Vector> before;
    for (int i = 0; i < 65; ++i) {
        before.push_back(PositionOf(*root));
        Drag({100, 100}, {103, 101}, 1);
    }
    EXPECT_EQ(m_view->History().UndoCount(), 64u);
    for (int i = 64; i >= 1; --i) {
        m_view->OnCommand(ID_EDIT_UNDO);
        const rm::Vector p = PositionOf(*root);
        ASSERT_NEAR(p.x, before[i].x, 1e-4f) << i;
        ASSERT_NEAR(p.y, before[i].y, 1e-4f) << i;
    }
    auto menu = m_view->CreateContextMenu();
    EXPECT_FALSE(MenuAction(*menu, ID_EDIT_UNDO)->isEnabled());
    EXPECT_TRUE(MenuAction(*menu, ID_EDIT_REDO)->isEnabled());
    m_view->OnCommand(ID_EDIT_UNDO);
    EXPECT_NEAR(PositionOf(*root).x, before[1].x, 1e-4f) << "the first drag was pushed out";
}

TEST_F(EditViewUndoTest, RedoRestoresAndANewDragEmptiesIt) {
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(ItemOf("HANDL"));
    rm::Frame* hand = PartOf("HANDL")->GetFrame();
    const rm::Vector start = PositionOf(*hand);
    Drag({100, 100}, {130, 100});
    const rm::Vector moved = PositionOf(*hand);
    m_view->OnCommand(ID_EDIT_UNDO);
    EXPECT_NEAR(PositionOf(*hand).x, start.x, 1e-5f);
    m_view->OnCommand(ID_EDIT_REDO);
    EXPECT_NEAR(PositionOf(*hand).x, moved.x, 1e-5f);
    EXPECT_NEAR(PositionOf(*hand).y, moved.y, 1e-5f);
    m_view->OnCommand(ID_EDIT_UNDO);
    ASSERT_EQ(m_view->History().RedoCount(), 1u);
    Drag({100, 100}, {100, 120});
    EXPECT_EQ(m_view->History().RedoCount(), 0u);
    auto menu = m_view->CreateContextMenu();
    EXPECT_FALSE(MenuAction(*menu, ID_EDIT_REDO)->isEnabled());
    EXPECT_TRUE(MenuAction(*menu, ID_EDIT_UNDO)->isEnabled());
}

TEST_F(EditViewUndoTest, DeletingAPartForgetsItsRecordsAndTheMenuOffersDeleteOnlyForAddedParts) {
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(ItemOf("HANDL"));
    EXPECT_FALSE(MenuAction(*m_view->CreateContextMenu(), ID_EDIT_DELETE)->isEnabled()) << "no ADD on the figure";

    CPartObject* prop = AddProp();
    ASSERT_NE(prop, nullptr);
    EXPECT_TRUE(MenuAction(*m_view->CreateContextMenu(), ID_EDIT_DELETE)->isEnabled());
    Drag({100, 100}, {120, 100});
    Drag({100, 100}, {100, 120});
    m_view->OnCommand(ID_EDIT_UNDO);
    ASSERT_EQ(m_view->History().UndoCount(), 1u);
    ASSERT_EQ(m_view->History().RedoCount(), 1u);
    m_view->OnCommand(ID_EDIT_DELETE);
    EXPECT_EQ(Doc().FindPartByItem(Tree().GetSelectedItem()), nullptr);
    // The drags' steps went with the part; the deletion is the one step left.
    EXPECT_EQ(m_view->History().UndoCount(), 1u);
    EXPECT_EQ(m_view->History().RedoCount(), 0u);
}

TEST_F(EditViewUndoTest, ANewSceneOrPoseSetEmptiesTheHistory) {
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(Doc().GetCharacterItem());
    Drag({100, 100}, {120, 100});
    Drag({100, 100}, {120, 100});
    m_view->OnCommand(ID_EDIT_UNDO);
    ASSERT_EQ(m_view->History().UndoCount(), 1u);
    Doc().OnNewDocument();
    EXPECT_EQ(m_view->History().UndoCount(), 0u);
    EXPECT_EQ(m_view->History().RedoCount(), 0u);

    LoadStanding();
    Tree().SelectItem(Doc().GetCharacterItem());
    Press({100, 100});
    MoveTo({110, 100});
    ASSERT_TRUE(m_view->IsDragging());
    LoadStanding();  // a reset in the middle of a drag
    EXPECT_FALSE(m_view->IsDragging());
    EXPECT_EQ(m_view->History().UndoCount(), 0u);
    EXPECT_FALSE(m_view->History().HasPending());
}

TEST_F(EditViewUndoTest, APressThatMovedNothingLeavesNoRecordForALaterSceneDrag) {
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(ItemOf("HANDL"));
    rm::Frame* hand = PartOf("HANDL")->GetFrame();
    const rm::Vector handBefore = PositionOf(*hand);
    Press({100, 100});
    Release({100, 100});
    Tree().SelectItem(0);
    Drag({100, 100}, {140, 110});
    m_view->OnCommand(ID_EDIT_UNDO);
    const rm::Vector handAfter = PositionOf(*hand);
    EXPECT_EQ(handAfter.x, handBefore.x);
    EXPECT_EQ(handAfter.y, handBefore.y);
    EXPECT_EQ(handAfter.z, handBefore.z);
    EXPECT_EQ(m_view->History().UndoCount(), 0u);
}

TEST_F(EditViewUndoTest, EditingCommandsSetTheModeAndRefreshTheToolbar) {
    MakeView(320, 240);
    int refreshed = 0;
    m_view->SetToolbarRefresh([&refreshed] { ++refreshed; });
    struct Row {
        int command, mode, axis;
    };
    for (const Row& r : {Row{ID_EDIT_Z_MOVE, EDIT_MOVE, AXIS_Z}, Row{ID_EDIT_ROTATE, EDIT_ROTATE, AXIS_FREE},
                         Row{ID_EDIT_Z_MOVE, EDIT_MOVE, AXIS_Z}, Row{ID_EDIT_IK, EDIT_IK, AXIS_FREE},
                         Row{ID_EDIT_PLANE_MOVE, EDIT_MOVE, AXIS_FREE}}) {
        m_view->OnCommand(r.command);
        EXPECT_EQ(GetApp()->EditMode, r.mode) << r.command;
        EXPECT_EQ(GetApp()->AxisConstraint, r.axis) << r.command;
    }
    EXPECT_EQ(refreshed, 5);
    auto menu = m_view->CreateContextMenu();
    QStringList texts;
    for (QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("|") : a->text());
    EXPECT_EQ(texts.join(','), QStringLiteral("平面移動,ズーム,回転,IK,|,カメラを選択,センタリング,削除,|,"
                                              "左右反転コピー,左右入れ替え,|,取り消し,やり直し"));
}

// Stands in for the main view and records the tree item each selection request names.
class SelectionRequests final : public win::CMessageWindow<QObject> {
  public:
    std::vector<win::WPARAM> items;
    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM, win::LRESULT*) override {
        if (message == win::WM_SELECT_TREE_ITEM) items.push_back(w);
        return true;
    }
};

TEST_F(EditViewUndoTest, TheRightButtonOpensTheMenuWhereItWasReleasedAndRunsTheChosenCommand) {
    SelectionRequests mainView;
    GetApp()->m_pMainView = &mainView;
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(ItemOf("HANDL"));
    int shown = 0;
    QPoint shownAt;
    int choice = 0;  // the command picked from the menu; 0 closes it with nothing chosen
    m_view->SetMenuRunner([&](QMenu& menu, QPoint at) -> QAction* {
        ++shown;
        shownAt = at;
        return choice ? MenuAction(menu, choice) : nullptr;
    });

    choice = ID_EDIT_ROTATE;
    RightClick({40, 30});
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(shownAt, m_view->mapToGlobal(QPoint(40, 30)));
    EXPECT_EQ(GetApp()->EditMode, EDIT_ROTATE);

    // カメラを選択 asks the main view to select nothing, so that the scene is what a drag moves.
    choice = ID_SELECT_CAMERA;
    Settle();
    mainView.items.clear();  // the pose set's own selection
    RightClick({50, 60});
    Settle();
    EXPECT_EQ(mainView.items, std::vector<win::WPARAM>{0});

    // Closed with nothing chosen, or a greyed item: nothing runs.
    choice = 0;
    RightClick({50, 60});
    choice = ID_EDIT_DELETE;  // greyed: the hand is no added part
    RightClick({50, 60});
    EXPECT_EQ(shown, 4);
    EXPECT_NE(PartOf("HANDL"), nullptr);
    EXPECT_EQ(GetApp()->EditMode, EDIT_ROTATE);

    // No menu during a drag.
    choice = ID_EDIT_PLANE_MOVE;
    Press({100, 100});
    MoveTo({110, 100});
    RightClick({110, 100}, Qt::LeftButton);
    EXPECT_EQ(shown, 4);
    EXPECT_TRUE(m_view->IsDragging());
    EXPECT_EQ(GetApp()->EditMode, EDIT_ROTATE);
    Release({110, 100});
    GetApp()->m_pMainView = nullptr;
}

}  // namespace
