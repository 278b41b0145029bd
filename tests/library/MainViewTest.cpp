// The main view on the sample library: layout, the page host's scrolling, the tree's check boxes
// and selection, Delete, New / Save / Open, and the pages following the selection.

#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "library/CollectionWnd.h"
#include "library/MainView.h"
#include "library/PageHost.h"
#include "library/PartsTreeCtrl.h"
#include "platform/win/UserPrompts.h"
#include "platform/win/WindowMessages.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/FramePlacement.h"

namespace {

// Counts the 1125 messages a stand-in material page receives, with their items.
class MaterialPageProbe final : public win::CMessageWindow<QObject> {
  public:
    std::vector<HTREEITEM> items;
    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM, win::LRESULT*) override {
        if (message == win::WM_TREE_SELECTION_CHANGED) items.push_back(static_cast<HTREEITEM>(w));
        return true;
    }
};

struct LayoutCase {
    QSize client;
    QRect tree, tabControl, editView;
};

}  // namespace

TEST_F(MainWindowTest, LaysOutItsWindowsByTheTableAndScrollsBelow604By300) {
    const int screenHeight = view->screen()->geometry().height();
    const LayoutCase cases[] = {
        {{1000, 700},
         {6, 6, 180, 688},
         {794, 6, 200, 688},
         {192, 6, 596, std::min(700, screenHeight - 1) - 12}},
        {{604, 300}, {6, 6, 180, 288}, {398, 6, 200, 288}, {192, 6, 200, 288}},
        // Below the minimum the form keeps 604 × 300 and the view scrolls.
        {{500, 250}, {6, 6, 180, 288}, {398, 6, 200, 288}, {192, 6, 200, 288}},
    };
    for (const LayoutCase& c : cases) {
        view->setFixedSize(c.client);
        Settle();
        SCOPED_TRACE(testing::Message() << c.client.width() << "x" << c.client.height());
        EXPECT_EQ(view->PartsTree()->geometry(), c.tree);
        EXPECT_EQ(view->TabControl()->geometry(), c.tabControl);
        EXPECT_EQ(view->EditView()->geometry(), c.editView);
        const QRect host = view->PageHost()->geometry();
        EXPECT_EQ(host, QRect(6, 28, c.tabControl.width() - 12, c.tabControl.height() - 36));
        const bool scrolls = c.client.width() < 604 || c.client.height() < 300;
        EXPECT_EQ(view->horizontalScrollBar()->maximum() > 0, scrolls);
    }
}

TEST_F(MainWindowTest, TheTabsShowTheirPagesInThePageHost) {
    const char* const texts[] = {"ｺﾚｸｼｮﾝ", "ｶﾗｰ", "ﾗｲﾄ", "ｵﾌﾟｼｮﾝ"};
    const CMainView::Page pages[] = {CMainView::kCollectionPage, CMainView::kMaterialPage,
                                     CMainView::kLightPage, CMainView::kCameraPage};
    ASSERT_EQ(view->Tabs()->count(), 4);
    for (int i = 3; i >= 0; --i) {
        EXPECT_EQ(view->Tabs()->tabText(i), QString::fromUtf8(texts[i]));
        view->Tabs()->setCurrentIndex(i);
        EXPECT_EQ(view->PageHost()->CurrentPage(), view->PageWidget(pages[i]));
        EXPECT_TRUE(view->PageWidget(pages[i])->isVisible());
        for (const CMainView::Page other : pages)
            if (other != pages[i]) {
                EXPECT_FALSE(view->PageWidget(other)->isVisible());
            }
    }
    EXPECT_FALSE(view->PageWidget(CMainView::kTreePage)->isVisible()) << "no tab shows the tree page";
}

