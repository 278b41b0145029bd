// Dragging in the edit view: moves that follow the pointer wherever the target hangs, Z moves along
// the view axis within the limits, turns about the camera's axes, the scene-wide drag and the
// ways a drag ends.

#include <QApplication>
#include <QFocusEvent>
#include <cmath>

#include "EditViewFixture.h"
#include "core/MainApp.h"
#include "platform/rm/VectorMath.h"
#include "support/MessageCounter.h"

namespace {

constexpr std::uint32_t kGrey = 0x606060;

float Distance(const rm::Vector& a, const rm::Vector& b) { return rm::Length(rm::Sub(a, b)); }

int CountDifferent(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return n;
}

// Turns and moves the whole figure away from the camera's axis, so no frame of it sits in the
// world's place of its local coordinates.
void TurnAndMoveFigure(CMainDoc& doc) {
    rm::Frame* root = doc.GetCharacterRootFrame();
    root->SetOrientation(nullptr, 0.5f, 0.2f, 1.0f, 0.1f, 1.0f, 0.0f);
    root->SetPosition(nullptr, 4.0f, -2.0f, 60.0f);
}

TEST_F(EditViewTest, AMoveKeepsAHandAtItsLinkFrameUnderThePointer) {
    MakeView();
    LoadStanding();
    TurnAndMoveFigure(Doc());
    Tree().SelectItem(ItemOf("HANDL"));
    rm::Frame* hand = PartOf("HANDL")->GetFrame();
    ASSERT_EQ(m_view->Document()->GetEditTarget().Get(), hand);
    const QPointF before = ScreenOf(*hand);
    const float depthBefore = WorldOf(*hand).z;  // the camera looks down +z from the origin
    const QPoint start = before.toPoint();
    Drag(start, start + QPoint(25, -15));
    const QPointF after = ScreenOf(*hand);
    EXPECT_NEAR(after.x() - before.x(), 25.0, 1.0);
    EXPECT_NEAR(after.y() - before.y(), -15.0, 1.0);
    EXPECT_NEAR(WorldOf(*hand).z, depthBefore, 1e-3f) << "the move keeps the hand's depth";
}

TEST_F(EditViewTest, AxisLocksKeepTheOtherScreenDirection) {
    MakeView();
    LoadStanding();
    Tree().SelectItem(ItemOf("HANDR"));
    rm::Frame* hand = PartOf("HANDR")->GetFrame();
    struct Row {
        int axis;
        QPoint stroke, expected;
    };
    for (const Row& r : {Row{AXIS_X, {20, 12}, {20, 0}}, Row{AXIS_Y, {20, 12}, {0, 12}}}) {
        GetApp()->AxisConstraint = r.axis;
        const QPointF before = ScreenOf(*hand);
        Drag(before.toPoint(), before.toPoint() + r.stroke);
        const QPointF moved = ScreenOf(*hand) - before;
        EXPECT_NEAR(moved.x(), r.expected.x(), 1.0) << r.axis;
        EXPECT_NEAR(moved.y(), r.expected.y(), 1.0) << r.axis;
    }
}

TEST_F(EditViewTest, ZMoveGoesAlongTheViewAxisWithinTheLimits) {
    MakeView();
    LoadStanding();
    GetApp()->AxisConstraint = AXIS_Z;
    // The figure: 8 pixels right is one unit away from the camera; far strokes stop at the limits.
    Tree().SelectItem(Doc().GetCharacterItem());
    rm::Frame* root = Doc().GetCharacterRootFrame();
    ASSERT_NEAR(WorldOf(*root).z, 55.0f, 1e-4f);
    Drag({200, 200}, {208, 200}, 1);
    EXPECT_NEAR(WorldOf(*root).z, 56.0f, 1e-4f);
    Drag({200, 200}, {200, 192}, 1);
    EXPECT_NEAR(WorldOf(*root).z, 55.0f, 1e-4f) << "up is nearer";
    Drag({200, 200}, {800, 600}, 1);
    EXPECT_NEAR(WorldOf(*root).z, 100.0f, 1e-4f) << "the back limit";
    Drag({200, 200}, {-600, -200}, 1);
    EXPECT_NEAR(WorldOf(*root).z, 15.0f, 1e-4f) << "the front limit";

    // A hand hanging at its link frame goes along the view axis from where it is, without a jump.
    Tree().SelectItem(ItemOf("HANDL"));
    rm::Frame* hand = PartOf("HANDL")->GetFrame();
    const rm::Vector handBefore = WorldOf(*hand);
    Drag({200, 200}, {204, 204}, 2);
    const rm::Vector handAfter = WorldOf(*hand);
    EXPECT_NEAR(handAfter.x, handBefore.x, 1e-3f);
    EXPECT_NEAR(handAfter.y, handBefore.y, 1e-3f);
    EXPECT_NEAR(handAfter.z - handBefore.z, 1.0f, 1e-3f);

    // The whole scene is not held at the limits.
    Tree().SelectItem(0);
    const float rootBefore = WorldOf(*root).z;
    Drag({200, 200}, {800, 600}, 1);
    EXPECT_NEAR(WorldOf(*root).z - rootBefore, 125.0f, 1e-3f);
}

TEST_F(EditViewTest, ATargetBeyondALimitIsNeverPulledBackIn) {
    MakeView();
    LoadStanding();
    GetApp()->AxisConstraint = AXIS_Z;
    Tree().SelectItem(Doc().GetCharacterItem());
    rm::Frame* root = Doc().GetCharacterRootFrame();
    root->SetPosition(nullptr, 0, 0, 150.0f);
    Drag({200, 200}, {216, 200}, 1);
    EXPECT_NEAR(WorldOf(*root).z, 150.0f, 1e-4f) << "no further out, and not pulled to the limit";
    Drag({200, 200}, {184, 200}, 1);
    EXPECT_NEAR(WorldOf(*root).z, 148.0f, 1e-4f) << "back towards the range is free";
}

TEST_F(EditViewTest, RotateStepAnglesSaturateAndFollowTheCameraAxes) {
    MakeView();
    LoadStanding();
    GetApp()->EditMode = EDIT_ROTATE;
    Tree().SelectItem(Doc().GetCharacterItem());
    rm::Frame* root = Doc().GetCharacterRootFrame();
    const double angle = 0.5 * 50 / std::sqrt(5000.0);  // about 0.354
    struct Row {
        int axis;
        QPoint stroke;
        rm::Vector dir, up;
    };
    const float s = float(std::sin(angle)), c = float(std::cos(angle));
    const Row rows[] = {
        // Free: 50 pixels right turn about the camera's -y axis.
        {AXIS_FREE, {50, 0}, {-s, 0, c}, {0, 1, 0}},
        // Z only: the same angle about the camera's +z axis.
        {AXIS_Z, {50, 0}, {0, 0, 1}, {-s, c, 0}},
        // Z only, up and left by the same amount: dx - dy = 0 turns nothing.
        {AXIS_Z, {-10, -10}, {0, 0, 1}, {0, 1, 0}},
    };
    for (const Row& r : rows) {
        root->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);
        GetApp()->AxisConstraint = r.axis;
        Drag({200, 200}, QPoint(200, 200) + r.stroke, 1);
        rm::Vector dir, up;
        root->GetOrientation(nullptr, &dir, &up);
        SCOPED_TRACE(testing::Message() << "axis " << r.axis << " stroke " << r.stroke.x() << "," << r.stroke.y());
        EXPECT_NEAR(dir.x, r.dir.x, 1e-4f);
        EXPECT_NEAR(dir.y, r.dir.y, 1e-4f);
        EXPECT_NEAR(dir.z, r.dir.z, 1e-4f);
        EXPECT_NEAR(up.x, r.up.x, 1e-4f);
        EXPECT_NEAR(up.y, r.up.y, 1e-4f);
        EXPECT_NEAR(up.z, r.up.z, 1e-4f);
    }
}

