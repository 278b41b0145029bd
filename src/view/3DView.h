#pragma once
// The edit view: the window in which the scene is shown while it is composed. It owns everything
// that draws into it: a device bound to the window through a clipper, one or two viewports, the
// edit camera and a view root of its own under which the document's scene hangs for each drawing.
// It draws on demand only (paint, refresh requests, its own commands), never in a loop.
//
// The mouse manipulation with its undo history and the right-button menu live beside it:
//   3DView.cpp         window, device, viewports, drawing
//   3DView_Drag.cpp    the drag (move, Z move, rotate, IK), the pivot of a scene-wide drag, centring
//   3DView_Commands.cpp  undo and redo, the editing commands and the right-button menu
//   3DView_Mirror.cpp  mirror posing (one side onto the other, or the sides swapped)
//   3DView_Camera.cpp  looking around: orbit, pan and zoom of the edit camera, the standard views
//                      and framing, with their keys
// The floor grid drawn under the scene is FloorGrid.{h,cpp}.

#include <QImage>
#include <QKeySequence>
#include <QList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/rm/Device.h"
#include "platform/rm/Frame.h"
#include "platform/rm/Viewport.h"
#include "platform/surface/Clipper.h"
#include "platform/surface/Surface.h"
#include "platform/win/WindowMessages.h"
#include "scene/CameraViews.h"
#include "scene/SceneFile.h"
#include "view/CameraNavigation.h"
#include "view/LimbChain.h"
#include "view/UndoHistory.h"

class CMainDoc;
class CPartObject;
class CPartsTree;
class QAction;
class QMenu;
namespace surface {
class DeviceContext;
}
namespace rm {
class WidgetWindow;
}

// Commands of the edit view (the right-button menu and the keyboard).
enum EditViewCommand : int {
    ID_EDIT_PLANE_MOVE = 32771,  // "平面移動"
    ID_EDIT_Z_MOVE = 32772,      // "ズーム"
    ID_EDIT_ROTATE = 32773,      // "回転"
    ID_SELECT_CAMERA = 32790,    // "カメラを選択"
    ID_EDIT_CENTRE = 32791,      // "センタリング"
    ID_EDIT_DELETE = 32792,      // "削除"
    ID_EDIT_UNDO = 32793,        // "取り消し"
    ID_EDIT_REDO = 32795,        // "やり直し"
};

class C3DView final : public win::CMessageWindow<QWidget> {
  public:
    explicit C3DView(QWidget* parent);
    ~C3DView() override;

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

    // --- Window, device and drawing (3DView.cpp) ---
    void Initialise();
    void CreateRenderDevice();
    void CreateViewports();
    void DrawView();
    // The pixel value of a COLORREF in the surface's format; -1 (all bits) when it cannot be read.
    static std::uint32_t MatchColor(surface::Surface* target, std::uint32_t colorRef);
    // Whether the process's device table (filled at the first device creation) has a device whose
    // name contains `text` (the camera page asks for "HAL").
    static bool HasDeviceNamed(std::string_view text);

    rm::Frame* CameraFrame() const { return m_camera.Get(); }
    // Puts the camera at a placement in the view's root (the scene's coordinates).
    void PlaceCamera(const scene::FramePlacement& placement);
    // Where the camera stands now in the view's root.
    scene::FramePlacement CameraPlacementNow() const;
    rm::Frame* ViewRootFrame() const { return m_viewRoot.Get(); }
    rm::Viewport* MainViewport() const { return m_mainViewport.Get(); }
    rm::Viewport* FullViewport() const { return m_fullViewport.Get(); }
    rm::Device* RenderDevice() const { return m_device.Get(); }
    const surface::Rect& RenderRect() const { return m_renderRect; }
    std::uint32_t GreyPixel() const { return m_greyPixel; }
    // What the window shows now (the last frame the device presented).
    QImage ShownFrame() const;