TEST_F(MainWindowTest, ThePageHostScrollsByLinesAndPagesAndStopsAtBothEnds) {
    view->setFixedSize(800, 360);
    Settle();
    ClickItem(doc->GetCharacterItem());
    CPageHost& host = *view->PageHost();
    QWidget& page = Collection();
    ASSERT_EQ(host.CurrentPage(), &page);
    const int hostHeight = host.height(), pageHeight = page.height();
    ASSERT_GT(pageHeight, hostHeight) << "six pose sets are taller than the host";
    QScrollBar& bar = *host.ScrollBar();
    ASSERT_TRUE(bar.isEnabled());
    EXPECT_EQ(page.width(), host.width() - 15);
    EXPECT_EQ(bar.geometry(), QRect(host.width() - 14, 0, 14, hostHeight));

    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(page.y(), -16);
    bar.triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar.triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(page.y(), 0) << "up-scrolling stops at the top";
    EXPECT_EQ(host.ScrollPosition(), 0);
    for (int i = 0; i < 4; ++i) bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(host.ScrollPosition(), pageHeight - hostHeight);
    EXPECT_EQ(page.y(), hostHeight - pageHeight - 1) << "the page's bottom one pixel above the host's";
    bar.triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(page.y(), -std::max(0, pageHeight - 2 * hostHeight));
    bar.setSliderPosition(37);  // dragging the thumb
    EXPECT_EQ(page.y(), -37);

    // A host taller than the page disables the bar and shows the page from its top.
    view->setFixedSize(800, 700);
    Settle();
    EXPECT_FALSE(bar.isEnabled());
    EXPECT_EQ(page.y(), 0);
}

TEST_F(MainWindowTest, CheckBoxesCarryTheirChangeToParentChildrenAndParts) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const HTREEITEM character = doc->GetCharacterItem();
    const std::vector<HTREEITEM> limbs(Tree().Children(character));
    ASSERT_GE(limbs.size(), 2u);
    for (HTREEITEM limb : limbs) ASSERT_NE(doc->FindPartByItem(limb), nullptr) << Tree().GetItemText(limb);
    const HTREEITEM selected = Tree().GetSelectedItem();

    // Unchecking every child unchecks the parent only at the last one.
    for (std::size_t i = 0; i < limbs.size(); ++i) {
        ClickCheckBox(limbs[i]);
        ASSERT_FALSE(Tree().GetCheck(limbs[i]));
        ASSERT_FALSE(doc->FindPartByItem(limbs[i])->IsVisible()) << i;
        EXPECT_EQ(Tree().GetCheck(character), i + 1 < limbs.size()) << i;
    }
    EXPECT_EQ(Tree().GetSelectedItem(), selected) << "a check box click leaves the selection";
    // Checking one checks the parent again.
    ClickCheckBox(limbs[1]);
    EXPECT_TRUE(Tree().GetCheck(character));
    EXPECT_TRUE(doc->FindPartByItem(limbs[1])->IsVisible());
    EXPECT_FALSE(doc->FindPartByItem(limbs[0])->IsVisible());

    // Unchecking and checking the category passes its state to every direct child and its part.
    ClickCheckBox(character);
    ClickCheckBox(character);
    for (HTREEITEM limb : limbs) {
        EXPECT_TRUE(Tree().GetCheck(limb));
        EXPECT_TRUE(doc->FindPartByItem(limb)->IsVisible());
    }
}

TEST_F(MainWindowTest, SpaceTogglesTheSelectedItemsCheckBox) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ASSERT_GE(Tree().Children(doc->GetCharacterItem()).size(), 2u);
    const HTREEITEM head = Tree().Children(doc->GetCharacterItem())[1];
    ASSERT_NE(doc->FindPartByItem(head), nullptr);
    ClickItem(head);
    ASSERT_EQ(Tree().GetSelectedItem(), head);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Space);
    Settle();
    EXPECT_FALSE(Tree().GetCheck(head));
    EXPECT_FALSE(doc->FindPartByItem(head)->IsVisible());
}

TEST_F(MainWindowTest, UntickingALightMarkerHidesIt) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const HTREEITEM sun = ItemLabelled("太陽光");
    ASSERT_NE(sun, 0u);
    CPartObject* marker = doc->FindPartByItem(sun);
    ASSERT_NE(marker, nullptr);
    if (!Tree().GetCheck(sun)) ClickCheckBox(sun);
    ASSERT_TRUE(marker->IsVisible());
    ClickCheckBox(sun);
    EXPECT_FALSE(Tree().GetCheck(sun));
    EXPECT_FALSE(marker->IsVisible()) << "a root-level marker is hidden like any part";
}

