#include "view/3DView.h"

#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/MainApp.h"
#include "platform/rm/DeviceTable.h"
#include "platform/rm/Library.h"
#include "platform/rm/qt/WidgetWindow.h"
#include "platform/surface/DeviceContext.h"
#include "render/bitmap/PictureLoading.h"
#include "scene/CameraViews.h"
#include "scene/MainDoc.h"
#include "view/FloorGrid.h"
#include "view/PartUndoRecords.h"
#include "view/ScreenClip.h"
#include "view/WaitCursor.h"

namespace {

// The process's device table, filled at the first device creation and kept.
rm::DeviceTable& Devices() {
    static rm::DeviceTable table;
    return table;
}

// Device quality of the display mode setting in the edit view.
std::uint32_t EditQuality(int mode) {
    switch (mode) {
        case 0: return rm::D3DRMRENDER_WIREFRAME;
        case 1: return rm::D3DRMRENDER_FLAT;
        case 3: return rm::D3DRMRENDER_PHONG;
        case 4: return 0;  // points, lights off
        default: return rm::D3DRMRENDER_GOURAUD;
    }
}

constexpr std::int32_t kMinClientSide = 64;
constexpr std::uint32_t kGreyColor = 0x606060;

}  // namespace

bool C3DView::HasDeviceNamed(std::string_view text) { return Devices().FindDevice(text) >= 0; }

C3DView::C3DView(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("3DView"));
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_window = std::make_unique<rm::WidgetWindow>(this, [this] { DrawView(); });
    CreateActions();
    Initialise();
}

C3DView::~C3DView() {
    if (m_dragging) EndDrag();
    UnwatchTree();
    DetachDocument();
    // Viewport objects, device objects, the view root, the proxy, the camera, the clipper.
    ReleaseViewportObjects();
    ReleaseDeviceObjects();
    m_viewRoot = nullptr;
    m_lpfBoundingBox = nullptr;
    m_camera = nullptr;
    m_clipper = nullptr;
    m_history.Clear();
    if (GetApp()->m_p3DView == this) GetApp()->m_p3DView = nullptr;
}

bool C3DView::OnWindowMessage(std::uint32_t message, win::WPARAM, win::LPARAM, win::LRESULT* result) {
    *result = 0;
    switch (message) {
        case win::WM_SETTINGS_CHANGED:
            CreateRenderDevice();
            CreateViewports();
            PostRefresh();
            return true;
        case win::WM_REFRESH:
            // The view's own request after the camera moved, or a refresh when no main view relays
            // it (a view on its own).
            m_redrawPosted = false;
            DrawView();
            return true;
        default: return false;
    }
}

void C3DView::Initialise() {
    CMainApp* app = GetApp();
    m_frontLimit = app->GetSettingFloat("view", "f_limit", 15.0f);
    m_backLimit = app->GetSettingFloat("view", "b_limit", 100.0f);
    app->m_p3DView = this;
    AttachDocument(app->m_pDocument);
    WatchTree();

    m_clipper = surface::Clipper::Create();
    m_clipper->SetHWnd(0, m_window.get());
    if (rm::Library* library = app->m_lpD3DRM) {
        m_viewRoot = library->CreateFrame(nullptr);
        m_camera = library->CreateFrame(m_viewRoot.Get());
    }
    m_initialised = true;
    CreateRenderDevice();
    CreateViewports();
}

void C3DView::DetachDocument() {
    // Only a document that still lives (the one the application publishes) is told.
    if (m_document && GetApp()->m_pDocument == m_document) {
        m_document->SetForgetFrame({});
        m_document->SetSceneResetHook({});
        m_document->SetPartDeletedHook({});
        m_document->SetMeshReplacedHook({});
        m_document->SetCameraHook({});
        m_document->SetFigureHook({});
    }
    m_document = nullptr;
}