    // --- The document and the main frame ---
    // Takes the document's hooks (forget a deleted frame, a reset of the scene).
    void AttachDocument(CMainDoc* document);
    void DetachDocument();
    CMainDoc* Document() const { return m_document; }
    // The main frame's refresh of its toolbar check marks (after the editing commands).
    void SetToolbarRefresh(std::function<void()> refresh) { m_toolbarRefresh = std::move(refresh); }

    // --- Manipulation (3DView_Drag.cpp) ---
    void ButtonDown(QPoint point);
    void DragStep(QPoint point);
    void ButtonUp(QPoint point);
    // Ends a drag that was not ended by a release, as a release at the last point.
    void EndDrag();
    bool IsDragging() const { return m_dragging; }
    void Centre();
    // The limb an IK drag bends (none outside an IK drag, or when the target ends no limb).
    const LimbChain* DraggedLimb() const { return m_limb ? &*m_limb : nullptr; }
    rm::Frame* PivotFrame() const { return m_pivot.Get(); }
    rm::Frame* BoundingBoxProxy() const { return m_lpfBoundingBox.Get(); }
    float FrontLimit() const { return m_frontLimit; }
    float BackLimit() const { return m_backLimit; }

    // --- Undo, redo and commands (3DView_Commands.cpp) ---
    void CaptureUndo(rm::Frame* frame);
    void CommitUndo();
    void UndoLast();
    void RedoLast();
    void ForgetFrame(rm::Frame* frame);
    // Mirror posing of the selected figure part and the parts below it, as one undo step
    // (3DView_Mirror.cpp); false when nothing was changed.
    bool MirrorSelectedPart(bool swapSides);
    // Whether the selection has a part with a partner on the other side.
    bool CanMirrorSelectedPart() const;
    // Empties the history, the redo list and the pending record, and ends any drag (scene reset).
    void ResetHistory();
    CUndoHistory& History() { return m_history; }
    void OnCommand(int id);
    // The right-button menu with its items enabled as they apply now.
    std::unique_ptr<QMenu> CreateContextMenu();
    // Shows the menu at a screen point and runs the chosen command (tests replace the showing).
    void SetMenuRunner(std::function<QAction*(QMenu&, QPoint)> runner) { m_menuRunner = std::move(runner); }