TEST_F(MainWindowTest, SelectingNothingClearsTheSelectionAndTellsThePages) {
    MaterialPageProbe material;
    GetApp()->m_pMaterialDlg = &material;
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ASSERT_FALSE(Tree().Children(doc->GetCharacterItem()).empty());
    ClickItem(Tree().Children(doc->GetCharacterItem())[0]);
    ASSERT_NE(Tree().GetSelectedItem(), 0u);
    material.items.clear();

    // The camera command of the edit view posts 1126 with 0.
    view->EditView()->OnCommand(ID_SELECT_CAMERA);
    Settle();
    EXPECT_EQ(Tree().GetSelectedItem(), 0u);
    EXPECT_EQ(TreeCtrl().currentItem(), nullptr);
    EXPECT_EQ(material.items, std::vector<HTREEITEM>{0});
    EXPECT_TRUE(Collection().Entries().empty()) << "the collection answered 1125 with 0 by emptying its list";
    GetApp()->m_pMaterialDlg = nullptr;
}

TEST_F(MainWindowTest, DeleteRemovesThePartItsItemAndItsUndoSteps) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("小物"), "ボール"));
    const HTREEITEM ball = ItemLabelled("ボール");
    ASSERT_NE(ball, 0u);
    CPartObject* part = doc->FindPartByItem(ball);
    ASSERT_NE(part, nullptr);
    C3DView& edit = *view->EditView();
    edit.History().Clear();
    UndoStep step;
    step.push_back(FramePlacementRecord::Capture(*GetApp()->m_lpD3DRM, *part->GetFrame()));
    ASSERT_NE(step.back(), nullptr);
    edit.History().Push(std::move(step));
    ASSERT_EQ(edit.History().UndoCount(), 1u);
    const std::size_t parts = doc->AllParts().size();
    const std::string ballFrame = part->GetFrame()->GetName();

    ClickItem(ball);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Delete);
    Settle();
    EXPECT_EQ(doc->AllParts().size(), parts - 1);
    EXPECT_FALSE(Tree().Exists(ball));
    EXPECT_EQ(TreeCtrl().WidgetItem(ball), nullptr);
    ASSERT_EQ(edit.History().UndoCount(), 1u) << "no undo step names the deleted part's frame";
    EXPECT_FALSE(edit.History().NewestUndo().front()->IsAboutFrame(ballFrame));
    // The one step left is the deletion itself: undoing it brings the ball back.
    edit.OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(doc->AllParts().size(), parts);
    EXPECT_NE(ItemLabelled("ボール"), 0u);
    EXPECT_EQ(edit.History().UndoCount(), 0u);
}

TEST_F(MainWindowTest, DoubleClickingAPoseSetLoadsItAndAsksTheSecondTime) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    EXPECT_TRUE(prompts->asked.empty()) << "the first pose set loads without a question";
    const std::size_t standing = doc->AllParts().size();
    const std::string standingSet = doc->GetPoseSetPath();

    prompts->messageAnswers.push_back(win::IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(doc->GetCharacterItem(), "歩くポーズ"));
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].caption, "基本ポーズの読み込み");
    EXPECT_EQ(doc->AllParts().size(), standing) << "cancelled: the figure stays";
    EXPECT_EQ(doc->GetPoseSetPath(), standingSet);

    prompts->messageAnswers.push_back(win::IDOK);
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(doc->GetCharacterItem(), "歩くポーズ"));
    EXPECT_EQ(prompts->asked.size(), 2u);
    EXPECT_NE(doc->GetPoseSetPath(), standingSet);
    EXPECT_FALSE(doc->AllParts().empty());
}

TEST_F(MainWindowTest, AddingAPropWhileTheProgressPumpsKeepsEveryItemWithAPart) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const HTREEITEM props = ItemLabelled("小物");
    for (const char* name : {"ボール", "いす", "かさ"}) ApplyEntry(props, name);
    const std::vector<HTREEITEM> added(Tree().Children(props));
    ASSERT_EQ(added.size(), 3u);
    for (HTREEITEM item : added) {
        EXPECT_NE(doc->FindPartByItem(item), nullptr);
        EXPECT_TRUE(Tree().GetCheck(item));
    }
    EXPECT_EQ(ItemLabelled("処理中"), 0u);
}

