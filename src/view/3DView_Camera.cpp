// Looking around the scene: the middle button (or Alt with the left one) turns the edit camera about
// the selection or the visible parts, with Shift it slides the camera under the pointer, the wheel
// moves it toward the point under the pointer; the 視点 commands show the standard views, frame the
// visible parts or the selection, and put the camera back where a new scene has it. Only the camera
// moves, never the scene: renders see through it, the document is told where it stands (it is
// saved with the scene), and none of it is an undo step or a change of the scene.

#include <QAction>
#include <QMouseEvent>
#include <QWheelEvent>

#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/VectorMath.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"

namespace {

// Where a new scene's figure stands ahead of the camera: the pivot when nothing is to be seen.
constexpr double kEmptyScenePivotDistance = 55.0;

rm::Vector BoxCentre(const rm::Box& box) {
    return rm::Scale(rm::Add(box.min, box.max), 0.5f);
}

struct CameraCommand {
    int id;
    scene::StandardView view;  // for the six standard views
    QList<QKeySequence> keys;  // the number row's first: the menu shows it
};

// The number row and the keypad alike; Ctrl looks from the opposite side.
QList<QKeySequence> DigitKeys(Qt::Key digit, Qt::KeyboardModifiers modifiers = {}) {
    return {QKeySequence(modifiers | digit), QKeySequence(modifiers | Qt::KeypadModifier | digit)};
}

const std::vector<CameraCommand>& CameraCommands() {
    static const std::vector<CameraCommand> commands = {
        {ID_VIEW_CAMERA_FRONT, scene::StandardView::Front, DigitKeys(Qt::Key_1)},
        {ID_VIEW_CAMERA_BACK, scene::StandardView::Back, DigitKeys(Qt::Key_1, Qt::ControlModifier)},
        {ID_VIEW_CAMERA_RIGHT, scene::StandardView::Right, DigitKeys(Qt::Key_3)},
        {ID_VIEW_CAMERA_LEFT, scene::StandardView::Left, DigitKeys(Qt::Key_3, Qt::ControlModifier)},
        {ID_VIEW_CAMERA_TOP, scene::StandardView::Top, DigitKeys(Qt::Key_7)},
        {ID_VIEW_CAMERA_BOTTOM, scene::StandardView::Bottom, DigitKeys(Qt::Key_7, Qt::ControlModifier)},
        {ID_VIEW_FRAME_ALL, {}, {QKeySequence(Qt::Key_Home)}},
        {ID_VIEW_FRAME_SELECTED,
         {},
         {QKeySequence(Qt::Key_F), QKeySequence(Qt::KeypadModifier | Qt::Key_Period)}},
        {ID_VIEW_CAMERA_RESET, {}, {}},
    };
    return commands;
}

const CameraCommand* FindCameraCommand(int id) {
    for (const CameraCommand& c : CameraCommands())
        if (c.id == id) return &c;
    return nullptr;
}

bool IsStandardView(int id) {
    return id >= ID_VIEW_CAMERA_FRONT && id <= ID_VIEW_CAMERA_BOTTOM;
}

}  // namespace

scene::FramePlacement C3DView::CameraPlacementNow() const {
    scene::FramePlacement placement;
    if (!m_camera) return placement;
    rm::Vector p, d, u;
    m_camera->GetPosition(nullptr, &p);
    m_camera->GetOrientation(nullptr, &d, &u);
    placement.position[0] = p.x, placement.position[1] = p.y, placement.position[2] = p.z;
    placement.direction[0] = d.x, placement.direction[1] = d.y, placement.direction[2] = d.z;
    placement.up[0] = u.x, placement.up[1] = u.y, placement.up[2] = u.z;
    return placement;
}

nav::Lens C3DView::MainLens() const {
    nav::Lens lens;
    if (!m_mainViewport) return lens;
    lens.front = m_mainViewport->GetFront();
    lens.field = m_mainViewport->GetField();
    lens.x = m_mainViewport->GetX();
    lens.y = m_mainViewport->GetY();
    lens.width = m_mainViewport->GetWidth();
    lens.height = m_mainViewport->GetHeight();
    return lens;
}

scene::Projection C3DView::MainProjection() const {
    const nav::Lens lens = MainLens();
    return {lens.front, lens.field, lens.width, lens.height};
}

