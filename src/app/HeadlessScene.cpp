#include "app/HeadlessScene.h"

#include "core/DriveList.h"
#include "core/MainApp.h"
#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "render/smooth/JointSmoothing.h"
#include "scene/MainDoc.h"
#include "scene/PartsTree.h"

void StageProgress::Print(const std::string& text) {
    // Texts that only count up ("... (40%)") are shown once, by what comes before the number.
    const std::string stage = text.substr(0, text.find_first_of("(0123456789"));
    if (stage.empty() || stage == m_last) return;
    m_last = stage;
    m_out << text << "\n";
}

CHeadlessScene::CHeadlessScene(const std::string& appFolder, std::ostream& progress)
    : m_progress(progress), m_tree(std::make_unique<CPartsTree>()) {
    CMainApp* app = GetApp();
    app->SetAppFolder(appFolder);
    app->LoadProfile("profile.dat");
    app->SetDriveList(ReadDriveList(appFolder));
    app->OpenArchive();

    m_devices.Create(nullptr);
    app->m_lpDD = m_devices.DirectDraw();
    app->m_lpD3DRM = m_devices.Library3D();
    app->m_pTreeModel = m_tree.get();

    m_document = std::make_unique<CMainDoc>();
    m_document->SetProgressFactory(
        [this]() -> std::unique_ptr<ProgressSink> { return std::make_unique<StageProgress>(m_progress); });
    m_document->OnNewDocument();
    m_document->PrepareTree();

    m_viewRoot = m_devices.Library3D()->CreateFrame(nullptr);
    m_camera = m_devices.Library3D()->CreateFrame(m_viewRoot.Get());
}

CHeadlessScene::~CHeadlessScene() {
    m_document->ReleaseAllParts();
    m_document.reset();
    m_camera = nullptr;
    m_viewRoot = nullptr;
    CMainApp* app = GetApp();
    app->m_pTreeModel = nullptr;
    app->m_lpDD = nullptr;
    app->m_lpD3DRM = nullptr;
    app->GetArchive().Close();
}

bool CHeadlessScene::LoadPoseSet(const std::string& name) {
    m_document->LoadPoseSet(cp932::FromUtf8(name));
    return !m_document->AllParts().empty();
}

bool CHeadlessScene::OpenSceneFile(const std::string& path) { return m_document->OnOpenDocument(path); }

void CHeadlessScene::SmoothJoints() {
    StageProgress progress(m_progress);
    ::SmoothJoints(m_document->FindFramesByGeneralName(cp932::FromUtf8("肌")), kJointThreshold, progress, {});
}

RenderRequest CHeadlessScene::MakeRenderRequest(ProgressSink* progress) {
    RenderRequest request;
    request.directDraw = m_devices.DirectDraw();
    request.library = m_devices.Library3D();
    request.camera = m_camera.Get();
    request.viewRoot = m_viewRoot.Get();
    request.sceneRoot = m_document->GetRootFrame();
    request.settings = &GetApp()->Settings();
    request.documentTitle = m_document->GetTitle();
    request.progress = progress;
    return request;
}
