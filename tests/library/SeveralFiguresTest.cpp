// Several figures in one scene through the main window: each stands apart on one floor, every
// command that acts on "the figure" acts on the selected one, colours are per figure, adding and
// removing are undo steps, and a scene file keeps every figure.

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <map>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "base/Cp932.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "library/CollectionWnd.h"
#include "library/MainView.h"
#include "library/PartsTreeCtrl.h"
#include "scene/ColorObject.h"
#include "scene/FrameNames.h"
#include "scene/MainDoc.h"
#include "scene/SceneMessages.h"
#include "view/3DView.h"
#include "view/ColorSwatchButton.h"
#include "view/MaterialDlg.h"

namespace {

// What a test compares of a part: where it is in the world, whether it shows, its colours.
struct PartState {
    rm::Matrix4 world;
    bool visible = true;
    std::vector<std::uint32_t> colours;
};

class SeveralFiguresTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    }
    C3DView& Edit() const { return *view->EditView(); }

    scene::Figure& AddFigure(const char* poseSet) {
        scene::Figure* figure = doc->AddFigureFromPoseSet(poseSet);
        Settle();
        EXPECT_NE(figure, nullptr) << poseSet;
        return *figure;
    }
    // The entry labelled `label` (UTF-8) among a figure's entries; 0 when none.
    HTREEITEM ItemOf(const scene::Figure& figure, const std::string& label) const {
        const std::string text = cp932::FromUtf8(label);
        for (HTREEITEM item : Tree().Inserted())
            if (Tree().Exists(item) && Tree().GetItemText(item) == text && doc->FigureOfItem(item) == &figure)
                return item;
        return 0;
    }
    CPartObject* PartOf(const scene::Figure& figure, const std::string& label) const {
        const HTREEITEM item = ItemOf(figure, label);
        return item ? doc->FindPartByItem(item) : nullptr;
    }
    // Every part of a figure (0: the props) by its frame's name without the scene's numbering (a
    // file opened again numbers the frames anew).
    std::map<std::string, PartState> StateOf(int figure) const {
        std::map<std::string, PartState> state;
        for (const CPartObject* part : doc->AllParts()) {
            if (part->m_figure != figure || !part->GetFrame()) continue;
            std::string key = scene::NormaliseFrameName(part->GetFrame()->GetName());
            while (state.count(key) != 0) key += "+";
            PartState& s = state[key];
            s.world = part->GetFrame()->WorldMatrix();
            s.visible = part->IsVisible();
            for (const auto& color : part->ColorObjects())
                for (std::uint32_t v : {color->m_diffuse, color->m_specular, color->m_emissive})
                    s.colours.push_back(v);
        }
        return state;
    }
    static void ExpectSameState(const std::map<std::string, PartState>& a, const std::map<std::string, PartState>& b,
                                const std::string& what) {
        ASSERT_EQ(a.size(), b.size()) << what;
        for (const auto& [name, s] : a) {
            const auto other = b.find(name);
            ASSERT_NE(other, b.end()) << what << ": " << name;
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    ASSERT_NEAR(s.world.m[r][c], other->second.world.m[r][c], 1e-3f) << what << ": " << name;
            EXPECT_EQ(s.visible, other->second.visible) << what << ": " << name;
            EXPECT_EQ(s.colours, other->second.colours) << what << ": " << name;
        }
    }
    // Bends a figure's left forearm, then copies the pose onto its right side (one undo step).
    void BendAndMirror(const scene::Figure& figure) {
        CPartObject* forearm = PartOf(figure, "左ひじから先");
        ASSERT_TRUE(forearm && forearm->GetFrame());
        forearm->GetFrame()->SetOrientation(forearm->GetFrame()->Parent(), 0, -0.6f, 0.8f, 0, 0.8f, 0.6f);
        ClickItem(ItemOf(figure, "左うで"));
        ASSERT_TRUE(Edit().MirrorSelectedPart(false));
        Settle();
    }
    // The figures' entries in the tree's order.
    std::vector<std::string> TopLabels() const {
        std::vector<std::string> labels;
        for (HTREEITEM item : Tree().Children(TVI_ROOT))
            if (const scene::Figure* figure = doc->FigureOfItem(item); figure && figure->item == item)
                labels.push_back(cp932::ToUtf8(Tree().GetItemText(item)));
        return labels;
    }
};

