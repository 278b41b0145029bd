// The reset of the scene, the asset path rule and the preparation of a new tree.

#include <sys/stat.h>

#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "platform/win/WindowMessages.h"
#include "scene/CameraViews.h"
#include "scene/MainDoc.h"
#include "scene/SceneTexts.h"

namespace {

bool IsFile(const std::string& name) {
    struct stat st {};
    return !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

rm::Ref<rm::Frame> NamedFrame(rm::Library* library, rm::Frame* parent, const char* name) {
    rm::Ref<rm::Frame> frame = library->CreateFrame(parent);
    if (frame) frame->SetName(name);
    return frame;
}

}  // namespace

void CMainDoc::ClearSceneState() {
    m_optionItem = 0;
    while (!m_topLevelParts.empty()) {
        std::unique_ptr<CPartObject> part = std::move(m_topLevelParts.back());
        m_topLevelParts.pop_back();
        part.reset();
    }
    m_folderMap.clear();
    m_partMap.clear();
    m_flagsMap.clear();
    m_allParts.clear();
}

void CMainDoc::Publish() {
    CMainApp* app = GetApp();
    app->m_lpfRoot = m_lpfRoot.Get();
    app->m_lpfCurrent = m_lpfCurrent.Get();
    app->m_lpfCharRoot = GetCharacterRootFrame();
    app->m_pDocument = this;
}

void CMainDoc::ResetScene() {
    // Nothing of the old scene may be undone into the new one, and no drag outlives its frames.
    if (m_sceneReset) m_sceneReset();
    ClearSceneState();

    CMainApp* app = GetApp();
    app->SetSettingInt("view", "mask", 0);
    app->SetSettingString("render", "eye_L", "eye_01a.bmp");
    app->SetSettingString("render", "eye_R", "eye_01a.bmp");
    app->SetSettingString("render", "bg", "");
    app->SetSettingInt("bg", "edit", 0);
    app->SetSettingInt("bg", "render", 0);
    for (const char* key : {"eye_L", "eye_R", "bg"})
        app->SetSettingString("render", key, ResolveAssetPath(app->GetSettingString("render", key, "")));

    if (m_toolbarRefresh) m_toolbarRefresh();

    m_extraObjects.clear();
    m_figures.clear();
    m_lpfOption = nullptr;
    m_lpfScene = nullptr;
    if (m_lpfRoot)
        if (rm::Frame* parent = m_lpfRoot->Parent()) parent->DeleteChild(m_lpfRoot.Get());
    m_lpfRoot = nullptr;
    m_lpfCurrent = nullptr;

    if (rm::Library* library = app->m_lpD3DRM) {
        m_lpfRoot = NamedFrame(library, nullptr, "m_lpfRoot_ByMainDoc");
        m_lpfScene = NamedFrame(library, m_lpfRoot.Get(), "m_lpfScene_ByMainDoc");
        // The scene starts with figure 1, without parts, ahead of the camera. The props hang on
        // the option frame, which stands where the figure does but belongs to the scene: moving a
        // figure leaves them.
        AddFigure(1);
        m_lpfOption = NamedFrame(library, m_lpfScene.Get(), "m_lpfOption_ByMainDoc");
        m_lpfOption->SetPosition(nullptr, 0, 0, kFigureDistance);
    }
    m_lpfCurrent = m_lpfScene;
    Publish();
    PlaceCamera(scene::StandardCamera());
}

void CMainDoc::PlaceCamera(const scene::FramePlacement& placement) {
    m_camera = placement;
    if (m_cameraHook) m_cameraHook(m_camera);
}

void CMainDoc::ReleaseAllParts() {
    if (m_sceneReset) m_sceneReset();
    ClearSceneState();
    m_extraObjects.clear();
    m_figures.clear();
    m_lpfOption = nullptr;
    m_lpfScene = nullptr;
    m_lpfCurrent = nullptr;
    m_lpfRoot = nullptr;
    CMainApp* app = GetApp();
    if (app->m_pDocument == this) {
        app->m_lpfRoot = nullptr;
        app->m_lpfCurrent = nullptr;
        app->m_lpfCharRoot = nullptr;
    }
}

std::string CMainDoc::ResolveAssetPath(const std::string& path) const {
    if (path.empty()) return {};
    if (IsFile(path)) return path;
    // The file name and extension, with the folder dropped (either separator).
    const std::size_t slash = path.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.rfind('.');
    const std::string name = dot == std::string::npos ? file : file.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : file.substr(dot);
    const std::string data = GetApp()->GetAppFolder();
    const std::string setup = GetApp()->GetSetupPath();
    const std::string candidates[] = {
        data + name + ext,
        data + "TEXTURE/" + name + ext,
        data + "BACKGROUND/" + name + ext,
        data + "IMAGE/" + name + ext,
        setup + "/" + name + ext,
        setup + "/TEXTURE/" + name + ext,
        setup + "/BACKGROUND/" + name + ext,
        setup + "/IMAGE/" + name + ext,
    };
    for (const std::string& candidate : candidates)
        if (IsFile(candidate)) return candidate;
    return {};
}

void CMainDoc::PrepareTree() {
    CPartsTree* tree = Tree();
    scene::Figure* first = m_figures.empty() ? nullptr : m_figures.front().get();
    if (tree && first && first->item == 0) {
        tree->DeleteAllItems();
        tree->SetItemHeight(16);
        tree->SetImageListAttached(true);
        first->item = tree->InsertItem(scene::FigureLabel(first->number), 6, 6, TVI_ROOT);
        tree->SetCheck(first->item, true);
        win::SendMessage(GetApp()->m_pMainView, win::WM_SELECT_TREE_ITEM, first->item);
    }
    const std::string pending = GetApp()->GetPendingSceneFile();
    if (!pending.empty()) {
        GetApp()->SetPendingSceneFile("");
        OnOpenDocument(pending);
    }
}