void C3DView::AttachDocument(CMainDoc* document) {
    if (m_document != document) DetachDocument();
    m_document = document;
    if (!m_document) return;
    m_document->SetForgetFrame([this](rm::Frame* frame) { ForgetFrame(frame); });
    m_document->SetSceneResetHook([this] { ResetHistory(); });
    // The document places the camera for a new scene, a pose set and a file.
    m_document->SetCameraHook([this](const scene::FramePlacement& placement) {
        EndLookAround();
        PlaceCamera(placement);
        PostRefresh();
    });
    // A deleted part and a swapped mesh are steps of the history.
    m_document->SetPartDeletedHook([this](scene::PartSnapshot snapshot) {
        UndoStep step;
        step.push_back(PartPresenceRecord::Present(std::move(snapshot)));
        m_history.Push(std::move(step));
    });
    // A figure added, removed or given another pose set, likewise.
    m_document->SetFigureHook([this](int number, std::optional<scene::FigureSnapshot> before) {
        UndoStep step;
        step.push_back(before ? FigureRecord::Present(std::move(*before)) : FigureRecord::Absent(number));
        m_history.Push(std::move(step));
    });
    m_document->SetMeshReplacedHook([this](CPartObject& part, scene::PartMesh before) {
        if (!part.GetFrame()) return;
        UndoStep step;
        step.push_back(std::make_unique<PartMeshRecord>(part.GetFrame()->GetName(), std::move(before)));
        m_history.Push(std::move(step));
    });
}

void C3DView::ReleaseViewportObjects() {
    m_editBackground = nullptr;
    m_fullViewport = nullptr;
    m_mainViewport = nullptr;
}

void C3DView::ReleaseDeviceObjects() {
    if (GetApp()->m_lpRenderTarget == m_renderTarget.Get()) GetApp()->m_lpRenderTarget = nullptr;
    m_renderTarget = nullptr;
    m_device = nullptr;
}

void C3DView::CreateRenderDevice() {
    CMainApp* app = GetApp();
    rm::Library* library = app->m_lpD3DRM;
    if (!m_initialised || !library) return;
    const int w = width(), h = height();
    if (w < kMinClientSide || h < kMinClientSide) return;

    ReleaseViewportObjects();
    ReleaseDeviceObjects();
    rm::DeviceTable& devices = Devices();
    if (devices.Empty()) devices.Fill(*library);

    auto create = [&](int index) -> rm::Ref<rm::Device> {
        if (index < 0 || std::size_t(index) >= devices.Count()) return nullptr;
        return library->CreateDeviceFromClipper(m_clipper.Get(), &devices.Entry(index).guid, w, h);
    };
    if (app->GetSettingInt("system", "disable_d3dhal", 0) == 0) m_device = create(devices.FindDevice("HAL"));
    if (!m_device) m_device = create(devices.FindDevice("RGB E"));
    if (!m_device) m_device = create(0);
    if (!m_device) return;

    m_device->SetQuality(EditQuality(app->GetSettingInt("dev", "mode", 2)));
    m_device->SetTextureQuality(rm::D3DRMTEXTURE_MIPLINEAR);
    m_device->SetShades(256);
    m_device->SetRenderMode(rm::D3DRMRENDERMODE_BLENDEDTRANSPARENCY | rm::D3DRMRENDERMODE_SORTEDTRANSPARENCY);
    m_renderTarget = m_device->GetRenderTarget();
    app->m_lpRenderTarget = m_renderTarget.Get();
    m_greyPixel = MatchColor(m_renderTarget.Get(), kGreyColor);
}