// The boxes of two figures overlap on no axis of the floor.
bool Apart(const rm::Box& a, const rm::Box& b) {
    return a.max.x < b.min.x || b.max.x < a.min.x || a.max.z < b.min.z || b.max.z < a.min.z;
}

}  // namespace

TEST_F(SeveralFiguresTest, AddedFiguresStandApartOnTheSameFloorEachUnderItsOwnEntry) {
    scene::Figure& second = AddFigure("WALK.OBJ");
    EXPECT_EQ(Tree().GetSelectedItem(), second.item) << "the new figure is the selection";
    scene::Figure& third = AddFigure("WAVE.OBJ");
    ASSERT_EQ(doc->Figures().size(), 3u);
    EXPECT_EQ(TopLabels()[0], "キャラクタ");
    EXPECT_EQ(TopLabels()[1], "キャラクタ 2");
    EXPECT_EQ(TopLabels()[2], "キャラクタ 3");
    EXPECT_EQ(third.poseSetPath, "WAVE.OBJ");
    EXPECT_TRUE(doc->IsModified());

    std::vector<rm::Box> boxes;
    for (const auto& figure : doc->Figures()) {
        const std::optional<rm::Box> box = doc->FigureBox(*figure);
        ASSERT_TRUE(box) << figure->number;
        boxes.push_back(*box);
        EXPECT_NE(PartOf(*figure, "あたま"), nullptr) << "each figure has its own parts: " << figure->number;
    }
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j) EXPECT_TRUE(Apart(boxes[i], boxes[j])) << i << " " << j;
    // Standing figures share the floor (the waving one's feet too).
    EXPECT_NEAR(boxes[1].min.y, boxes[0].min.y, 1e-3f);
    EXPECT_NEAR(boxes[2].min.y, boxes[0].min.y, 1e-3f);

    // Every frame name is the scene's only one of that name.
    std::map<std::string, int> names;
    for (const CPartObject* part : doc->AllParts())
        if (part->GetFrame()) ++names[part->GetFrame()->GetName()];
    for (const auto& [name, count] : names) EXPECT_EQ(count, 1) << name;
}

TEST_F(SeveralFiguresTest, TheCollectionActsOnTheFigureTheSelectionBelongsTo) {
    scene::Figure& second = AddFigure("WALK.OBJ");
    // The figure's entry lists the pose sets with its own in use.
    ClickItem(second.item);
    ASSERT_FALSE(Collection().Entries().empty());
    EXPECT_EQ(Collection().Entries()[Collection().Selection()].partPath, "WALK.OBJ");

    CPartObject* head1 = PartOf(*doc->Figures()[0], "あたま");
    CPartObject* head2 = PartOf(second, "あたま");
    ASSERT_TRUE(head1 && head2);
    const std::string before = head1->m_definitionPath;
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemOf(second, "あたま"), "ロング"));
    EXPECT_NE(head2->m_definitionPath, before) << "figure 2 wears the long hair";
    EXPECT_EQ(head1->m_definitionPath, before) << "figure 1 keeps its hair";
}

