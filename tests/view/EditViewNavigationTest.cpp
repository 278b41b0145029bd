// Looking around in the edit view with the mouse and the 視点 commands: the middle button (or Alt
// with the left one) turns the camera about the selection or the visible parts, with Shift it
// slides under the pointer, the wheel goes toward the point under the pointer; the standard views
// and framing fill the picture as they should. Only the camera moves: no undo step, no change of
// the scene, and the document always knows where the camera stands.

#include <QApplication>
#include <QFocusEvent>
#include <QTemporaryDir>
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

constexpr std::uint32_t kGrey = 0x606060;
constexpr double kDegree = std::numbers::pi / 180.0;

rm::Vector Centre(const rm::Box& box) {
    return rm::Scale(rm::Add(box.min, box.max), 0.5f);
}
// The camera frame as the scene sees it.
struct CameraPose {
    rm::Vector eye, forward, up;
};

class NavigationTest : public EditViewTest {
  protected:
    void SetUp() override {
        EditViewTest::SetUp();
        MakeView(480, 360);
        LoadStanding();
        Tree().SelectItem(0);
        Doc().SetModifiedFlag(false);
    }
    CameraPose Camera() const {
        const rm::Matrix4 m = m_view->CameraFrame()->WorldMatrix();
        return {{m.m[3][0], m.m[3][1], m.m[3][2]},
                rm::Normalized({m.m[2][0], m.m[2][1], m.m[2][2]}),
                rm::Normalized({m.m[1][0], m.m[1][1], m.m[1][2]})};
    }
    rm::Vector VisibleCentre() { return Centre(*Doc().VisiblePartsBox()); }
    // The share of the main viewport's width or height (the larger) that the box's corners span,
    // as the viewport projects them; 0 when a corner is not beyond the front plane.
    double FilledShare(const rm::Box& box) const {
        const rm::Viewport& v = *m_view->MainViewport();
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (int i = 0; i < 8; ++i) {
            const rm::Vector corner{i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y,
                                    i & 4 ? box.max.z : box.min.z};
            if (!(DepthOfWorld(corner) > v.GetFront())) return 0;
            const QPointF p = ScreenOfWorld(corner);
            left = std::min(left, p.x()), right = std::max(right, p.x());
            top = std::min(top, p.y()), bottom = std::max(bottom, p.y());
        }
        return std::max((right - left) / v.GetWidth(), (bottom - top) / v.GetHeight());
    }
    // The box framed: 75-85 % of the picture's limiting side, all of it beyond the front plane; or,
    // where the front plane keeps the camera from coming nearer, its nearest corner just beyond
    // the plane and the box filling less.
    void ExpectFramed(const rm::Box& box, bool heldByTheFrontPlane) const {
        const double share = FilledShare(box);
        double nearest = 1e9;
        for (int i = 0; i < 8; ++i)
            nearest =
                std::min(nearest, DepthOfWorld({i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y,
                                                i & 4 ? box.max.z : box.min.z}));
        const double front = m_view->MainViewport()->GetFront();
        EXPECT_GT(nearest, front);
        if (heldByTheFrontPlane) {
            EXPECT_LT(nearest, front * 1.01);
            EXPECT_LT(share, 0.75);
            EXPECT_GT(share, 0.1);
        } else {
            EXPECT_GE(share, 0.75);
            EXPECT_LE(share, 0.85);
        }
    }
    // The point that shows at pixel `p` at the depth of `at`, by the main viewport.
    rm::Vector UnderAtDepthOf(QPoint p, const rm::Vector& at) const {
        rm::Vector4 s{};
        m_view->MainViewport()->Transform(&s, &at);
        const rm::Vector4 screen{float(p.x()) * s.w, float(p.y()) * s.w, s.z, s.w};
        rm::Vector world;
        m_view->MainViewport()->InverseTransform(&world, &screen);
        return world;
    }
};

