// Everything that works through the edit camera, from a camera turned a quarter to the side and 60°
// up over the figure: moves keep the dragged point under the pointer, Z moves go along the view
// axis, turns are about the camera's axes, an IK drag reaches the pointer, centring puts the target
// ahead of the camera, the boxes of simple display sit on the parts, and render-size display keeps
// its frame and background picture.

#include <QCoreApplication>
#include <cmath>
#include <numbers>

#include "EditViewFixture.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/VectorMath.h"
#include "support/VectorExpect.h"

namespace {

using testvec::ExpectNear;
using testvec::Distance;

rm::Vector Row(const rm::Matrix4& m, int r) {
    return {m.m[r][0], m.m[r][1], m.m[r][2]};
}

class OrbitedViewTest : public EditViewTest {
  protected:
    void SetUp() override {
        EditViewTest::SetUp();
        MakeView(480, 360);
        LoadStanding();
        Orbit();
    }
    // A quarter of the width to the right (a quarter turn) and a sixth down (60° from above).
    void Orbit() {
        Tree().SelectItem(0);
        DragWith({100, 100}, {220, 180}, Qt::MiddleButton, Qt::NoModifier);
        // From looking along +z: down 60° (0, -sin 60°, cos 60°), then a quarter about +y.
        const rm::Matrix4 camera = m_view->CameraFrame()->WorldMatrix();
        ExpectNear(Row(camera, 2), {0.5f, -0.8660254f, 0}, 1e-4f);
        Tree().SelectItem(Doc().GetCharacterItem());
    }
    rm::Vector CameraAxis(int r) const {
        return rm::Normalized(Row(m_view->CameraFrame()->WorldMatrix(), r));
    }
    rm::Vector Eye() const { return Row(m_view->CameraFrame()->WorldMatrix(), 3); }
};

TEST_F(OrbitedViewTest, MovesFollowThePointerAtTheTargetsDepth) {
    struct Case {
        const char* what;
        const char* part;  // nothing: the whole scene
        int axis;
        QPoint stroke, moved;
    };
    const Case cases[] = {
        {"a hand, free", "HANDL", AXIS_FREE, {25, -15}, {25, -15}},
        {"a foot, X only", "FOOTR", AXIS_X, {20, 12}, {20, 0}},
        {"the other hand, Y only", "HANDR", AXIS_Y, {20, 12}, {0, 12}},
        {"the whole scene", nullptr, AXIS_FREE, {-30, 20}, {-30, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GetApp()->AxisConstraint = c.axis;
        Tree().SelectItem(c.part ? ItemOf(c.part) : 0);
        rm::Frame& frame = c.part ? *PartOf(c.part)->GetFrame() : *Doc().GetCharacterRootFrame();
        const QPointF before = ScreenOf(frame);
        const double depth = DepthOfWorld(WorldOf(frame));
        const QPoint start = before.toPoint();
        Drag(start, start + c.stroke);
        const QPointF after = ScreenOf(frame);
        EXPECT_NEAR(after.x() - before.x(), c.moved.x(), 1.0);
        EXPECT_NEAR(after.y() - before.y(), c.moved.y(), 1.0);
        EXPECT_NEAR(DepthOfWorld(WorldOf(frame)), depth, 1e-3) << "at its own depth";
    }
}

TEST_F(OrbitedViewTest, ZMovesGoAlongTheViewAxis) {
    GetApp()->AxisConstraint = AXIS_Z;
    rm::Frame* root = Doc().GetCharacterRootFrame();
    const rm::Vector before = WorldOf(*root);
    // 8 pixels right or down is one unit away from the camera.
    Drag({200, 200}, {208, 200}, 1);
    ExpectNear(WorldOf(*root), rm::Add(before, CameraAxis(2)), 1e-3f);
    Drag({200, 200}, {200, 184}, 1);
    ExpectNear(WorldOf(*root), rm::Sub(before, CameraAxis(2)), 1e-3f);
}

TEST_F(OrbitedViewTest, TurnsAreAboutTheCameraAxes) {
    GetApp()->EditMode = EDIT_ROTATE;
    rm::Frame* root = Doc().GetCharacterRootFrame();
    const float angle = float(0.5 * 50 / std::sqrt(5000.0));
    struct Case {
        const char* what;
        int axis;
        QPoint stroke;
        rm::Vector about;  // in the world
    };
    const Case cases[] = {
        // Right: about the camera's -y; down: about its -x; the Z lock, right: about its +z.
        {"free, right", AXIS_FREE, {50, 0}, rm::Scale(CameraAxis(1), -1)},
        {"free, down", AXIS_FREE, {0, 50}, rm::Scale(CameraAxis(0), -1)},
        {"Z only, right", AXIS_Z, {50, 0}, CameraAxis(2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GetApp()->AxisConstraint = c.axis;
        const rm::Matrix4 before = root->WorldMatrix();
        Drag({200, 200}, QPoint(200, 200) + c.stroke, 1);
        const rm::Matrix4 after = root->WorldMatrix();
        // The figure's axes in the world, turned about the camera's axis by the step's angle.
        const rm::Matrix4 turn = rm::RotationMatrix(c.about, angle);
        for (int r = 0; r < 3; ++r)
            ExpectNear(Row(after, r), rm::TransformDirection(Row(before, r), turn), 1e-4f);
        // Turned about its own origin.
        ExpectNear(Row(after, 3), Row(before, 3), 1e-4f);
    }
}

TEST_F(OrbitedViewTest, AnIkDragBringsTheHandUnderThePointer) {
    GetApp()->EditMode = EDIT_IK;
    // Strokes toward the shoulder's place in the picture (a share of the way, and a share across):
    // the hand's goal, at its own depth, then lies nearer the shoulder than the hand did, within
    // the arm's reach.
    struct Stroke {
        double toward, across;
    };
    for (const Stroke& s : {Stroke{0.5, 0.25}, Stroke{0.3, -0.3}, Stroke{0.6, 0}}) {
        SCOPED_TRACE(testing::Message() << s.toward << "," << s.across);
        LoadStanding();
        Orbit();
        Tree().SelectItem(ItemOf("HANDL"));
        rm::Frame* hand = PartOf("HANDL")->GetFrame();
        rm::Frame* shoulder = PartOf("HANDL")->GetParent()->GetParent()->GetFrame();
        const rm::Vector root = WorldOf(*shoulder);
        const QPoint start = ScreenOf(*hand).toPoint();
        const QPointF toShoulder = ScreenOf(*shoulder) - QPointF(start);
        const QPoint stroke =
            (toShoulder * s.toward + QPointF(-toShoulder.y(), toShoulder.x()) * s.across).toPoint();
        ASSERT_GT(stroke.manhattanLength(), 10);
        Drag(start, start + stroke, 5);
        const QPointF now = ScreenOf(*hand);
        EXPECT_NEAR(now.x(), start.x() + stroke.x(), 1.0);
        EXPECT_NEAR(now.y(), start.y() + stroke.y(), 1.0);
        EXPECT_LT(Distance(WorldOf(*shoulder), root), 1e-4f) << "the shoulder stays";
    }
}

TEST_F(OrbitedViewTest, CentringPutsTheTargetAheadOfTheCamera) {
    rm::Frame* root = Doc().GetCharacterRootFrame();
    m_view->OnCommand(ID_EDIT_CENTRE);
    ExpectNear(WorldOf(*root), rm::Add(Eye(), rm::Scale(CameraAxis(2), 100)), 1e-3f);
    const QPointF centre = ScreenOf(*root);
    EXPECT_NEAR(centre.x(), 240, 0.5);
    EXPECT_NEAR(centre.y(), 180, 0.5);
}

// Whether a pixel of `rgb` lies within a pixel of (x, y).
bool NearPixel(const QImage& image, QPointF at, std::uint32_t rgb) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p(int(at.x()) + dx, int(at.y()) + dy);
            if (image.rect().contains(p) && (image.pixel(p) & 0xFFFFFF) == rgb) return true;
        }
    return false;
}

TEST_F(OrbitedViewTest, TheBoxesOfSimpleDisplaySitOnTheParts) {
    Tree().SelectItem(ItemOf("HANDL"));
    CPartObject* hand = PartOf("HANDL");
    const QPoint start = ScreenOf(*hand->GetFrame()).toPoint();
    Press(start);
    MoveTo(start + QPoint(6, 4));
    const QImage shown = Shown();
    const auto& b = hand->m_box;
    for (int i = 0; i < 8; ++i) {
        const rm::Vector corner{i & 1 ? b[3] : b[0], i & 2 ? b[4] : b[1], i & 4 ? b[5] : b[2]};
        const QPointF at = ScreenOf(*hand->GetFrame(), corner);
        EXPECT_TRUE(NearPixel(shown, at, 0xFFFF00))
            << "the dragged hand's corner " << i << " at " << at.x() << "," << at.y();
    }
    CPartObject* head = PartOf("HEAD");
    const auto& h = head->m_box;
    for (int i = 0; i < 8; ++i) {
        const rm::Vector corner{i & 1 ? h[3] : h[0], i & 2 ? h[4] : h[1], i & 4 ? h[5] : h[2]};
        EXPECT_TRUE(NearPixel(shown, ScreenOf(*head->GetFrame(), corner), 0x00FF80))
            << "the head's corner " << i;
    }
    Release(start + QPoint(6, 4));
}

TEST_F(OrbitedViewTest, RenderSizeDisplayKeepsItsFrameAndBackgroundWhileLookingAround) {
    GetApp()->SetSettingInt("view", "mask", 1);
    GetApp()->SetSettingInt("bg", "edit", 1);
    GetApp()->SetSettingString(
        "render", "bg", QCoreApplication::applicationDirPath().toStdString() + "/BACKGROUND/bg_01.jpg");
    MakeView(640, 360);
    const surface::Rect& rect = m_view->RenderRect();
    ASSERT_EQ(rect.left, 80);
    const QImage before = Shown();
    const QPoint corner(rect.left + 3, rect.top + 3);  // the picture's corner, away from the figure
    ASSERT_NE(before.pixel(corner) & 0xFFFFFF, 0x606060u) << "the background picture shows";
    auto framed = [&](const QImage& shown) {
        EXPECT_EQ(shown.pixel(rect.left - 1, 180) & 0xFFFFFF, 0u) << "black beside the picture";
        EXPECT_EQ(shown.pixel(rect.right, 180) & 0xFFFFFF, 0u);
        EXPECT_EQ(shown.pixel(corner), before.pixel(corner)) << "the background where it was";
    };
    // While a look lasts (boxes in simple display) and after it.
    PressWith({300, 150}, Qt::MiddleButton, Qt::NoModifier);
    MoveWith({340, 170}, Qt::MiddleButton, Qt::NoModifier);
    framed(Shown());
    ReleaseWith({340, 170}, Qt::MiddleButton, Qt::NoModifier);
    const QImage after = Shown();
    framed(after);
    EXPECT_NE(after, before) << "the figure is seen from elsewhere";
}

}  // namespace
