// The drag: moving or turning the frame of the tree's selection with the left button. Each mouse
// move is one step sized by the pixels moved since the last one. Moves follow the pointer at the
// target's depth; turns are about axes of the camera, with a step angle that saturates. An IK drag
// moves a goal point the way a move would move the end of a limb, and bends the limb to reach it.

#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "platform/rm/VectorMath.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/FramePlacement.h"

namespace {

// Screen points with w at or below this lie at or behind the camera plane: no step is taken there.
constexpr float kMinW = 1e-4f;

rm::Vector ToWorld(const rm::Frame& frame, const rm::Vector& local) {
    rm::Vector world = local;
    if (const rm::Frame* parent = frame.Parent()) parent->Transform(&world, &local);
    return world;
}

rm::Vector ToParent(const rm::Frame& frame, const rm::Vector& world) {
    rm::Vector local = world;
    if (const rm::Frame* parent = frame.Parent()) parent->InverseTransform(&local, &world);
    return local;
}

void SetWorldMatrix(rm::Frame& frame, const rm::Matrix4& world) {
    const rm::Frame* parent = frame.Parent();
    frame.AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE,
                       parent ? rm::Multiply(world, rm::Inverse(parent->WorldMatrix())) : world);
}

}  // namespace

void C3DView::mousePressEvent(QMouseEvent* event) {
    // The middle button (or Alt with the left one) looks around; the left button alone edits.
    if (const LookAround look = LookAroundFor(event->button(), event->modifiers()); look != LookAround::None) {
        setFocus(Qt::MouseFocusReason);
        BeginLookAround(look, event->button(), event->position().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || m_look != LookAround::None) return;
    setFocus(Qt::MouseFocusReason);
    ButtonDown(event->position().toPoint());
}

void C3DView::mouseMoveEvent(QMouseEvent* event) {
    if (m_look != LookAround::None) {
        // A move without the button means the release went elsewhere: the look ends where it was.
        if (!(event->buttons() & m_lookButton))
            EndLookAround();
        else
            LookAroundTo(event->position().toPoint());
        return;
    }
    if (!m_dragging) return;
    // A move without the button means the release went elsewhere: the drag ends where it was.
    if (!(event->buttons() & Qt::LeftButton)) {
        EndDrag();
        return;
    }
    const QPoint point = event->position().toPoint();
    if (point == m_pressPoint) return;
    CommitUndo();
    DragStep(point);
    m_moved = true;
}

void C3DView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (m_look != LookAround::None) {
        if (event->button() == m_lookButton) EndLookAround();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        if (m_buttonDown || m_dragging) ButtonUp(point);
    } else if (event->button() == Qt::RightButton && !m_dragging) {
        std::unique_ptr<QMenu> menu = CreateContextMenu();
        ExecContextMenu(*menu, mapToGlobal(point));
    }
}

void C3DView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click looks around again as the first did.
    if (const LookAround look = LookAroundFor(event->button(), event->modifiers()); look != LookAround::None) {
        BeginLookAround(look, event->button(), event->position().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || m_look != LookAround::None) return;
    if (m_buttonDown)
        ButtonUp(event->position().toPoint());
    else
        ButtonDown(event->position().toPoint());
}

void C3DView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    EndDrag();
    EndLookAround();
}

void C3DView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    EndDrag();
    EndLookAround();
}

void C3DView::ButtonDown(QPoint point) {
    if (m_dragging || m_buttonDown) EndDrag();
    m_buttonDown = true;
    m_moved = false;
    m_boxesShown = false;
    m_pressPoint = point;
    m_history.DiscardPending();

    rm::Library* library = GetApp()->m_lpD3DRM;
    if (!m_document || !library || !m_mainViewport) return;
    rm::Ref<rm::Frame> target = m_document->GetEditTarget();
    if (!target) return;
    // For the whole scene this is its placement under the root, which is what undo puts back.
    CaptureUndo(target.Get());
    if (target.Get() == m_document->GetSceneFrame())
        // The whole scene turns about its centre and follows the pointer: it hangs under a pivot
        // for the drag.
        HangSceneUnderPivot(target.Get());
    else
        m_dragTarget = target;
    if (GetApp()->EditMode == EDIT_IK && !m_pivot) BeginLimbDrag(*target);

    m_lastPoint = point;
    m_dragging = true;
    // Moves without the button reach the view only when tracked: they tell of a lost release.
    setMouseTracking(true);
    m_lpfBoundingBox = nullptr;
    if (GetApp()->GetSettingInt("view", "s_mode", 1) == 1) MakeBoundingBoxProxy();
}