std::uint32_t C3DView::MatchColor(surface::Surface* target, std::uint32_t colorRef) {
    if (!target) return 0xFFFFFFFFu;
    std::uint32_t remembered = surface::CLR_INVALID;
    if (colorRef != surface::CLR_INVALID) {
        if (surface::DeviceContext* dc = target->GetDC()) {
            remembered = dc->GetPixel(0, 0);
            dc->SetPixel(0, 0, colorRef);
            target->ReleaseDC(dc);
        }
    }
    std::uint32_t value = 0xFFFFFFFFu;
    surface::SurfaceDesc desc;
    std::uint32_t locked;
    while ((locked = target->Lock(nullptr, &desc)) == surface::DDERR_WASSTILLDRAWING) {
    }
    if (surface::Succeeded(locked)) {
        const std::uint32_t bits = desc.format.bitCount;
        value = 0;
        std::memcpy(&value, desc.surface, std::min<std::uint32_t>(4, (bits + 7) / 8));
        if (bits < 32) value &= (1u << bits) - 1;
        target->Unlock();
    }
    if (remembered != surface::CLR_INVALID) {
        if (surface::DeviceContext* dc = target->GetDC()) {
            dc->SetPixel(0, 0, remembered);
            target->ReleaseDC(dc);
        }
    }
    return value;
}

void C3DView::CreateViewports() {
    CMainApp* app = GetApp();
    rm::Library* library = app->m_lpD3DRM;
    if (!m_initialised || !m_device || !library) return;
    const int W = width(), H = height();
    if (W < kMinClientSide || H < kMinClientSide) return;
    // The largest 4:3 rectangle centred in the client area.
    int rw, rh;
    if (double(W) / double(H) >= 1.3333333333333333) {
        rw = int(H * 4.0 / 3.0);
        rh = H;
    } else {
        rw = W;
        rh = int(W * 0.75);
    }
    m_renderRect.left = (W - rw) / 2;
    m_renderRect.top = (H - rh) / 2;
    m_renderRect.right = m_renderRect.left + rw;
    m_renderRect.bottom = m_renderRect.top + rh;

    ReleaseViewportObjects();
    // The device keeps its size until the next resize reaches it; never ask for more than it has.
    const int dw = int(m_device->GetWidth()), dh = int(m_device->GetHeight());
    if (app->GetSettingInt("view", "mask", 0) != 0 && m_renderRect.right <= dw && m_renderRect.bottom <= dh) {
        m_mainViewport = library->CreateViewport(m_device.Get(), m_camera.Get(), m_renderRect.left,
                                                 m_renderRect.top, rw, rh);
        m_fullViewport = library->CreateViewport(m_device.Get(), m_camera.Get(), 0, 0, dw, dh);
        const std::string background = app->GetSettingString("render", "bg", "");
        if (!background.empty() && app->GetSettingInt("bg", "edit", 0) == 1 && app->m_lpDD) {
            CWaitCursor wait;
            m_editBackground = bitmap::LoadPicture(*app->m_lpDD, background, rw, rh);
        }
    } else {
        m_mainViewport = library->CreateViewport(m_device.Get(), m_camera.Get(), 0, 0, dw, dh);
    }
    if (!m_mainViewport) return;
    m_mainViewport->SetPlanes(app->GetSettingFloat("view", "front", 10.0f), app->GetSettingFloat("view", "back", 200.0f));
    m_mainViewport->SetField(app->GetSettingFloat("view", "field", 1.5f));
    m_mainViewport->SetBackgroundColor(kGreyColor);

    m_viewRoot->SetPosition(nullptr, 0, 0, 0);
    m_viewRoot->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);
    // The camera stays where the person looks from (kept with the scene).
    PlaceCamera(m_document ? m_document->CameraPlacement() : scene::StandardCamera());
}

void C3DView::PlaceCamera(const scene::FramePlacement& placement) {
    if (!m_camera) return;
    const auto& [p, d, u] = placement;
    m_camera->SetPosition(nullptr, p[0], p[1], p[2]);
    m_camera->SetOrientation(nullptr, d[0], d[1], d[2], u[0], u[1], u[2]);
}

void C3DView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CreateRenderDevice();
    CreateViewports();
    // The window shows the new size at once, never a stretched or cut old frame.
    if (isVisible()) DrawView();
}

QImage C3DView::ShownFrame() const { return m_window->LastFrame(); }

