// The 視点 commands in the main window: their keys work while the edit view has the focus (the number
// row and the keypad alike), the tree and the collection keep their own keys, and the 表示 menu's
// 視点 items run the commands wherever the focus is and show their keys.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "core/Commands.h"
#include "library/CollectionWnd.h"
#include "library/MainView.h"
#include "library/PartsTreeCtrl.h"
#include "platform/rm/VectorMath.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "support/VectorExpect.h"

namespace {

using testvec::ExpectNear;

// Looking down a little and across, away from every standard view.
scene::FramePlacement Oblique() {
    scene::FramePlacement p;
    p.position[0] = -20, p.position[1] = 15, p.position[2] = 10;
    p.direction[0] = 0.4f, p.direction[1] = -0.3f, p.direction[2] = 1;
    return p;
}

class CameraKeysTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
        doc->SetModifiedFlag(false);
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    C3DView& EditView() const { return *view->EditView(); }
    rm::Vector Axis(int row) const {
        const rm::Matrix4 m = EditView().CameraFrame()->WorldMatrix();
        return rm::Normalized({m.m[row][0], m.m[row][1], m.m[row][2]});
    }
    rm::Vector Eye() const {
        const rm::Matrix4 m = EditView().CameraFrame()->WorldMatrix();
        return {m.m[3][0], m.m[3][1], m.m[3][2]};
    }
    void LookObliquely() {
        EditView().PlaceCamera(Oblique());
        Settle();
    }
    void FocusEditView() {
        EditView().setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(EditView().hasFocus());
    }
    // Where a world point shows in the edit view.
    QPointF Screen(const rm::Vector& world) const {
        rm::Vector4 s{};
        EditView().MainViewport()->Transform(&s, &world);
        return {s.x / s.w, s.y / s.w};
    }
    // The 視点 submenu's item with that text.
    QAction* CameraItem(const QString& text) const {
        QAction* submenu = MenuAction(*frame, QStringLiteral("表示(&V)"), QStringLiteral("視点"));
        if (!submenu || !submenu->menu()) return nullptr;
        for (QAction* a : submenu->menu()->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
};

TEST_F(CameraKeysTest, KeysOfTheEditViewShowTheStandardViews) {
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        rm::Vector forward, up;
    };
    const Row rows[] = {
        {Qt::Key_1, Qt::NoModifier, {0, 0, 1}, {0, 1, 0}},
        {Qt::Key_1, Qt::KeypadModifier, {0, 0, 1}, {0, 1, 0}},
        {Qt::Key_1, Qt::ControlModifier, {0, 0, -1}, {0, 1, 0}},
        {Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier, {0, 0, -1}, {0, 1, 0}},
        {Qt::Key_3, Qt::NoModifier, {-1, 0, 0}, {0, 1, 0}},
        {Qt::Key_3, Qt::KeypadModifier, {-1, 0, 0}, {0, 1, 0}},
        {Qt::Key_3, Qt::ControlModifier, {1, 0, 0}, {0, 1, 0}},
        {Qt::Key_3, Qt::ControlModifier | Qt::KeypadModifier, {1, 0, 0}, {0, 1, 0}},
        {Qt::Key_7, Qt::NoModifier, {0, -1, 0}, {0, 0, 1}},
        {Qt::Key_7, Qt::KeypadModifier, {0, -1, 0}, {0, 0, 1}},
        {Qt::Key_7, Qt::ControlModifier, {0, 1, 0}, {0, 0, -1}},
        {Qt::Key_7, Qt::ControlModifier | Qt::KeypadModifier, {0, 1, 0}, {0, 0, -1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(QKeySequence(r.modifiers | r.key).toString().toStdString());
        LookObliquely();
        ASSERT_NO_FATAL_FAILURE(FocusEditView());
        QTest::keyClick(&EditView(), r.key, r.modifiers);
        Settle();
        ExpectNear(Axis(2), r.forward, 1e-5f);
        ExpectNear(Axis(1), r.up, 1e-5f);
        // The document knows, and nothing of the scene changed.
        const scene::FramePlacement& noted = doc->CameraPlacement();
        ExpectNear(rm::Normalized({noted.direction[0], noted.direction[1], noted.direction[2]}), r.forward,
                   1e-5f);
        EXPECT_FALSE(doc->IsModified());
    }
}

TEST_F(CameraKeysTest, HomeFramesEverythingAndFOrTheKeypadsPointTheSelectedPart) {
    const rm::Viewport& viewport = *EditView().MainViewport();
    const QPointF middle(viewport.GetX() + viewport.GetWidth() / 2.0,
                         viewport.GetY() + viewport.GetHeight() / 2.0);
    auto centreOf = [](const rm::Box& box) { return rm::Scale(rm::Add(box.min, box.max), 0.5f); };
    const HTREEITEM handItem = ItemLabelled("左手");
    ASSERT_NE(handItem, 0u);
    const CPartObject* hand = doc->FindPartByItem(handItem);
    ASSERT_NE(hand, nullptr);
    struct Row {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        HTREEITEM selected;
    };
    const Row rows[] = {
        {"Home", Qt::Key_Home, Qt::NoModifier, 0},
        {"F", Qt::Key_F, Qt::NoModifier, handItem},
        {"the keypad's period", Qt::Key_Period, Qt::KeypadModifier, handItem},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Tree().SelectItem(r.selected);
        Settle();
        LookObliquely();
        const rm::Vector forward = Axis(2), eye = Eye();
        ASSERT_NO_FATAL_FAILURE(FocusEditView());
        QTest::keyClick(&EditView(), r.key, r.modifiers);
        Settle();
        ExpectNear(Axis(2), forward, 1e-5f);
        EXPECT_GT(rm::Length(rm::Sub(Eye(), eye)), 1.0f);
        const rm::Box box = r.selected ? *CMainDoc::PartBox(*hand) : *doc->VisiblePartsBox();
        const QPointF centre = Screen(centreOf(box));
        EXPECT_NEAR(centre.x(), middle.x(), 2.0);
        EXPECT_NEAR(centre.y(), middle.y(), 2.0);
    }
}

TEST_F(CameraKeysTest, TheTreeAndTheCollectionKeepTheirKeys) {
    LookObliquely();
    const rm::Vector eye = Eye(), forward = Axis(2);
    auto expectCameraStill = [&] {
        ExpectNear(Eye(), eye, 1e-6f);
        ExpectNear(Axis(2), forward, 1e-6f);
    };
    TreeCtrl().setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(TreeCtrl().hasFocus());
    for (Qt::Key key : {Qt::Key_1, Qt::Key_3, Qt::Key_7, Qt::Key_Home, Qt::Key_F}) {
        QTest::keyClick(&TreeCtrl(), key);
        Settle();
    }
    QTest::keyClick(&TreeCtrl(), Qt::Key_1, Qt::ControlModifier);
    Settle();
    expectCameraStill();

    // The collection's Home goes to its first entry (the character's pose sets are listed).
    ClickItem(doc->GetCharacterItem());
    ASSERT_GT(Collection().Entries().size(), 2u);
    LookObliquely();
    Collection().SetSelection(2);
    Collection().setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(Collection().hasFocus());
    const rm::Vector eyeNow = Eye();
    QTest::keyClick(&Collection(), Qt::Key_Home);
    Settle();
    EXPECT_EQ(Collection().Selection(), 0);
    ExpectNear(Eye(), eyeNow, 1e-6f);
}

TEST_F(CameraKeysTest, TheMenusItemsShowTheKeysAndRunWhereverTheFocusIs) {
    struct Row {
        const char* text;
        const char* key;  // what the item shows
    };
    const Row rows[] = {{"正面", "1"},
                        {"背面", "Ctrl+1"},
                        {"右", "3"},
                        {"左", "Ctrl+3"},
                        {"上", "7"},
                        {"下", "Ctrl+7"},
                        {"全体を表示", "Home"},
                        {"選択部分を表示", "F"},
                        {"視点を戻す", ""}};
    for (const Row& r : rows) {
        QAction* item = CameraItem(QString::fromUtf8(r.text));
        ASSERT_NE(item, nullptr) << r.text;
        EXPECT_TRUE(item->isEnabled()) << r.text;
        EXPECT_EQ(item->shortcut().toString(QKeySequence::PortableText).toStdString(), r.key) << r.text;
    }

    // From the tree, the menu's 上 looks down, its 視点を戻す puts the camera where a new scene has it.
    TreeCtrl().setFocus(Qt::OtherFocusReason);
    LookObliquely();
    CameraItem(QStringLiteral("上"))->trigger();
    Settle();
    ExpectNear(Axis(2), {0, -1, 0}, 1e-5f);
    EXPECT_TRUE(TreeCtrl().hasFocus());
    CameraItem(QStringLiteral("視点を戻す"))->trigger();
    Settle();
    ExpectNear(Eye(), {0, 0, 0}, 1e-6f);
    ExpectNear(Axis(2), {0, 0, 1}, 1e-6f);
    EXPECT_FALSE(doc->IsModified());
}

}  // namespace