// The sine and cosine of the turn of one rotate step of stroke length n: 0.5 n / sqrt(n² + 50²).
struct StepTurn {
    float s, c;
    explicit StepTurn(double n) {
        const double angle = 0.5 * n / std::sqrt(n * n + 2500.0);
        s = float(std::sin(angle));
        c = float(std::cos(angle));
    }
};

struct Orientation {
    rm::Vector dir, up;
};

// Rotate strokes on the figure, which hangs square to the camera before each.
class RotateStrokeTest : public EditViewTest {
  protected:
    void SetUp() override {
        EditViewTest::SetUp();
        MakeView();
        LoadStanding();
        GetApp()->EditMode = EDIT_ROTATE;
        Tree().SelectItem(Doc().GetCharacterItem());
    }
    // One rotate step of `stroke`; the figure's orientation after it.
    Orientation TurnFigureOnce(QPoint stroke) {
        rm::Frame* root = Doc().GetCharacterRootFrame();
        root->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);
        const QPoint from(200, 200);
        Drag(from, from + stroke, 1);
        Orientation o;
        root->GetOrientation(nullptr, &o.dir, &o.up);
        return o;
    }
};

void ExpectOrientation(const Orientation& o, rm::Vector dir, rm::Vector up) {
    EXPECT_NEAR(o.dir.x, dir.x, 1e-4f);
    EXPECT_NEAR(o.dir.y, dir.y, 1e-4f);
    EXPECT_NEAR(o.dir.z, dir.z, 1e-4f);
    EXPECT_NEAR(o.up.x, up.x, 1e-4f);
    EXPECT_NEAR(o.up.y, up.y, 1e-4f);
    EXPECT_NEAR(o.up.z, up.z, 1e-4f);
}