TEST_F(SeveralFiguresTest, AnotherPoseSetForOneOfSeveralFiguresReplacesOnlyItAsOneStep) {
    scene::Figure& second = AddFigure("WALK.OBJ");
    const auto first = StateOf(1);
    rm::Vector at;
    second.root->GetPosition(nullptr, &at);
    const std::size_t steps = Edit().History().UndoCount();
    const auto walking = StateOf(2);

    ClickItem(second.item);
    prompts->messageAnswers.push_back(win::IDOK);
    ASSERT_NO_FATAL_FAILURE(DoubleClickEntry("手を振るポーズ"));
    ASSERT_EQ(doc->Figures().size(), 2u);
    scene::Figure* replaced = doc->FigureNumbered(2);
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->poseSetPath, "WAVE.OBJ");
    EXPECT_EQ(TopLabels()[1], "キャラクタ 2");
    rm::Vector now;
    replaced->root->GetPosition(nullptr, &now);
    EXPECT_NEAR(now.x, at.x, 1e-4f) << "it stands where the old one stood";
    ExpectSameState(StateOf(1), first, "figure 1 untouched");
    EXPECT_EQ(Edit().History().UndoCount(), steps + 1);

    Edit().OnCommand(ID_EDIT_UNDO);
    Settle();
    ASSERT_NE(doc->FigureNumbered(2), nullptr);
    EXPECT_EQ(doc->FigureNumbered(2)->poseSetPath, "WALK.OBJ");
    ExpectSameState(StateOf(2), walking, "the walking figure is back");
    ExpectSameState(StateOf(1), first, "figure 1 still untouched");
}

TEST_F(SeveralFiguresTest, MirrorAndPoseCommandsOnOneFigureLeaveTheOthers) {
    AddFigure("WALK.OBJ");
    scene::Figure& third = AddFigure("STAND.OBJ");
    const auto first = StateOf(1), second = StateOf(2);
    ASSERT_NO_FATAL_FAILURE(BendAndMirror(third));
    CPartObject* right = PartOf(third, "右ひじから先");
    CPartObject* left = PartOf(third, "左ひじから先");
    ASSERT_TRUE(right && left);
    rm::Vector dl, ul, dr, ur;
    left->GetFrame()->GetOrientation(left->GetFrame()->Parent(), &dl, &ul);
    right->GetFrame()->GetOrientation(right->GetFrame()->Parent(), &dr, &ur);
    EXPECT_NEAR(dr.y, dl.y, 1e-3f) << "figure 3's right forearm bends as its left one";
    ExpectSameState(StateOf(1), first, "figure 1");
    ExpectSameState(StateOf(2), second, "figure 2");

    // A swap of the sides on the selected figure's entry acts on that figure's whole body.
    ClickItem(third.item);
    EXPECT_TRUE(Edit().MirrorSelectedPart(true));
    Settle();
    ExpectSameState(StateOf(1), first, "figure 1 after the swap");
    ExpectSameState(StateOf(2), second, "figure 2 after the swap");
}

TEST_F(SeveralFiguresTest, StepsOfTwoFiguresInterleavedUndoEachInTurn) {
    scene::Figure& second = AddFigure("STAND.OBJ");
    scene::Figure& first = *doc->Figures()[0];
    const auto first0 = StateOf(1), second0 = StateOf(2);
    ASSERT_NO_FATAL_FAILURE(BendAndMirror(first));
    const auto first1 = StateOf(1);
    ASSERT_NO_FATAL_FAILURE(BendAndMirror(second));
    const auto second1 = StateOf(2);

    // The mirrors put the right forearms where the bent left ones point; the bends are no steps.
    const std::string right1 = scene::NormaliseFrameName(PartOf(first, "右ひじから先")->GetFrame()->GetName());
    const std::string right2 = scene::NormaliseFrameName(PartOf(second, "右ひじから先")->GetFrame()->GetName());
    auto expectRight = [this](int figure, const std::string& name, const std::map<std::string, PartState>& want,
                              const char* what) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(StateOf(figure).at(name).world.m[r][c], want.at(name).world.m[r][c], 1e-3f) << what;
    };
    Edit().OnCommand(ID_EDIT_UNDO);  // figure 2's mirror
    Settle();
    ExpectSameState(StateOf(1), first1, "figure 1 keeps its mirror");
    expectRight(2, right2, second0, "figure 2's right forearm as before its mirror");
    Edit().OnCommand(ID_EDIT_UNDO);  // figure 1's mirror
    Settle();
    expectRight(1, right1, first0, "figure 1's right forearm as before its mirror");
    expectRight(2, right2, second0, "figure 2's right forearm untouched by figure 1's undo");
    Edit().OnCommand(ID_EDIT_REDO);
    Edit().OnCommand(ID_EDIT_REDO);
    Settle();
    ExpectSameState(StateOf(1), first1, "figure 1 redone");
    ExpectSameState(StateOf(2), second1, "figure 2 redone");
}