// Each change a person makes marks the saved scene as changed, in the title too.
TEST_F(MainWindowTest, PartsAddedHiddenOrDeletedMarkTheSavedSceneChanged) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    QTemporaryDir dir;
    prompts->fileAnswers.push_back(dir.path().toStdString() + "/marks.mrs");
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
    const std::vector<HTREEITEM> limbs(Tree().Children(doc->GetCharacterItem()));
    ASSERT_FALSE(limbs.empty());
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"added", [&] { ApplyEntry(ItemLabelled("小物"), "ボール"); }},
        {"hidden", [&] { ClickCheckBox(limbs[0]); }},
        {"shown", [&] { ClickCheckBox(limbs[0]); }},
        {"deleted", [&] { ASSERT_TRUE(doc->DeleteSelectedPart()); }},
    };
    for (const auto& c : changes) {
        ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE));
        ASSERT_FALSE(doc->IsModified()) << c.what;
        ASSERT_FALSE(frame->windowTitle().contains('*')) << c.what;
        c.change();
        Settle();
        EXPECT_TRUE(doc->IsModified()) << c.what;
        EXPECT_TRUE(frame->windowTitle().startsWith(QStringLiteral("marks*"))) << c.what;
    }
}

TEST_F(MainWindowTest, NewAfterAPoseSetSavesAndOpensAnEmptyScene) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    // The figure is an unsaved change: New asks first, and No lets it go.
    EXPECT_TRUE(doc->IsModified());
    prompts->messageAnswers.push_back(win::IDNO);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    EXPECT_EQ(prompts->MessageTexts().back(), "変更を保存しますか?");
    Settle();
    EXPECT_TRUE(doc->GetPoseSetPath().empty());
    ASSERT_EQ(Tree().GetCount(), 1u) << "only the character entry";

    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/empty.mrs";
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    Settle();
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_TRUE(doc->AllParts().empty());
    EXPECT_EQ(Tree().GetCount(), 1u) << "the tree shows the empty scene, no figure entries";
    EXPECT_EQ(TreeCtrl().topLevelItemCount(), 1);
    EXPECT_EQ(view->Tabs()->currentIndex(), 0);
}

TEST_F(MainWindowTest, OpenShowsTheTreeOfTheSavedScene) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("小物"), "ボール"));
    const std::size_t items = Tree().GetCount();
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/ball.mrs";
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    Settle();
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    Settle();
    EXPECT_EQ(Tree().GetCount(), items);
    EXPECT_NE(ItemLabelled("ボール"), 0u);
    EXPECT_EQ(static_cast<std::size_t>(TreeCtrl().topLevelItemCount()), Tree().Children(TVI_ROOT).size());
    // Opening puts the saved scene back: nothing in it is an unsaved change, and the saved scene
    // was let go by New without a question.
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("ball - Ovalith"));
    EXPECT_TRUE(prompts->MessageTexts().empty());
}

TEST_F(MainWindowTest, ApplyCollectionAppliesNothingOnceTheListIsGone) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("小物"), "ボール"));
    // A light marker's item has no list: the collection empties and shrinks.
    const HTREEITEM sun = ItemLabelled("太陽光");
    ASSERT_NE(sun, 0u);
    ClickItem(sun);
    EXPECT_EQ(Tree().GetSelectedItem(), sun);
    EXPECT_TRUE(Collection().Entries().empty());
    EXPECT_EQ(Collection().height(), 1);
    const std::size_t parts = doc->AllParts().size();
    ASSERT_TRUE(frame->RunCommand(ID_APPLY_COLLECTION));
    Settle();
    EXPECT_EQ(doc->AllParts().size(), parts);
    EXPECT_EQ(Tree().Children(ItemLabelled("小物")).size(), 1u);
    EXPECT_TRUE(prompts->asked.empty());
}

TEST_F(MainWindowTest, ApplyCollectionAppliesTheSelectedEntry) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ClickItem(ItemLabelled("小物"));
    Collection().SetSelection(EntryIndex("ボール"));
    ASSERT_TRUE(frame->RunCommand(ID_APPLY_COLLECTION));
    Settle();
    EXPECT_NE(ItemLabelled("ボール"), 0u);
}