TEST_F(NavigationTest, AQuarterOfTheWidthTurnsTheCameraAQuarterAboutTheVisibleParts) {
    struct Row {
        const char* what;
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
    };
    const Row rows[] = {{"middle button", Qt::MiddleButton, Qt::NoModifier},
                        {"Alt and the left button", Qt::LeftButton, Qt::AltModifier}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        m_view->RunCameraCommand(ID_VIEW_CAMERA_RESET);
        const rm::Vector pivot = VisibleCentre();
        const QPointF pivotOnScreen = ScreenOfWorld(pivot);
        const float distance = Distance(Camera().eye, pivot);
        // A full turn takes the picture's width: 120 of 480 pixels is a quarter.
        DragWith({150, 200}, {270, 200}, r.button, r.modifiers);
        const CameraPose after = Camera();
        // From looking along +z the camera turned a quarter about +y (+z to +x): it looks along +x
        // from the scene's -x side.
        ExpectNear(after.forward, {1, 0, 0}, 1e-4f);
        ExpectNear(after.up, {0, 1, 0}, 1e-4f);
        EXPECT_NEAR(Distance(after.eye, pivot), distance, 1e-3f);
        EXPECT_LT(after.eye.x, pivot.x - 10);
        const QPointF pivotNow = ScreenOfWorld(pivot);
        EXPECT_NEAR(pivotNow.x(), pivotOnScreen.x(), 0.5);
        EXPECT_NEAR(pivotNow.y(), pivotOnScreen.y(), 0.5);
        EXPECT_EQ(m_view->LookingAround(), C3DView::LookAround::None);
    }
}

TEST_F(NavigationTest, TheTurnIsAboutTheSelectedPartTakenAtThePress) {
    Tree().SelectItem(ItemOf("HANDL"));
    const rm::Vector hand = Centre(*CMainDoc::PartBox(*PartOf("HANDL")));
    const rm::Vector all = VisibleCentre();
    ASSERT_GT(Distance(hand, all), 2.0f);
    const QPointF handBefore = ScreenOfWorld(hand), allBefore = ScreenOfWorld(all);
    DragWith({200, 150}, {260, 190}, Qt::MiddleButton, Qt::NoModifier);
    EXPECT_NEAR(ScreenOfWorld(hand).x(), handBefore.x(), 0.5);
    EXPECT_NEAR(ScreenOfWorld(hand).y(), handBefore.y(), 0.5);
    EXPECT_GT(std::hypot(ScreenOfWorld(all).x() - allBefore.x(), ScreenOfWorld(all).y() - allBefore.y()),
              5.0);

    // The pivot is the one found at the press: a selection changed during the look does not move it.
    const QPointF handNow = ScreenOfWorld(hand);
    PressWith({200, 150}, Qt::MiddleButton, Qt::NoModifier);
    MoveWith({210, 150}, Qt::MiddleButton, Qt::NoModifier);
    Tree().SelectItem(ItemOf("FOOTR"));
    MoveWith({240, 170}, Qt::MiddleButton, Qt::NoModifier);
    ReleaseWith({240, 170}, Qt::MiddleButton, Qt::NoModifier);
    EXPECT_NEAR(ScreenOfWorld(hand).x(), handNow.x(), 0.5);
    EXPECT_NEAR(ScreenOfWorld(hand).y(), handNow.y(), 0.5);
}

TEST_F(NavigationTest, DraggingDownLooksFromAboveAndStopsShortOfStraightDown) {
    const rm::Vector pivot = VisibleCentre();
    // 60 pixels of 480 is an eighth of a turn: the camera rises 45° and looks down at the pivot.
    DragWith({240, 100}, {240, 160}, Qt::MiddleButton, Qt::NoModifier);
    EXPECT_NEAR(std::asin(-Camera().forward.y) / kDegree, 45.0, 0.05);
    EXPECT_GT(Camera().eye.y, pivot.y + 10);
    // Far on, it stops 2° short of straight down and the picture keeps its top up.
    DragWith({240, 10}, {240, 350}, Qt::MiddleButton, Qt::NoModifier, 8);
    EXPECT_NEAR(std::asin(-Camera().forward.y) / kDegree, 88.0, 0.05);
    EXPECT_GT(Camera().up.y, 0.0f);
    DragWith({240, 350}, {240, 10}, Qt::LeftButton, Qt::AltModifier, 8);
    DragWith({240, 350}, {240, 10}, Qt::LeftButton, Qt::AltModifier, 8);
    EXPECT_NEAR(std::asin(-Camera().forward.y) / kDegree, -88.0, 0.05) << "and straight up";
    EXPECT_GT(Camera().up.y, 0.0f);
}