void C3DView::BeginLimbDrag(rm::Frame& target) {
    m_limb.reset();
    rm::Library* library = GetApp()->m_lpD3DRM;
    const auto& parts = m_document->AllParts();
    const auto part = std::find_if(parts.begin(), parts.end(), [&](const CPartObject* p) { return p->GetFrame() == &target; });
    if (part == parts.end()) return;
    m_limb = LimbChain::Ending(**part);
    if (!m_limb) return;
    m_limbGoal = m_limb->Joints().end;
    // The drag turns all three parts: one step puts them all back.
    UndoStep step;
    for (rm::Frame* frame : {&m_limb->Upper(), &m_limb->Lower(), &m_limb->End()})
        step.push_back(FramePlacementRecord::Capture(*library, *frame));
    m_history.SetPendingStep(std::move(step));
}

void C3DView::HangSceneUnderPivot(rm::Frame* scene) {
    rm::Library* library = GetApp()->m_lpD3DRM;
    rm::Box box{};
    rm::Vector centre{0, 0, 0};
    if (scene->GetHierarchyBox(&box) == rm::D3DRM_OK)
        centre = {(box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f, (box.min.z + box.max.z) * 0.5f};
    rm::Vector worldCentre;
    scene->Transform(&worldCentre, &centre);
    const rm::Matrix4 sceneWorld = scene->WorldMatrix();

    m_pivot = library->CreateFrame(nullptr);
    m_pivot->SetPosition(nullptr, worldCentre.x, worldCentre.y, worldCentre.z);
    m_pivotChild.Reset(scene);
    m_pivotChildParent = scene->GetParent();
    m_pivot->AddChild(scene);
    SetWorldMatrix(*scene, sceneWorld);
    m_dragTarget = m_pivot;
}

void C3DView::PutSceneBack() {
    if (!m_pivot) return;
    if (m_pivotChild) {
        const rm::Matrix4 world = m_pivotChild->WorldMatrix();
        if (m_pivotChildParent)
            m_pivotChildParent->AddChild(m_pivotChild.Get());
        else
            m_pivot->DeleteChild(m_pivotChild.Get());
        SetWorldMatrix(*m_pivotChild, world);
    }
    m_pivotChild = nullptr;
    m_pivotChildParent = nullptr;
    m_pivot = nullptr;
    if (m_document) m_dragTarget.Reset(m_document->GetSceneFrame());
}

void C3DView::MakeBoundingBoxProxy() {
    static std::int32_t proxyCounter = 0;
    rm::Library* library = GetApp()->m_lpD3DRM;
    m_lpfBoundingBox = library->CreateFrame(nullptr);
    char name[64];
    std::snprintf(name, sizeof name, "m_lpfBoundingBox(%d)_By3DView", proxyCounter++);
    m_lpfBoundingBox->SetName(name);
    // The proxy stands where the target stands in the world (it has no parent of its own).
    m_lpfBoundingBox->AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE, m_dragTarget->WorldMatrix());
    m_dragTarget->GetHierarchyBox(&m_targetBox);
    rm::Box own;
    if (m_dragTarget->GetBox(&own) == rm::D3DRM_OK) m_targetBox = own;
}

void C3DView::DragStep(QPoint point) {
    const int dx = point.x() - m_lastPoint.x();
    const int dy = point.y() - m_lastPoint.y();
    m_lastPoint = point;
    if (!m_dragTarget || !m_mainViewport) return;
    const CMainApp* app = GetApp();
    if (app->EditMode == EDIT_MOVE)
        MoveStep(dx, dy);
    else if (app->EditMode == EDIT_ROTATE)
        RotateStep(dx, dy);
    else if (app->EditMode == EDIT_IK)
        LimbStep(dx, dy);
    if (m_lpfBoundingBox)
        m_lpfBoundingBox->AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE, m_dragTarget->WorldMatrix());
    // Every step is a change: a save in the middle of a drag does not leave the rest of it unsaved,
    // and whoever keeps a copy of the scene sees each step.
    if (m_document) m_document->SetModifiedFlag();
    PostRefresh();
}