TEST_F(SeveralFiguresTest, AddingAndRemovingAreStepsThatBringTheFigureBackWithPoseAndColours) {
    const std::size_t steps = Edit().History().UndoCount();
    scene::Figure& added = AddFigure("WALK.OBJ");
    EXPECT_EQ(Edit().History().UndoCount(), steps + 1);
    ASSERT_NO_FATAL_FAILURE(BendAndMirror(added));
    CPartObject* body = PartOf(added, "からだ");
    ASSERT_TRUE(body && !body->ColorObjects().empty());
    body->ColorObjects().front()->m_diffuse = 0xFF123456;
    body->ColorObjects().front()->ApplyColor();
    const auto posed = StateOf(2);
    const auto first = StateOf(1);

    // Delete on the figure's entry asks, naming it; no keeps it.
    ClickItem(added.item);
    prompts->messageAnswers.push_back(win::IDCANCEL);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Delete);
    Settle();
    ASSERT_EQ(doc->Figures().size(), 2u);
    ASSERT_FALSE(prompts->asked.empty());
    EXPECT_NE(prompts->asked.back().text.find("キャラクタ 2"), std::string::npos) << prompts->asked.back().text;

    prompts->messageAnswers.push_back(win::IDOK);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Delete);
    Settle();
    ASSERT_EQ(doc->Figures().size(), 1u);
    EXPECT_TRUE(StateOf(2).empty());
    const std::vector<std::string> labels = TopLabels();
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "キャラクタ 2"), 0);
    ExpectSameState(StateOf(1), first, "figure 1 stays");

    Edit().OnCommand(ID_EDIT_UNDO);
    Settle();
    ASSERT_EQ(doc->Figures().size(), 2u);
    ExpectSameState(StateOf(2), posed, "back with its pose and colours");
    EXPECT_EQ(TopLabels()[1], "キャラクタ 2");
    EXPECT_NE(doc->FigureNumbered(2)->item, 0u);

    Edit().OnCommand(ID_EDIT_UNDO);  // the mirror
    Edit().OnCommand(ID_EDIT_UNDO);  // the add
    Settle();
    EXPECT_EQ(doc->Figures().size(), 1u);
    Edit().OnCommand(ID_EDIT_REDO);
    Edit().OnCommand(ID_EDIT_REDO);
    Settle();
    ASSERT_EQ(doc->Figures().size(), 2u);
    EXPECT_EQ(doc->FigureNumbered(2)->poseSetPath, "WALK.OBJ");
    Edit().OnCommand(ID_EDIT_REDO);  // the removal again
    Settle();
    EXPECT_EQ(doc->Figures().size(), 1u);
}

TEST_F(SeveralFiguresTest, TheLastFigureCanBeRemovedLeavingAnEmptyScene) {
    ClickItem(doc->GetCharacterItem());
    prompts->messageAnswers.push_back(win::IDOK);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Delete);
    Settle();
    EXPECT_TRUE(doc->Figures().empty());
    for (const CPartObject* part : doc->AllParts()) EXPECT_EQ(part->m_figure, 0) << "only props and markers stay";
    // A scene without figures is saved and opened as it is.
    QTemporaryDir dir;
    const std::string path = dir.filePath("empty.mrs").toStdString();
    ASSERT_TRUE(doc->OnSaveDocument(path));
    prompts->asked.clear();
    ASSERT_TRUE(doc->OnOpenDocument(path));
    Settle();
    EXPECT_TRUE(doc->Figures().empty());
    EXPECT_TRUE(prompts->asked.empty());
    // The command adds the first figure again.
    scene::Figure& again = AddFigure("STAND.OBJ");
    EXPECT_EQ(again.number, 1);
    EXPECT_EQ(TopLabels().front(), "キャラクタ");
}