// What a person sees selected is what Space acts on: collapsing a branch that holds the selection
// selects the branch's item (the pages and the collection follow), and selecting a hidden item
// opens its branch in the model, not only in the widget. Either way the refresh finds the toggle,
// so no part stays shown behind an unticked box.
TEST_F(MainWindowTest, SpaceActsOnTheItemShownSelectedAfterABranchIsCollapsedOrOpened) {
    MaterialPageProbe material;
    GetApp()->m_pMaterialDlg = &material;
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const HTREEITEM character = doc->GetCharacterItem();
    const HTREEITEM head = ItemLabelled("あたま");
    ASSERT_EQ(Tree().GetParentItem(head), character);
    QTreeWidgetItem* characterRow = TreeCtrl().WidgetItem(character);
    ClickItem(head);
    ASSERT_EQ(Tree().GetSelectedItem(), head);
    material.items.clear();
    // Every limb's box says whether its part is shown.
    auto expectBoxesMatchParts = [&](bool shown) {
        for (HTREEITEM limb : Tree().Children(character)) {
            ASSERT_NE(doc->FindPartByItem(limb), nullptr);
            EXPECT_EQ(Tree().GetCheck(limb), shown) << Tree().GetItemText(limb);
            EXPECT_EQ(doc->FindPartByItem(limb)->IsVisible(), shown) << Tree().GetItemText(limb);
        }
    };

    // A click on the branch's arrow closes it.
    const QRect row = TreeCtrl().visualItemRect(characterRow);
    QTest::mouseClick(TreeCtrl().viewport(), Qt::LeftButton, {},
                      QPoint(row.left() - TreeCtrl().indentation() / 2, row.center().y()));
    Settle();
    ASSERT_FALSE(characterRow->isExpanded());
    EXPECT_FALSE(Tree().IsExpanded(character));
    EXPECT_EQ(Tree().GetSelectedItem(), character);
    EXPECT_EQ(TreeCtrl().currentItem(), characterRow);
    EXPECT_EQ(material.items, std::vector<HTREEITEM>{character}) << "reported as a selection";
    EXPECT_EQ(Collection().Folder(), "") << "the collection lists the pose sets";
    EXPECT_FALSE(Collection().Entries().empty());
    QTest::keyClick(&TreeCtrl(), Qt::Key_Space);
    Settle();
    EXPECT_FALSE(Tree().GetCheck(character));
    expectBoxesMatchParts(false);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Space);
    Settle();
    expectBoxesMatchParts(true);

    // Selected by message while its branch is closed: the branch opens in the model too.
    win::SendMessage(view, win::WM_SELECT_TREE_ITEM, head);
    Settle();
    EXPECT_TRUE(characterRow->isExpanded());
    EXPECT_TRUE(Tree().IsExpanded(character));
    QTest::keyClick(&TreeCtrl(), Qt::Key_Space);
    Settle();
    EXPECT_FALSE(Tree().GetCheck(head));
    EXPECT_FALSE(doc->FindPartByItem(head)->IsVisible()) << "the refresh saw the toggle";
    GetApp()->m_pMaterialDlg = nullptr;
}

// A click below the last item selects nothing: the pages and the collection hear of it, and a drag
// in the edit view moves the whole scene, not the part selected before.
TEST_F(MainWindowTest, AClickOnTheTreesEmptyAreaSelectsNothing) {
    MaterialPageProbe material;
    GetApp()->m_pMaterialDlg = &material;
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const HTREEITEM head = ItemLabelled("あたま");
    ClickItem(head);
    ASSERT_EQ(Tree().GetSelectedItem(), head);
    ASSERT_NE(doc->GetEditTarget().Get(), doc->GetSceneFrame());
    material.items.clear();

    const QPoint empty(40, TreeCtrl().viewport()->height() - 4);
    ASSERT_EQ(TreeCtrl().itemAt(empty), nullptr) << "the tree has room below its last item";
    QTest::mouseClick(TreeCtrl().viewport(), Qt::LeftButton, {}, empty);
    Settle();
    EXPECT_EQ(Tree().GetSelectedItem(), 0u);
    EXPECT_EQ(TreeCtrl().currentItem(), nullptr);
    EXPECT_TRUE(TreeCtrl().selectedItems().isEmpty());
    EXPECT_EQ(material.items, std::vector<HTREEITEM>{0});
    EXPECT_TRUE(Collection().Entries().empty());
    EXPECT_EQ(doc->GetEditTarget().Get(), doc->GetSceneFrame());
    GetApp()->m_pMaterialDlg = nullptr;
}