bool C3DView::MovedPoint(const rm::Vector& world, int dx, int dy, rm::Vector* moved) const {
    const int axis = GetApp()->AxisConstraint;
    if (axis == AXIS_Z) {
        // Along the camera's view axis: 1/8 unit per pixel, right or down moves away.
        const rm::Matrix4 camera = m_camera->WorldMatrix();
        const rm::Vector eye{camera.m[3][0], camera.m[3][1], camera.m[3][2]};
        const rm::Vector view = rm::Normalized({camera.m[2][0], camera.m[2][1], camera.m[2][2]});
        const float step = float(dx + dy) * 0.125f;
        const float distance = rm::Dot(rm::Sub(world, eye), view);
        float wanted = distance + step;
        // A part may not cross the front or back limit; the whole scene is not held. A point
        // already outside is never pulled back in, only kept from going further out.
        if (!m_pivot) {
            if (step > 0 && wanted > m_backLimit) wanted = std::max(distance, m_backLimit);
            if (step < 0 && wanted < m_frontLimit) wanted = std::min(distance, m_frontLimit);
        }
        *moved = rm::Add(world, rm::Scale(view, wanted - distance));
        return true;
    }
    rm::Vector4 screen{};
    if (m_mainViewport->Transform(&screen, &world) != rm::D3DRM_OK || !(screen.w > kMinW)) return false;
    // Adding the pixel delta times w moves the projected point by that many pixels at its depth.
    if (axis == AXIS_X || axis == AXIS_FREE) screen.x += float(dx) * screen.w;
    if (axis == AXIS_Y || axis == AXIS_FREE) screen.y += float(dy) * screen.w;
    return m_mainViewport->InverseTransform(moved, &screen) == rm::D3DRM_OK;
}

void C3DView::MoveStep(int dx, int dy) {
    rm::Frame& target = *m_dragTarget;
    rm::Vector position;
    target.GetPosition(nullptr, &position);
    // The position is relative to the parent: move the world point, never the local one.
    rm::Vector moved;
    if (!MovedPoint(ToWorld(target, position), dx, dy, &moved)) return;
    const rm::Vector local = ToParent(target, moved);
    target.SetPosition(nullptr, local.x, local.y, local.z);
}

void C3DView::LimbStep(int dx, int dy) {
    // A part that ends no limb is moved.
    if (!m_limb) {
        MoveStep(dx, dy);
        return;
    }
    // The goal moves as the end would under a move; beyond reach the end stops short of it, and
    // following the goal (not the end) brings it back when the pointer returns.
    if (!MovedPoint(m_limbGoal, dx, dy, &m_limbGoal)) return;
    m_limb->Reach(m_limbGoal);
}

void C3DView::RotateStep(int dx, int dy) {
    rm::Frame& target = *m_dragTarget;
    const int axis = GetApp()->AxisConstraint;
    double rx = 0, ry = 0;
    if (axis == AXIS_X || axis == AXIS_FREE) rx = dx;
    if (axis == AXIS_Y || axis == AXIS_FREE) ry = dy * -1.0;
    if (axis == AXIS_Z) rx = dx - dy;
    const double len = std::sqrt(rx * rx + ry * ry);
    const double h = std::sqrt(len * len + 2500.0);
    if (len == 0 || h == 0) return;
    // The step angle is 0.5 * len / h: about len / 100 radians for short strokes, never above 0.5.
    if (axis == AXIS_Z)
        target.SetRotation(m_camera.Get(), 0, 0, rx < 0 ? -1.0f : 1.0f, float(len / h));
    else
        target.SetRotation(m_camera.Get(), float(ry / len), float(-rx / len), 0, float(len / h));
    target.Move(0.5f);
    target.SetRotation(nullptr, 0, 0, 0, 0);
}

void C3DView::ButtonUp(QPoint point) {
    PutSceneBack();
    m_limb.reset();
    const bool boxesShown = m_boxesShown;
    m_lpfBoundingBox = nullptr;
    m_dragging = false;
    setMouseTracking(false);
    // A capture that was never committed belongs to no change.
    m_history.DiscardPending();
    if (m_moved || boxesShown) PostRefresh();
    m_buttonDown = false;
    m_moved = false;
    m_boxesShown = false;
    m_lastPoint = point;
}

void C3DView::EndDrag() {
    if (!m_dragging && !m_buttonDown) return;
    ButtonUp(m_lastPoint);
}

void C3DView::Centre() {
    if (!m_document || !m_camera) return;
    rm::Ref<rm::Frame> target = m_document->GetEditTarget();
    if (!target) return;
    CaptureUndo(target.Get());
    CommitUndo();
    target->SetPosition(m_camera.Get(), 0, 0, 100.0f);
    target->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);
    DrawView();
}