TEST_F(RotateStrokeTest, VerticalAndLockedStrokesTurnAboutTheCameraAxes) {
    // The stroke (dx, dy) turns about the camera axis (-dy, -dx, 0) / len by the step angle; the
    // Z lock turns about +z or -z by the sign of dx - dy. A quarter turn about +x takes +y to +z,
    // about +y takes +z to +x, about +z takes +x to +y. The camera is the world here, and so is
    // the figure's parent: the figure's axes after the turn are the rows of the turn.
    const StepTurn t50(50), t30(30);
    const float s = t50.s, c = t50.c, k = 1 - c;
    const rm::Vector diagonalDir{-0.6f * s, 0.8f * s, c}, diagonalUp{0.48f * k, c + 0.36f * k, -0.8f * s};
    struct Row {
        const char* what;
        int axis;
        QPoint stroke;
        rm::Vector dir, up;
    };
    const Row rows[] = {
        // Down: about -x. The figure's front follows the pointer down, its top comes toward the
        // camera and its back goes up.
        {"free, down", AXIS_FREE, {0, 50}, {0, s, c}, {0, c, -s}},
        {"free, up", AXIS_FREE, {0, -50}, {0, -s, c}, {0, c, s}},
        // Right and down (3, 4): about (-0.8, -0.6, 0).
        {"free, right and down", AXIS_FREE, {30, 40}, diagonalDir, diagonalUp},
        // The Y lock keeps only the vertical part, the X lock only the horizontal part.
        {"Y only, right and down", AXIS_Y, {30, 50}, {0, s, c}, {0, c, -s}},
        {"Y only, right", AXIS_Y, {50, 0}, {0, 0, 1}, {0, 1, 0}},
        {"X only, down", AXIS_X, {0, 50}, {0, 0, 1}, {0, 1, 0}},
        {"X only, right and down", AXIS_X, {50, 30}, {-s, 0, c}, {0, 1, 0}},
        // The Z lock rolls about the view axis: dx - dy < 0 about -z, > 0 about +z.
        {"Z only, down", AXIS_Z, {0, 50}, {0, 0, 1}, {s, c, 0}},
        {"Z only, more down than right", AXIS_Z, {10, 40}, {0, 0, 1}, {t30.s, t30.c, 0}},
        {"Z only, more right than down", AXIS_Z, {40, 10}, {0, 0, 1}, {-t30.s, t30.c, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GetApp()->AxisConstraint = r.axis;
        ExpectOrientation(TurnFigureOnce(r.stroke), r.dir, r.up);
    }
}

TEST_F(RotateStrokeTest, TurnsFollowTheCameraNotTheWorld) {
    // The camera rolled a quarter turn about its view axis: its x axis is the world's +y and its
    // screen's down the world's +x. A stroke down turns the figure about the world's -y, its front
    // following the pointer toward +x.
    m_view->CameraFrame()->SetOrientation(nullptr, 0, 0, 1, -1, 0, 0);
    const StepTurn t(50);
    ExpectOrientation(TurnFigureOnce({0, 50}), {-t.s, 0, t.c}, {0, 1, 0});
}

TEST_F(EditViewTest, PressingAndReleasingOnTheSpotRecordsAndRedrawsNothing) {
    MessageCounter mainView;
    GetApp()->m_pMainView = &mainView;
    MakeView();
    LoadStanding();
    // The character item: choosing it for a drag does not itself ask for a refresh.
    Tree().SelectItem(Doc().GetCharacterItem());
    Settle();
    const int before = mainView.Count(win::WM_REFRESH);
    Press({100, 100});
    MoveTo({100, 100});  // the press point itself is no step
    Release({100, 100});
    Settle();
    EXPECT_EQ(mainView.Count(win::WM_REFRESH), before);
    EXPECT_EQ(m_view->History().UndoCount(), 0u);
    EXPECT_FALSE(m_view->History().HasPending());

    // Away and back to the press point: the move back is ignored, and the release redraws.
    rm::Frame* root = Doc().GetCharacterRootFrame();
    const QPointF start = ScreenOf(*root);
    Press(start.toPoint());
    MoveTo(start.toPoint() + QPoint(10, 0));
    MoveTo(start.toPoint());
    Settle();
    const int beforeRelease = mainView.Count(win::WM_REFRESH);
    Release(start.toPoint());
    Settle();
    EXPECT_EQ(mainView.Count(win::WM_REFRESH), beforeRelease + 1);
    EXPECT_NEAR(ScreenOf(*root).x() - start.x(), 10.0, 1.0);
    EXPECT_EQ(m_view->History().UndoCount(), 1u);
    GetApp()->m_pMainView = nullptr;
}

TEST_F(EditViewTest, SimpleDisplayShowsOnlyBoxesWhileDragging) {
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(Doc().GetCharacterItem());
    const int figurePixels = CountOtherThan(Shown(), kGrey);
    ASSERT_GT(figurePixels, 500);
    Press({160, 120});
    MoveTo({170, 125});
    const QImage boxes = Shown();
    int green = 0, yellow = 0, other = 0;
    bool thickYellow = false;
    for (int y = 0; y + 1 < boxes.height(); ++y)
        for (int x = 0; x < boxes.width(); ++x) {
            const std::uint32_t p = boxes.pixel(x, y) & 0xFFFFFF;
            if (p == 0x00FF80) ++green;
            else if (p == 0xFFFF00) {
                ++yellow;
                // A 2-pixel pen: a yellow pixel has a yellow neighbour across the line.
                thickYellow = thickYellow || (boxes.pixel(x, y + 1) & 0xFFFFFF) == 0xFFFF00;
            } else if (p != kGrey) ++other;
        }
    EXPECT_GT(green, 100);
    EXPECT_GT(yellow, 50);
    EXPECT_TRUE(thickYellow);
    EXPECT_EQ(other, 0) << "nothing of the figure itself is drawn during the drag";
    Release({170, 125});
    const QImage after = Shown();
    EXPECT_GT(CountOtherThan(after, kGrey), 500) << "the figure is back";
    int yellowAfter = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) yellowAfter += (after.pixel(x, y) & 0xFFFFFF) == 0xFFFF00;
    EXPECT_EQ(yellowAfter, 0);
}

TEST_F(EditViewTest, ADragWithNothingSelectedCarriesTheWholeSceneAndIsOneUndoStep) {
    MakeView();
    LoadStanding();
    Tree().SelectItem(0);
    rm::Frame* root = Doc().GetCharacterRootFrame();
    rm::Frame* scene = Doc().GetSceneFrame();
    const QPointF before = ScreenOf(*root);
    const rm::Vector worldBefore = WorldOf(*root);
    Drag(before.toPoint(), before.toPoint() + QPoint(30, 20));
    EXPECT_EQ(m_view->PivotFrame(), nullptr);
    EXPECT_EQ(scene->Parent(), Doc().GetRootFrame()) << "the scene is back under the root";
    const QPointF after = ScreenOf(*root);
    EXPECT_NEAR(after.x() - before.x(), 30.0, 1.0);
    EXPECT_NEAR(after.y() - before.y(), 20.0, 1.0);
    ASSERT_EQ(m_view->History().UndoCount(), 1u);
    m_view->OnCommand(ID_EDIT_UNDO);
    EXPECT_LT(Distance(WorldOf(*root), worldBefore), 1e-3f);
}

TEST_F(EditViewTest, AnItemWithoutAPartTurnsTheWholeFigureAboutItsCentre) {
    MakeView();
    LoadStanding();
    const HTREEITEM category = Tree().InsertItem("category");
    Tree().SelectItem(category);
    ASSERT_EQ(Doc().GetEditTarget().Get(), Doc().GetSceneFrame());
    GetApp()->EditMode = EDIT_ROTATE;
    rm::Frame* scene = Doc().GetSceneFrame();
    rm::Box box{};
    ASSERT_EQ(scene->GetHierarchyBox(&box), rm::D3DRM_OK);
    const rm::Vector centre{(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2, (box.min.z + box.max.z) / 2};
    const rm::Vector centreBefore = WorldOf(*scene, centre);
    Drag({200, 150}, {260, 150});
    EXPECT_LT(Distance(WorldOf(*scene, centre), centreBefore), 1e-3f) << "the centre stays put";
    rm::Vector dir, up;
    scene->GetOrientation(nullptr, &dir, &up);
    EXPECT_GT(std::fabs(dir.x), 0.1f) << "the scene turned";
}

TEST_F(EditViewTest, ADragEndsWhenTheFocusGoesOrTheSelectionChanges) {
    MakeView();
    LoadStanding();
    rm::Frame* scene = Doc().GetSceneFrame();
    rm::Frame* root = Doc().GetCharacterRootFrame();

    Tree().SelectItem(0);
    const QPointF start = ScreenOf(*root);
    Press(start.toPoint());
    MoveTo(start.toPoint() + QPoint(12, 0));
    ASSERT_NE(m_view->PivotFrame(), nullptr);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(m_view.get(), &focusOut);
    EXPECT_FALSE(m_view->IsDragging());
    EXPECT_EQ(m_view->PivotFrame(), nullptr);
    EXPECT_EQ(scene->Parent(), Doc().GetRootFrame());
    EXPECT_NEAR(ScreenOf(*root).x() - start.x(), 12.0, 1.0) << "the scene stays where it was left";
    MoveTo(start.toPoint() + QPoint(40, 0));
    EXPECT_NEAR(ScreenOf(*root).x() - start.x(), 12.0, 1.0) << "later moves do nothing";
    Release(start.toPoint() + QPoint(40, 0));

    Tree().SelectItem(ItemOf("HANDL"));
    Press({100, 100});
    MoveTo({110, 100});
    ASSERT_TRUE(m_view->IsDragging());
    Tree().SelectItem(ItemOf("HANDR"));
    EXPECT_FALSE(m_view->IsDragging());
    EXPECT_EQ(m_view->BoundingBoxProxy(), nullptr);

    // A move with no button held ends it too.
    Press({100, 100});
    MoveTo({105, 100});
    QMouseEvent loose(QEvent::MouseMove, QPointF(120, 100), QPointF(m_view->mapToGlobal(QPoint(120, 100))),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_view.get(), &loose);
    EXPECT_FALSE(m_view->IsDragging());
}

TEST_F(EditViewTest, ADoubleClickReleasesAHeldButtonOrPressesAFreeOne) {
    MakeView();
    LoadStanding();
    Tree().SelectItem(Doc().GetCharacterItem());
    rm::Frame* root = Doc().GetCharacterRootFrame();
    const QPoint start = ScreenOf(*root).toPoint();

    // With the button down, the double click is the release: the drag ends where it was.
    Press(start);
    MoveTo(start + QPoint(10, 0));
    DoubleClick(start + QPoint(10, 0));
    EXPECT_FALSE(m_view->IsDragging());
    MoveTo(start + QPoint(40, 0));
    Release(start + QPoint(40, 0));
    EXPECT_NEAR(ScreenOf(*root).x() - start.x(), 10.0, 1.0) << "moves after the double click do nothing";
    EXPECT_EQ(m_view->History().UndoCount(), 1u);

    // With the button up (a click, then the double click), the double click is a press: a drag
    // starts there.
    const QPoint at = ScreenOf(*root).toPoint();
    Press(at);
    Release(at);
    DoubleClick(at);
    EXPECT_TRUE(m_view->IsDragging());
    MoveTo(at + QPoint(0, 12));
    Release(at + QPoint(0, 12));
    EXPECT_FALSE(m_view->IsDragging());
    EXPECT_NEAR(ScreenOf(*root).y() - at.y(), 12.0, 1.0);
    EXPECT_EQ(m_view->History().UndoCount(), 2u);
}

TEST_F(EditViewTest, AWholeSceneDragWithoutSimpleDisplayShowsTheSceneAsItGoes) {
    GetApp()->SetSettingInt("view", "s_mode", 0);
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(0);
    rm::Frame* root = Doc().GetCharacterRootFrame();
    const QImage still = Shown();
    ASSERT_GT(CountOtherThan(still, kGrey), 500);
    const QPointF before = ScreenOf(*root);
    const QPoint start = before.toPoint();

    Press(start);
    MoveTo(start + QPoint(30, 20));
    ASSERT_NE(m_view->PivotFrame(), nullptr);
    EXPECT_EQ(m_view->BoundingBoxProxy(), nullptr);
    const QImage during = Shown();
    int boxPixels = 0;
    for (int y = 0; y < during.height(); ++y)
        for (int x = 0; x < during.width(); ++x) {
            const std::uint32_t p = during.pixel(x, y) & 0xFFFFFF;
            boxPixels += p == 0x00FF80 || p == 0xFFFF00;
        }
    EXPECT_EQ(boxPixels, 0) << "no boxes";
    EXPECT_GT(CountOtherThan(during, kGrey), 500) << "the scene is drawn";
    EXPECT_NE(during, still) << "where the pointer has taken it";
    Release(start + QPoint(30, 20));
    Settle();

    EXPECT_EQ(m_view->PivotFrame(), nullptr);
    const QPointF after = ScreenOf(*root);
    EXPECT_NEAR(after.x() - before.x(), 30.0, 1.0);
    EXPECT_NEAR(after.y() - before.y(), 20.0, 1.0);
    // What the drag showed is the scene where it ends.
    EXPECT_EQ(CountDifferent(Shown(), during), 0);
}

TEST_F(EditViewTest, CentringPutsTheTargetOnTheCameraAxis) {
    MakeView();
    LoadStanding();
    Tree().SelectItem(Doc().GetCharacterItem());
    rm::Frame* root = Doc().GetCharacterRootFrame();
    root->SetPosition(nullptr, 7, 3, 40);
    m_view->OnCommand(ID_EDIT_CENTRE);
    const rm::Vector world = WorldOf(*root);
    EXPECT_NEAR(world.x, 0, 1e-4f);
    EXPECT_NEAR(world.y, 0, 1e-4f);
    EXPECT_NEAR(world.z, 100, 1e-4f);
    EXPECT_EQ(m_view->History().UndoCount(), 1u);
    m_view->OnCommand(ID_EDIT_UNDO);
    EXPECT_NEAR(WorldOf(*root).x, 7, 1e-4f);
}

}  // namespace