namespace {

// The box of the part of the tree's selection; nothing when the selection has no part of its own
// (the character item, a category, the option item, nothing selected).
std::optional<rm::Box> SelectedPartBox(const CMainDoc& document, const CPartsTree* tree) {
    if (!tree) return std::nullopt;
    const CPartObject* part = document.FindPartByItem(tree->GetSelectedItem());
    return part ? CMainDoc::PartBox(*part) : std::nullopt;
}

// The camera looking the way it looks now at the middle of `box`, from where the box fills the
// picture as the standard views frame it.
scene::FramePlacement FramedKeepingDirection(const rm::Box& box, const scene::FramePlacement& now,
                                             const scene::Projection& projection) {
    const rm::Vector direction{now.direction[0], now.direction[1], now.direction[2]};
    const rm::Vector up{now.up[0], now.up[1], now.up[2]};
    return scene::FramedCamera(box, direction, up, projection);
}

}  // namespace

rm::Vector C3DView::NavigationPivot() const {
    const scene::FramePlacement camera = CameraPlacementNow();
    std::optional<rm::Box> box;
    if (m_document) {
        box = SelectedPartBox(*m_document, Tree());
        if (!box) box = m_document->VisiblePartsBox();
    }
    // A turn about a point behind the camera would swing it away from everything in sight.
    if (box && nav::DepthOf(camera, BoxCentre(*box)) > MainLens().front) return BoxCentre(*box);
    return nav::PointAhead(camera, kEmptyScenePivotDistance);
}

C3DView::LookAround C3DView::LookAroundFor(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    // The middle button, or Alt with the left one for touchpads and one-button mice; Shift slides.
    const bool looks =
        button == Qt::MiddleButton || (button == Qt::LeftButton && (modifiers & Qt::AltModifier));
    if (!looks) return LookAround::None;
    return (modifiers & Qt::ShiftModifier) ? LookAround::Pan : LookAround::Orbit;
}

void C3DView::BeginLookAround(LookAround look, Qt::MouseButton button, QPoint point) {
    if (m_dragging || m_buttonDown || m_look != LookAround::None || !m_camera || !m_mainViewport) return;
    m_look = look;
    m_lookButton = button;
    m_lookPress = point;
    m_lookStart = CameraPlacementNow();
    m_lookPivot = NavigationPivot();
    // The point under the pointer at the pivot's depth is what a pan holds under the pointer.
    m_lookGrab = nav::PointUnder(m_lookStart, MainLens(), point.x(), point.y(),
                                 nav::DepthOf(m_lookStart, m_lookPivot));
    m_lookBoxes = false;
    // Moves without the button reach the view only when tracked: they tell of a lost release.
    setMouseTracking(true);
}

void C3DView::LookAroundTo(QPoint point) {
    if (m_look == LookAround::None) return;
    const nav::Lens lens = MainLens();
    const QPoint stroke = point - m_lookPress;
    // Each step is worked out from the press, so a long drag gathers no rounding.
    scene::FramePlacement next = m_lookStart;
    if (m_look == LookAround::Orbit) {
        const double perPixel = nav::TurnPerPixel(lens);
        next = nav::Orbit(m_lookStart, m_lookPivot, stroke.x() * perPixel, stroke.y() * perPixel);
    } else {
        next = nav::Pan(m_lookStart, lens, m_lookGrab, point.x(), point.y());
    }
    // Simple display shows the boxes while the look lasts, as a drag does.
    m_lookBoxes = GetApp()->GetSettingInt("view", "s_mode", 1) == 1;
    MoveCameraTo(next);
}

void C3DView::EndLookAround() {
    if (m_look == LookAround::None) return;
    const bool boxesShown = m_lookBoxes;
    m_look = LookAround::None;
    m_lookButton = Qt::NoButton;
    m_lookBoxes = false;
    if (!m_dragging) setMouseTracking(false);
    // The scene itself again, where the look left the camera.
    if (boxesShown) RequestRedraw();
}

void C3DView::wheelEvent(QWheelEvent* event) {
    event->accept();
    WheelZoom(event->position(), event->angleDelta().y());
}