    // --- Looking around (3DView_Camera.cpp) ---
    // Runs a camera command of the 視点 menu (the standard views, framing, the camera put back);
    // false for another id. Looking around is no change of the scene and no undo step: the
    // document is only told where the camera stands.
    bool RunCameraCommand(int id);
    // The keys of a camera command (the number row's first); none for another id.
    static QList<QKeySequence> CameraCommandKeys(int id);
    void ShowStandardView(scene::StandardView view);
    // Frames every visible part, or the selected part, keeping the direction the camera looks in.
    void FrameVisibleParts();
    void FrameSelectedPart();
    // The point orbits turn about and zooms keep their depth at: the middle of the selected part's
    // box, else of every visible part, else (nothing ahead of the camera) a point ahead on its axis.
    rm::Vector NavigationPivot() const;
    // Turning or sliding the camera with a drag (none while no such drag is under way).
    enum class LookAround { None, Orbit, Pan };
    LookAround LookingAround() const { return m_look; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void ReleaseViewportObjects();
    void ReleaseDeviceObjects();
    // The floor grid on the cleared picture (setting view/grid), under the scene or the boxes.
    void DrawFloorGrid();
    void DrawBoxes();
    void DrawBox(surface::DeviceContext& dc, const rm::Box& box, const rm::Frame& frame);
    void RenderHierarchy(rm::Frame* hierarchy);
    CPartsTree* Tree() const;
    // The figure part of the tree's selection (the figure's root part for the character item).
    CPartObject* SelectedFigurePart() const;
    void WatchTree();
    void UnwatchTree();
    void PostRefresh();
    void RefreshToolbar();
    // Drag helpers.
    void MoveStep(int dx, int dy);
    void RotateStep(int dx, int dy);
    void LimbStep(int dx, int dy);
    // A point moved by a drag step the way a moved frame's origin would be (screen plane at its
    // depth, or along the view axis under the Z lock); false when it cannot be moved from here.
    bool MovedPoint(const rm::Vector& world, int dx, int dy, rm::Vector* moved) const;
    void BeginLimbDrag(rm::Frame& target);
    void HangSceneUnderPivot(rm::Frame* scene);
    void PutSceneBack();
    void MakeBoundingBoxProxy();
    void CreateActions();
    void CreateCameraActions();
    // Looking-around helpers (3DView_Camera.cpp).
    static LookAround LookAroundFor(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void BeginLookAround(LookAround look, Qt::MouseButton button, QPoint point);
    void LookAroundTo(QPoint point);
    void EndLookAround();
    // One wheel event of `angleDelta` (120 a notch; smaller touchpad steps add up) at a point.
    void WheelZoom(QPointF point, int angleDelta);
    nav::Lens MainLens() const;
    scene::Projection MainProjection() const;
    // Puts the camera there, tells the document and asks for a drawing.
    void MoveCameraTo(const scene::FramePlacement& placement);
    void RequestRedraw();
    // Boxes instead of the scene: a drag or a look around in simple display.
    bool ShowsBoxesOnly() const { return m_lpfBoundingBox || m_lookBoxes; }
    void ExecContextMenu(QMenu& menu, QPoint globalPoint);

    std::unique_ptr<rm::WidgetWindow> m_window;
    CUndoHistory m_history;
    bool m_initialised = false;
    surface::Rect m_renderRect;
    std::uint32_t m_greyPixel = 0x606060;
    rm::Ref<rm::Frame> m_camera;
    rm::Ref<rm::Frame> m_viewRoot;
    rm::Ref<rm::Frame> m_lpfBoundingBox;
    rm::Ref<rm::Viewport> m_mainViewport;
    rm::Ref<rm::Viewport> m_fullViewport;
    rm::Ref<rm::Device> m_device;
    rm::Ref<surface::Clipper> m_clipper;
    rm::Ref<surface::Surface> m_renderTarget;
    rm::Ref<surface::Surface> m_editBackground;

    // Drag state.
    rm::Ref<rm::Frame> m_pivot;
    rm::Ref<rm::Frame> m_pivotChild;        // the frame hung under the pivot
    rm::Ref<rm::Frame> m_pivotChildParent;  // where it came from
    rm::Box m_targetBox{};
    rm::Ref<rm::Frame> m_dragTarget;
    std::optional<LimbChain> m_limb;  // the limb of an IK drag
    rm::Vector m_limbGoal{};          // where the limb's end is being drawn to (world)
    bool m_dragging = false;
    bool m_buttonDown = false;
    bool m_moved = false;
    bool m_boxesShown = false;  // boxes were drawn since the press
    QPoint m_lastPoint;
    QPoint m_pressPoint;
    float m_frontLimit = 15.0f;
    float m_backLimit = 100.0f;

    // Looking around: the drag's kind and button, the press with the camera and pivot it found.
    LookAround m_look = LookAround::None;
    Qt::MouseButton m_lookButton = Qt::NoButton;
    QPoint m_lookPress;
    scene::FramePlacement m_lookStart;
    rm::Vector m_lookPivot{};
    rm::Vector m_lookGrab{};  // a pan's point under the pointer at the press (the pivot's depth)
    bool m_lookBoxes = false;    // simple display shows boxes while the look lasts
    int m_wheelRemainder = 0;    // angle delta short of a notch
    bool m_redrawPosted = false;

    CMainDoc* m_document = nullptr;
    CPartsTree* m_watchedTree = nullptr;
    int m_treeListener = 0;
    std::function<void()> m_toolbarRefresh;
    std::function<QAction*(QMenu&, QPoint)> m_menuRunner;
};