void C3DView::RenderHierarchy(rm::Frame* hierarchy) {
    m_viewRoot->AddChild(hierarchy);
    m_mainViewport->Render(m_viewRoot.Get());
    m_viewRoot->DeleteChild(hierarchy);
}

void C3DView::DrawView() {
    CMainApp* app = GetApp();
    if (!m_initialised || !m_mainViewport || !app->m_lpfRoot) return;
    m_mainViewport->ForceUpdate(0, 0, m_mainViewport->GetWidth(), m_mainViewport->GetHeight());
    // Boxes are plain lines: the depth buffer is left for the next full drawing, which clears it.
    m_mainViewport->Clear(ShowsBoxesOnly() ? rm::D3DRMCLEAR_TARGET : rm::D3DRMCLEAR_ALL);
    if (m_fullViewport) {
        m_fullViewport->ForceUpdate(0, 0, m_fullViewport->GetWidth(), m_fullViewport->GetHeight());
        const surface::Rect all{0, 0, std::int32_t(m_device->GetWidth()), std::int32_t(m_device->GetHeight())};
        m_renderTarget->Blt(&all, nullptr, nullptr, surface::DDBLT_COLORFILL | surface::DDBLT_WAIT, 0);
        m_renderTarget->Blt(&m_renderRect, nullptr, nullptr, surface::DDBLT_COLORFILL | surface::DDBLT_WAIT,
                            m_greyPixel);
        if (m_editBackground)
            m_renderTarget->Blt(&m_renderRect, m_editBackground.Get(), nullptr, surface::DDBLT_WAIT);
    }
    if (ShowsBoxesOnly()) {
        // Boxes are the quick picture of a drag or a look: the floor waits for the full one.
        DrawBoxes();
    } else {
        // The floor lies under the scene, which is drawn over it.
        if (app->GetSettingInt("view", "grid", 1) != 0) DrawFloorGrid();
        CWaitCursor wait(app->GetSettingInt("view", "s_mode", 1) != 0);
        // A scene-wide drag draws the pivot, which carries the scene.
        RenderHierarchy(m_pivot ? m_pivot.Get() : app->m_lpfRoot);
    }
    m_device->Update();
}

void C3DView::DrawFloorGrid() {
    std::optional<rm::Box> shown;
    rm::Vector standPoint{0, 0, 0};
    if (m_document) {
        shown = m_document->VisiblePartsBox();
        if (const rm::Frame* figure = m_document->GetCharacterRootFrame()) {
            const rm::Vector origin{0, 0, 0};
            figure->Transform(&standPoint, &origin);
        }
    }
    const std::vector<GridStroke> strokes =
        FloorGridStrokes(FloorGrid::Under(shown, standPoint), *m_mainViewport, kGreyColor);
    if (strokes.empty()) return;
    surface::DeviceContext* dc = m_renderTarget->GetDC();
    if (!dc) return;
    DrawGridStrokes(*dc, strokes);
    m_renderTarget->ReleaseDC(dc);
}

void C3DView::DrawBoxes() {
    surface::DeviceContext* dc = m_renderTarget->GetDC();
    if (!dc) return;
    m_boxesShown = true;
    const surface::Pen thin{surface::PS_SOLID, 0, 0x0080FF00};   // RGB(0, 255, 128)
    const surface::Pen thick{surface::PS_SOLID, 2, 0x0000FFFF};  // RGB(255, 255, 0)
    const surface::Pen previous = dc->SelectPen(thin);
    if (m_document)
        for (CPartObject* part : m_document->AllParts()) {
            if (!part->IsVisible() || !part->GetFrame()) continue;
            const auto& b = part->m_box;
            DrawBox(*dc, rm::Box{{b[0], b[1], b[2]}, {b[3], b[4], b[5]}}, *part->GetFrame());
        }
    dc->SelectPen(thick);
    if (m_lpfBoundingBox) DrawBox(*dc, m_targetBox, *m_lpfBoundingBox);
    dc->SelectPen(previous);

    // Black strips outside the main viewport (render-size display only).
    const std::int32_t x = m_mainViewport->GetX(), y = m_mainViewport->GetY();
    const std::int32_t vw = std::int32_t(m_mainViewport->GetWidth()), vh = std::int32_t(m_mainViewport->GetHeight());
    const std::int32_t dw = std::int32_t(m_device->GetWidth()), dh = std::int32_t(m_device->GetHeight());
    if (y > 0) {
        dc->FillRect({0, 0, dw, y}, 0);
        dc->FillRect({0, y + vh, dw, dh}, 0);
    }
    if (x > 0) {
        dc->FillRect({0, 0, x, dh}, 0);
        dc->FillRect({x + vw, 0, dw, dh}, 0);
    }
    m_renderTarget->ReleaseDC(dc);
}