void C3DView::WheelZoom(QPointF point, int angleDelta) {
    // A drag or a look under way keeps the camera it started with.
    if (angleDelta == 0 || m_dragging || m_buttonDown || m_look != LookAround::None || !m_mainViewport)
        return;
    // Touchpads send small steps: they add up to notches; a turn the other way starts afresh.
    if (m_wheelRemainder != 0 && (m_wheelRemainder > 0) != (angleDelta > 0)) m_wheelRemainder = 0;
    m_wheelRemainder += angleDelta;
    const int notches = m_wheelRemainder / nav::kWheelNotch;
    if (notches == 0) return;
    m_wheelRemainder -= notches * nav::kWheelNotch;
    MoveCameraTo(nav::Zoom(CameraPlacementNow(), MainLens(), NavigationPivot(), point.x(), point.y(), notches,
                           m_mainViewport->GetBack()));
}

void C3DView::MoveCameraTo(const scene::FramePlacement& placement) {
    PlaceCamera(placement);
    // The document keeps the camera's place for Save; that is no change of the scene.
    if (m_document) m_document->NoteCameraPlacement(CameraPlacementNow());
    RequestRedraw();
}

void C3DView::RequestRedraw() {
    // One drawing for however many steps arrive before it.
    if (m_redrawPosted) return;
    m_redrawPosted = win::PostMessage(this, win::WM_REFRESH);
}

bool C3DView::RunCameraCommand(int id) {
    const CameraCommand* command = FindCameraCommand(id);
    if (!command) return false;
    // A drag or a look under way keeps the camera it started with.
    if (m_dragging || m_buttonDown || m_look != LookAround::None) return true;
    if (IsStandardView(id))
        ShowStandardView(command->view);
    else if (id == ID_VIEW_FRAME_ALL)
        FrameVisibleParts();
    else if (id == ID_VIEW_FRAME_SELECTED)
        FrameSelectedPart();
    else if (id == ID_VIEW_CAMERA_RESET)
        MoveCameraTo(scene::StandardCamera());
    return true;
}

void C3DView::ShowStandardView(scene::StandardView view) {
    rm::Vector direction, up;
    scene::StandardViewAxes(view, &direction, &up);
    if (const std::optional<rm::Box> box = m_document ? m_document->VisiblePartsBox() : std::nullopt) {
        MoveCameraTo(scene::FramedCamera(*box, direction, up, MainProjection()));
        return;
    }
    // Nothing to frame: the camera looks along the view's axes at the point it looked at.
    const scene::FramePlacement now = CameraPlacementNow();
    const rm::Vector pivot = NavigationPivot();
    const float distance = float(nav::DepthOf(now, pivot));
    scene::FramePlacement placed;
    const rm::Vector eye = rm::Sub(pivot, rm::Scale(direction, distance));
    placed.position[0] = eye.x, placed.position[1] = eye.y, placed.position[2] = eye.z;
    placed.direction[0] = direction.x, placed.direction[1] = direction.y, placed.direction[2] = direction.z;
    placed.up[0] = up.x, placed.up[1] = up.y, placed.up[2] = up.z;
    MoveCameraTo(placed);
}

void C3DView::FrameVisibleParts() {
    if (const std::optional<rm::Box> box = m_document ? m_document->VisiblePartsBox() : std::nullopt)
        MoveCameraTo(FramedKeepingDirection(*box, CameraPlacementNow(), MainProjection()));
}

void C3DView::FrameSelectedPart() {
    // A selection without a part of its own frames everything there is to see.
    if (const std::optional<rm::Box> box = m_document ? SelectedPartBox(*m_document, Tree()) : std::nullopt)
        MoveCameraTo(FramedKeepingDirection(*box, CameraPlacementNow(), MainProjection()));
    else
        FrameVisibleParts();
}

QList<QKeySequence> C3DView::CameraCommandKeys(int id) {
    const CameraCommand* command = FindCameraCommand(id);
    return command ? command->keys : QList<QKeySequence>{};
}

void C3DView::CreateCameraActions() {
    // The keys work while the edit view has the focus: the tree, the collection (Home, End and the
    // arrows) and text fields keep theirs. The 視点 menu runs the same commands from anywhere.
    for (const CameraCommand& command : CameraCommands()) {
        if (command.keys.isEmpty()) continue;
        auto* action = new QAction(this);
        action->setShortcuts(command.keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, id = command.id] { RunCameraCommand(id); });
        addAction(action);
    }
}