TEST_F(NavigationTest, APanKeepsThePressedPointUnderThePointer) {
    struct Row {
        const char* what;
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
    };
    const Row rows[] = {
        {"Shift and the middle button", Qt::MiddleButton, Qt::ShiftModifier},
        {"Shift, Alt and the left button", Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier}};
    // From a turned view, so that the camera's plane is not the scene's.
    DragWith({100, 100}, {160, 140}, Qt::MiddleButton, Qt::NoModifier);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const QPoint press(200, 150), to(237, 127);
        const rm::Vector grabbed = UnderAtDepthOf(press, VisibleCentre());
        const CameraPose before = Camera();
        DragWith(press, to, r.button, r.modifiers, 5);
        const QPointF now = ScreenOfWorld(grabbed);
        EXPECT_NEAR(now.x(), to.x(), 1.0);
        EXPECT_NEAR(now.y(), to.y(), 1.0);
        ExpectNear(Camera().forward, before.forward, 1e-5f);
        ExpectNear(Camera().up, before.up, 1e-5f);
        EXPECT_GT(Distance(Camera().eye, before.eye), 1.0f);
    }
}

TEST_F(NavigationTest, TheWheelGoesTowardThePointUnderThePointerAndStopsShortOfThePivot) {
    const rm::Vector pivot = VisibleCentre();
    const QPoint at(330, 90);
    const rm::Vector pointed = UnderAtDepthOf(at, pivot);
    const double depth = DepthOfWorld(pivot);
    Wheel(at, 120);
    EXPECT_NEAR(DepthOfWorld(pivot), depth / 1.15, 1e-3);
    EXPECT_NEAR(ScreenOfWorld(pointed).x(), at.x(), 0.5);
    EXPECT_NEAR(ScreenOfWorld(pointed).y(), at.y(), 0.5);
    Wheel(at, -120);
    EXPECT_NEAR(DepthOfWorld(pivot), depth, 1e-3) << "back out";

    // A touchpad's small steps add up to notches; a step the other way starts afresh.
    for (int i = 0; i < 3; ++i) Wheel(at, 30);
    EXPECT_NEAR(DepthOfWorld(pivot), depth, 1e-3);
    Wheel(at, 30);
    EXPECT_NEAR(DepthOfWorld(pivot), depth / 1.15, 1e-3);
    Wheel(at, 90);
    Wheel(at, -60);
    Wheel(at, 60);
    EXPECT_NEAR(DepthOfWorld(pivot), depth / 1.15, 1e-3);
    Wheel(at, 60);
    EXPECT_NEAR(DepthOfWorld(pivot), depth / (1.15 * 1.15), 1e-3);

    // Notch after notch, the camera stops twice the front plane short of the pivot; the lens stays.
    const float field = m_view->MainViewport()->GetField(), front = m_view->MainViewport()->GetFront();
    for (int i = 0; i < 40; ++i) Wheel(at, 120);
    EXPECT_NEAR(DepthOfWorld(pivot), 2 * front, 1e-3);
    EXPECT_EQ(m_view->MainViewport()->GetField(), field);
    EXPECT_EQ(m_view->MainViewport()->GetFront(), front);
    EXPECT_EQ(GetApp()->GetSettingFloat("view", "field", 0), field);
    // And out no farther than the back plane.
    for (int i = 0; i < 40; ++i) Wheel(at, -120);
    EXPECT_NEAR(DepthOfWorld(pivot), m_view->MainViewport()->GetBack(), 1e-2);
}

TEST_F(NavigationTest, StandardViewsLookAlongTheirAxesAndFrameEveryVisiblePart) {
    struct Row {
        int id;
        rm::Vector forward, up;
    };
    const Row rows[] = {
        {ID_VIEW_CAMERA_FRONT, {0, 0, 1}, {0, 1, 0}},  {ID_VIEW_CAMERA_BACK, {0, 0, -1}, {0, 1, 0}},
        {ID_VIEW_CAMERA_RIGHT, {-1, 0, 0}, {0, 1, 0}}, {ID_VIEW_CAMERA_LEFT, {1, 0, 0}, {0, 1, 0}},
        {ID_VIEW_CAMERA_TOP, {0, -1, 0}, {0, 0, 1}},   {ID_VIEW_CAMERA_BOTTOM, {0, 1, 0}, {0, 0, -1}},
    };
    // The lens the figure brings (field 4) and a longer one; in render-size display the picture is
    // the main viewport's rectangle, not the window.
    struct Setting {
        float field;
        int renderSize;
    };
    for (const Setting& setting : {Setting{4.0f, 0}, Setting{1.5f, 0}, Setting{4.0f, 1}}) {
        GetApp()->SetSettingFloat("view", "field", setting.field);
        GetApp()->SetSettingInt("view", "mask", setting.renderSize);
        MakeView(setting.renderSize ? 640 : 480, 360);
        win::SendMessage(m_view.get(), win::WM_SETTINGS_CHANGED);
        for (const Row& r : rows) {
            SCOPED_TRACE(testing::Message() << "command " << r.id << ", field " << setting.field
                                            << ", render size " << setting.renderSize);
            DragWith({100, 100}, {170, 130}, Qt::MiddleButton, Qt::NoModifier);
            m_view->OnCommand(r.id);
            ExpectNear(Camera().forward, r.forward, 1e-5f);
            ExpectNear(Camera().up, r.up, 1e-5f);
            // Seen from above or below, the slim figure would need the camera nearer than the front
            // plane to fill the picture through the figure's own wide lens.
            const bool vertical = r.id == ID_VIEW_CAMERA_TOP || r.id == ID_VIEW_CAMERA_BOTTOM;
            ExpectFramed(*Doc().VisiblePartsBox(), vertical && setting.field == 4.0f);
            const QPointF centre = ScreenOfWorld(VisibleCentre());
            const rm::Viewport& v = *m_view->MainViewport();
            EXPECT_NEAR(centre.x(), v.GetX() + v.GetWidth() / 2.0, v.GetWidth() * 0.1);
            EXPECT_NEAR(centre.y(), v.GetY() + v.GetHeight() / 2.0, v.GetHeight() * 0.1);
        }
    }
}