TEST_F(SeveralFiguresTest, AColourOfOneFigureLeavesTheOthersButPropsShareTheirs) {
    scene::Figure& second = AddFigure("STAND.OBJ");
    view->Tabs()->setCurrentIndex(1);
    auto* page = static_cast<CMaterialDlg*>(view->PageWidget(CMainView::kMaterialPage));
    auto shirts = [this](int figure) {
        std::vector<std::uint32_t> colours;
        for (const CPartObject* part : doc->AllParts())
            if (part->m_figure == figure)
                for (const auto& color : part->ColorObjects())
                    if (color->m_generalName == cp932::FromUtf8("シャツ")) colours.push_back(color->m_diffuse & 0xFFFFFF);
        return colours;
    };
    const auto shirt1 = shirts(1);
    ASSERT_FALSE(shirt1.empty());
    ClickItem(ItemOf(second, "からだ"));
    const QList<QTreeWidgetItem*> found = page->Names()->findItems(QString::fromUtf8("シャツ"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    page->Names()->setCurrentItem(found.front());
    prompts->colorAnswers.push_back(0x00FF00u);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    Settle();
    for (std::uint32_t c : shirts(2)) EXPECT_EQ(c, 0x00FF00u);
    EXPECT_EQ(shirts(1), shirt1) << "figure 1's shirt stays";
    Edit().OnCommand(ID_EDIT_UNDO);
    Settle();
    for (std::uint32_t c : shirts(2)) EXPECT_NE(c, 0x00FF00u);
    EXPECT_EQ(shirts(1), shirt1);

    // Two balls: a colour given to one is the other's too.
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("小物"), "ボール"));
    ASSERT_NO_FATAL_FAILURE(DoubleClickEntry("ボール"));
    const std::vector<HTREEITEM> balls = Tree().Children(ItemLabelled("小物"));
    ASSERT_EQ(balls.size(), 2u);
    ClickItem(balls[0]);
    ASSERT_NE(page->Names()->currentItem(), nullptr);
    prompts->colorAnswers.push_back(0xFF0000u);  // COLORREF blue
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    Settle();
    for (HTREEITEM ball : balls) {
        const CPartObject* part = doc->FindPartByItem(ball);
        ASSERT_TRUE(part && !part->ColorObjects().empty());
        EXPECT_EQ(part->ColorObjects().front()->m_diffuse & 0xFFFFFF, 0x0000FFu);
    }
}

TEST_F(SeveralFiguresTest, SaveAndOpenKeepEveryFigurePartByPartAndTheirNumbers) {
    AddFigure("WALK.OBJ");
    scene::Figure& third = AddFigure("WAVE.OBJ");
    ASSERT_NO_FATAL_FAILURE(BendAndMirror(third));
    CPartObject* hair = PartOf(third, "あたま");
    ASSERT_TRUE(hair);
    Tree().SetCheck(ItemOf(third, "あたま"), false);
    Settle();
    // Figure 2 goes: figure 3 keeps its number and name in the file.
    ClickItem(doc->FigureNumbered(2)->item);
    prompts->messageAnswers.push_back(win::IDOK);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Delete);
    Settle();
    ASSERT_EQ(doc->Figures().size(), 2u);
    const auto first = StateOf(1), figure3 = StateOf(3);

    QTemporaryDir dir;
    const std::string path = dir.filePath("two.mrs").toStdString();
    ASSERT_TRUE(doc->OnSaveDocument(path));
    doc->OnNewDocument();
    Settle();
    prompts->asked.clear();
    ASSERT_TRUE(doc->OnOpenDocument(path));
    Settle();
    EXPECT_TRUE(prompts->asked.empty());
    ASSERT_EQ(doc->Figures().size(), 2u);
    ASSERT_NE(doc->FigureNumbered(3), nullptr);
    EXPECT_EQ(doc->FigureNumbered(3)->poseSetPath, "WAVE.OBJ");
    EXPECT_EQ(TopLabels()[1], "キャラクタ 3");
    ExpectSameState(StateOf(1), first, "figure 1 reopened");
    ExpectSameState(StateOf(3), figure3, "figure 3 reopened");
    EXPECT_FALSE(Tree().GetCheck(ItemOf(*doc->FigureNumbered(3), "あたま")));
    EXPECT_TRUE(Tree().GetCheck(ItemOf(*doc->FigureNumbered(1), "あたま")));
}