void C3DView::DrawBox(surface::DeviceContext& dc, const rm::Box& box, const rm::Frame& frame) {
    const float x0 = box.min.x, y0 = box.min.y, z0 = box.min.z;
    const float x1 = box.max.x, y1 = box.max.y, z1 = box.max.z;
    const rm::Vector corners[8] = {{x1, y1, z1}, {x0, y1, z1}, {x0, y0, z1}, {x1, y0, z1},
                                   {x1, y1, z0}, {x0, y1, z0}, {x0, y0, z0}, {x1, y0, z0}};
    // Corners at or behind the camera plane have no place on the screen: their edges are skipped,
    // so nothing is mirrored across the view.
    constexpr float kMinW = 1e-3f;
    double sx[8], sy[8];
    bool inFront[8];
    for (int i = 0; i < 8; ++i) {
        rm::Vector world;
        rm::Vector4 s{};
        frame.Transform(&world, &corners[i]);
        inFront[i] = m_mainViewport->Transform(&s, &world) == rm::D3DRM_OK && s.w > kMinW;
        sx[i] = inFront[i] ? double(s.x) / s.w : 0;
        sy[i] = inFront[i] ? double(s.y) / s.w : 0;
    }
    static const int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                      {6, 7}, {7, 4}, {1, 5}, {2, 6}, {3, 7}, {0, 4}};
    // Lines are cut a little outside the device, so no huge value is turned into an integer.
    const double margin = 16;
    const double hiX = m_device->GetWidth() + margin, hiY = m_device->GetHeight() + margin;
    for (const auto& e : kEdges) {
        if (!inFront[e[0]] || !inFront[e[1]]) continue;
        double ax = sx[e[0]], ay = sy[e[0]], bx = sx[e[1]], by = sy[e[1]];
        if (!ClipSegment(ax, ay, bx, by, -margin, -margin, hiX, hiY)) continue;
        dc.MoveTo(std::int32_t(ax), std::int32_t(ay));
        dc.LineTo(std::int32_t(bx), std::int32_t(by));
    }
}

CPartsTree* C3DView::Tree() const { return GetApp()->m_pTreeModel; }

void C3DView::WatchTree() {
    CPartsTree* tree = Tree();
    if (tree == m_watchedTree) return;
    UnwatchTree();
    if (!tree) return;
    m_watchedTree = tree;
    // A change of selection during a drag ends the drag: the target belonged to the old selection.
    m_treeListener = tree->AddListener([this](CPartsTree::Change change, HTREEITEM) {
        if (change == CPartsTree::Change::Selected && m_dragging) EndDrag();
    });
}

void C3DView::UnwatchTree() {
    if (m_watchedTree && GetApp()->m_pTreeModel == m_watchedTree) m_watchedTree->RemoveListener(m_treeListener);
    m_watchedTree = nullptr;
    m_treeListener = 0;
}

void C3DView::PostRefresh() {
    QObject* mainView = GetApp()->m_pMainView;
    win::PostMessage(mainView ? mainView : this, win::WM_REFRESH);
}

void C3DView::RefreshToolbar() {
    if (m_toolbarRefresh) m_toolbarRefresh();
}