TEST_F(NavigationTest, FramingKeepsTheDirectionAndFillsThePicture) {
    DragWith({100, 100}, {190, 160}, Qt::MiddleButton, Qt::NoModifier);
    Wheel({400, 300}, -360);
    const CameraPose turned = Camera();
    struct Row {
        const char* what;
        int id;
        const char* selected;  // nothing: no selection
        bool wholeScene;       // the box framed is every visible part's
        float front, field;    // the lens
        bool heldByTheFrontPlane;
    };
    const Row rows[] = {
        {"全体を表示", ID_VIEW_FRAME_ALL, nullptr, true, 10, 4, false},
        {"選択部分を表示, the head", ID_VIEW_FRAME_SELECTED, "HEAD", false, 10, 1.5f, false},
        // A hand is small beside what the picture spans at the front plane: the camera comes as
        // near as the plane lets it; with a nearer plane (and the same angle of view) the hand
        // fills the picture.
        {"選択部分を表示, a hand", ID_VIEW_FRAME_SELECTED, "HANDL", false, 10, 4, true},
        {"選択部分を表示, a hand, the front plane near", ID_VIEW_FRAME_SELECTED, "HANDL", false, 0.5f, 0.2f,
         false},
        {"選択部分を表示 without a part selected", ID_VIEW_FRAME_SELECTED, nullptr, true, 10, 4, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GetApp()->SetSettingFloat("view", "front", r.front);
        GetApp()->SetSettingFloat("view", "field", r.field);
        win::SendMessage(m_view.get(), win::WM_SETTINGS_CHANGED);
        Tree().SelectItem(r.selected ? ItemOf(r.selected) : 0);
        m_view->OnCommand(r.id);
        ExpectNear(Camera().forward, turned.forward, 1e-5f);
        ExpectNear(Camera().up, turned.up, 1e-5f);
        ExpectFramed(r.wholeScene ? *Doc().VisiblePartsBox() : *CMainDoc::PartBox(*PartOf(r.selected)),
                     r.heldByTheFrontPlane);
    }
    // 視点を戻す: where a new scene has the camera.
    m_view->OnCommand(ID_VIEW_CAMERA_RESET);
    ExpectNear(Camera().eye, {0, 0, 0}, 1e-6f);
    ExpectNear(Camera().forward, {0, 0, 1}, 1e-6f);
    ExpectNear(Camera().up, {0, 1, 0}, 1e-6f);
}

TEST_F(NavigationTest, LookingAroundIsNoUndoStepNorAChangeAndTheDocumentKnowsWhereTheCameraIs) {
    // One undo step to begin with, so that nothing below is hidden by an empty history.
    Tree().SelectItem(Doc().GetCharacterItem());
    Drag({240, 180}, {250, 180});
    Tree().SelectItem(0);
    Doc().SetModifiedFlag(false);
    const std::size_t undoSteps = m_view->History().UndoCount();
    const std::uint64_t changes = Doc().ChangeCount();
    const rm::Matrix4 sceneBefore = Doc().GetSceneFrame()->WorldMatrix();
    auto expectOnlyTheCameraMoved = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(m_view->History().UndoCount(), undoSteps);
        EXPECT_FALSE(m_view->History().HasPending());
        EXPECT_FALSE(Doc().IsModified());
        EXPECT_EQ(Doc().ChangeCount(), changes);
        const rm::Matrix4 scene = Doc().GetSceneFrame()->WorldMatrix();
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) EXPECT_EQ(scene.m[i][j], sceneBefore.m[i][j]);
        const scene::FramePlacement& noted = Doc().CameraPlacement();
        const CameraPose now = Camera();
        ExpectNear({noted.position[0], noted.position[1], noted.position[2]}, now.eye, 1e-5f);
        ExpectNear(rm::Normalized({noted.direction[0], noted.direction[1], noted.direction[2]}), now.forward,
                   1e-5f);
        ExpectNear(rm::Normalized({noted.up[0], noted.up[1], noted.up[2]}), now.up, 1e-5f);
    };
    const CameraPose start = Camera();
    DragWith({100, 100}, {190, 160}, Qt::MiddleButton, Qt::NoModifier);
    EXPECT_GT(Distance(Camera().eye, start.eye), 1.0f);
    expectOnlyTheCameraMoved("orbit");
    DragWith({100, 100}, {130, 120}, Qt::MiddleButton, Qt::ShiftModifier);
    expectOnlyTheCameraMoved("pan");
    Wheel({200, 200}, 240);
    expectOnlyTheCameraMoved("wheel");
    for (int id : {ID_VIEW_CAMERA_TOP, ID_VIEW_FRAME_ALL, ID_VIEW_FRAME_SELECTED, ID_VIEW_CAMERA_LEFT}) {
        m_view->OnCommand(id);
        expectOnlyTheCameraMoved("a 視点 command");
    }
    Wheel({300, 100}, 120);
    const scene::FramePlacement saved = Doc().CameraPlacement();

    // Save keeps it: the file opened again puts the camera back there.
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/looked.mrs";
    ASSERT_TRUE(Doc().OnSaveDocument(path));
    m_view->OnCommand(ID_VIEW_CAMERA_RESET);
    ASSERT_TRUE(Doc().OnOpenDocument(path));
    Settle();
    const CameraPose reopened = Camera();
    ExpectNear(reopened.eye, {saved.position[0], saved.position[1], saved.position[2]}, 1e-4f);
    ExpectNear(reopened.forward, rm::Normalized({saved.direction[0], saved.direction[1], saved.direction[2]}),
               1e-5f);
    ExpectNear(reopened.up, rm::Normalized({saved.up[0], saved.up[1], saved.up[2]}), 1e-5f);
}