TEST_F(SeveralFiguresTest, AFileWithAMissingPoseSetOrTooManyFiguresOpensWhatItCanWithOneMessage) {
    AddFigure("WAVE.OBJ");
    QTemporaryDir dir;
    const std::string path = dir.filePath("two.mrs").toStdString();
    ASSERT_TRUE(doc->OnSaveDocument(path));
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();
    // The second figure's entry: its number, its pose set's name, the loaded mark, its placement.
    QByteArray entry("\x02\x00\x00\x00\x08WAVE.OBJ", 13);
    const qsizetype at = saved.indexOf(entry);
    ASSERT_GT(at, 4);
    const qsizetype entrySize = entry.size() + 1 + 36;

    struct Case {
        const char* what;
        QByteArray bytes;
        std::size_t figures;
        const char* named;
    };
    QByteArray missing = saved;
    missing.replace(at + 5, 8, QByteArray("NONE.OBJ"));
    // Seven more figures of the same pose set, numbered 3 to 9, after the second.
    QByteArray tooMany = saved;
    QByteArray copies;
    for (int n = 3; n <= 9; ++n) {
        QByteArray copy = saved.mid(at, entrySize);
        copy[0] = char(n);
        copies += copy;
    }
    tooMany.insert(at + entrySize, copies);
    // The count stands before figure 1's entry (number 1, then "STAND.OBJ").
    const qsizetype first = saved.indexOf(QByteArray("\x01\x00\x00\x00\x09STAND.OBJ", 14));
    ASSERT_GT(first, 4);
    ASSERT_EQ(saved[first - 4], char(2));
    tooMany[first - 4] = char(9);

    const Case cases[] = {
        {"a missing pose set", missing, 1, "キャラクタ 2"},
        {"nine figures", tooMany, 8, "キャラクタ 9"},
    };
    for (const Case& c : cases) {
        const std::string damaged = dir.filePath("case.mrs").toStdString();
        QFile out(QString::fromStdString(damaged));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(c.bytes);
        out.close();
        doc->OnNewDocument();
        Settle();
        prompts->asked.clear();
        ASSERT_TRUE(doc->OnOpenDocument(damaged)) << c.what;
        Settle();
        EXPECT_EQ(doc->Figures().size(), c.figures) << c.what;
        EXPECT_FALSE(StateOf(1).empty()) << c.what << ": figure 1 is there";
        ASSERT_EQ(prompts->asked.size(), 1u) << c.what;
        const std::string& text = prompts->asked.front().text;
        EXPECT_EQ(text.rfind(scene::msg::kFiguresLeftOut, 0), 0u) << c.what << ": " << text;
        EXPECT_NE(text.find(c.named), std::string::npos) << c.what << ": " << text;
    }
}

TEST_F(SeveralFiguresTest, TheAddCommandStopsAtEightFigures) {
    QAction* add = MenuAction(*frame, QStringLiteral("表示(&V)"), QStringLiteral("キャラクタを追加..."));
    ASSERT_NE(add, nullptr);
    EXPECT_TRUE(add->isEnabled());
    for (int n = 2; n <= scene::kMaxFigures; ++n) AddFigure("STAND.OBJ");
    ASSERT_EQ(doc->Figures().size(), std::size_t(scene::kMaxFigures));
    EXPECT_FALSE(add->isEnabled());
    EXPECT_EQ(doc->AddFigureFromPoseSet("STAND.OBJ"), nullptr);
    EXPECT_EQ(doc->Figures().size(), std::size_t(scene::kMaxFigures));
    // One goes, and the command comes back.
    ClickItem(doc->FigureNumbered(5)->item);
    prompts->messageAnswers.push_back(win::IDOK);
    QTest::keyClick(&TreeCtrl(), Qt::Key_Delete);
    Settle();
    EXPECT_TRUE(add->isEnabled());
    // The next figure takes the number after the highest.
    EXPECT_EQ(AddFigure("STAND.OBJ").number, 9);
}