// Pixels of the picture by kind: box lines (green, yellow) and everything else that is not grey.
struct PixelCount {
    int green = 0, yellow = 0, other = 0;
};
PixelCount CountPixels(const QImage& image) {
    PixelCount n;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.pixel(x, y) & 0xFFFFFF;
            if (p == 0x00FF80)
                ++n.green;
            else if (p == 0xFFFF00)
                ++n.yellow;
            else if (p != kGrey)
                ++n.other;
        }
    return n;
}

TEST_F(NavigationTest, SimpleDisplayShowsTheBoxesWhileLookingAroundAndTheSceneAfter) {
    struct Row {
        const char* what;
        Qt::KeyboardModifiers modifiers;
        int simple;
    };
    const Row rows[] = {
        {"orbit in simple display", Qt::NoModifier, 1},
        {"pan in simple display", Qt::ShiftModifier, 1},
        {"orbit in full display", Qt::NoModifier, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GetApp()->SetSettingInt("view", "s_mode", r.simple);
        PressWith({200, 150}, Qt::MiddleButton, r.modifiers);
        MoveWith({230, 160}, Qt::MiddleButton, r.modifiers);
        const PixelCount during = CountPixels(Shown());
        if (r.simple) {
            EXPECT_GT(during.green, 100) << "every visible part's box";
            EXPECT_EQ(during.yellow, 0) << "no part is dragged";
            EXPECT_EQ(during.other, 0) << "nothing of the figure itself";
        } else {
            EXPECT_EQ(during.green + during.yellow, 0);
            EXPECT_GT(during.other, 500);
        }
        ReleaseWith({230, 160}, Qt::MiddleButton, r.modifiers);
        const PixelCount after = CountPixels(Shown());
        EXPECT_EQ(after.green + after.yellow, 0);
        EXPECT_GT(after.other, 500) << "the figure where the look left the camera";
    }
    // The wheel draws the scene at once.
    GetApp()->SetSettingInt("view", "s_mode", 1);
    Wheel({240, 180}, 120);
    const PixelCount zoomed = CountPixels(Shown());
    EXPECT_EQ(zoomed.green, 0);
    EXPECT_GT(zoomed.other, 500);
}

TEST_F(NavigationTest, ALookEndsWhenTheButtonOrTheFocusIsLostOrTheDocumentPlacesTheCamera) {
    rm::Frame* root = Doc().GetCharacterRootFrame();
    const rm::Vector figure = WorldOf(*root);
    Tree().SelectItem(Doc().GetCharacterItem());
    // A press of the left button during a look edits nothing.
    PressWith({200, 150}, Qt::MiddleButton, Qt::NoModifier);
    MoveWith({220, 150}, Qt::MiddleButton, Qt::NoModifier);
    PressWith({220, 150}, Qt::LeftButton, Qt::NoModifier);
    MoveWith({260, 150}, Qt::MiddleButton | Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(m_view->IsDragging());
    ExpectNear(WorldOf(*root), figure, 1e-5f);
    ReleaseWith({260, 150}, Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(m_view->LookingAround(), C3DView::LookAround::Orbit)
        << "the left button's release is not the look's";
    // A move without the look's button: the release went elsewhere, the look ends where it was.
    MoveWith({280, 150}, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(m_view->LookingAround(), C3DView::LookAround::None);
    const CameraPose left = Camera();
    MoveWith({320, 150}, Qt::MiddleButton, Qt::NoModifier);
    ExpectNear(Camera().eye, left.eye, 1e-6f);

    // So does the focus going elsewhere.
    PressWith({200, 150}, Qt::MiddleButton, Qt::NoModifier);
    MoveWith({210, 150}, Qt::MiddleButton, Qt::NoModifier);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(m_view.get(), &focusOut);
    EXPECT_EQ(m_view->LookingAround(), C3DView::LookAround::None);
    ReleaseWith({210, 150}, Qt::MiddleButton, Qt::NoModifier);

    // The document placing the camera (a new scene, a pose set, a file) ends a look: what the
    // pointer does after that moves nothing.
    PressWith({200, 150}, Qt::MiddleButton, Qt::NoModifier);
    MoveWith({230, 150}, Qt::MiddleButton, Qt::NoModifier);
    Doc().PlaceCamera(scene::StandardCamera());
    EXPECT_EQ(m_view->LookingAround(), C3DView::LookAround::None);
    MoveWith({300, 190}, Qt::MiddleButton, Qt::NoModifier);
    ReleaseWith({300, 190}, Qt::MiddleButton, Qt::NoModifier);
    ExpectNear(Camera().eye, {0, 0, 0}, 1e-6f);
    ExpectNear(Camera().forward, {0, 0, 1}, 1e-6f);
    const CameraPose placed = Camera();

    // The wheel and the 視点 commands wait while a part is dragged.
    const QPoint at = ScreenOf(*root).toPoint();
    Press(at);
    MoveTo(at + QPoint(10, 0));
    Wheel(at, 120);
    m_view->OnCommand(ID_VIEW_CAMERA_TOP);
    ExpectNear(Camera().eye, placed.eye, 1e-6f);
    Release(at + QPoint(10, 0));
    EXPECT_EQ(m_view->History().UndoCount(), 1u);
}

}  // namespace

namespace {

TEST_F(EditViewTest, WithNothingToSeeTheCameraTurnsAboutThePlaceANewScenesFigureStands) {
    MakeView(480, 360);
    ASSERT_FALSE(Doc().VisiblePartsBox());
    rm::Frame& camera = *m_view->CameraFrame();
    auto eye = [&] { return WorldOf(camera); };
    // A quarter turn about the point 55 ahead: from the scene's -x side, looking along +x.
    DragWith({100, 100}, {220, 100}, Qt::MiddleButton, Qt::NoModifier);
    ExpectNear(eye(), {-55, 0, 55}, 1e-3f);
    // 全体を表示 has nothing to frame; a standard view looks along its axes from as far.
    m_view->OnCommand(ID_VIEW_FRAME_ALL);
    ExpectNear(eye(), {-55, 0, 55}, 1e-3f);
    m_view->OnCommand(ID_VIEW_CAMERA_TOP);
    ExpectNear(eye(), {0, 55, 55}, 1e-3f);
    ExpectNear(rm::Normalized(rm::Sub(WorldOf(camera, {0, 0, 1}), eye())), {0, -1, 0}, 1e-5f);
}

}  // namespace
