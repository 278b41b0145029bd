#include "app/HeadlessScene.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/DriveList.h"
#include "core/MainApp.h"
#include "core/SettingsStore.h"
#include "archive/ArchiveMessages.h"
#include "archive/Communicator.h"
#include "archive/NativeFile.h"
#include "archive/VolumeHeader.h"
#include "base/Cp932.h"
#include "platform/win/UserPrompts.h"
#include "render/bitmap/PictureLoading.h"
#include "render/smooth/JointSmoothing.h"
#include "scene/MainDoc.h"
#include "scene/PartsTree.h"
#include "xfile/XFileReader.h"

namespace {

// The only values a scene without windows takes from profile.dat: no session changes them (the
// program never writes them; a person sets them by hand for this machine), and the window's render
// reads them as well, so the render button and the command line still draw a scene alike here.
// Everything a session leaves behind, the display mode, the render size and file, the lens and the
// background switches, would make a render depend on who used the program last: the scene file, the
// render dialog's defaults and the command line decide those.
constexpr std::pair<const char*, const char*> kMachineSettings[] = {
    {"view", "front"},  // the clipping planes
    {"view", "back"},
    {"system", "disable_ddhal"},  // the background picture stretched without the surface blit
};

void KeepMachineSettingsOnly(CSettingsStore& settings) {
    const CSettingsStore loaded = settings;
    settings.Clear();
    for (const auto& [section, key] : kMachineSettings) {
        const auto it = loaded.Values().find(std::string(section) + "/" + key);
        if (it != loaded.Values().end()) settings.SetSettingString(section, key, it->second);
    }
}

}  // namespace

void StageProgress::Print(const std::string& text) {
    // Texts that only count up ("... (40%)") are shown once, by what comes before the number.
    const std::string stage = text.substr(0, text.find_first_of("(0123456789"));
    if (stage.empty() || stage == m_last) return;
    m_last = stage;
    m_out << text << "\n";
}

CHeadlessScene::CHeadlessScene(const std::string& programFolder, std::ostream& progress)
    : m_progress(progress), m_tree(std::make_unique<CPartsTree>()) {
    CMainApp* app = GetApp();
    app->SetProgramFolder(programFolder);
    app->LoadProfile("profile.dat");
    KeepMachineSettingsOnly(app->Settings());
    app->SetDriveList(ReadDriveList(app->GetAppFolder()));
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
    // The camera stands where the scene places it: a new scene's place, or where a file was saved from.
    m_document->SetCameraHook([this](const scene::FramePlacement& c) {
        m_camera->SetPosition(nullptr, c.position[0], c.position[1], c.position[2]);
        m_camera->SetOrientation(nullptr, c.direction[0], c.direction[1], c.direction[2], c.up[0], c.up[1], c.up[2]);
    });
}

CHeadlessScene::~CHeadlessScene() {
    if (m_partFile) {
        if (const rm::Ref<rm::Frame> parent = m_partFile->GetParent()) parent->DeleteChild(m_partFile.Get());
        m_partFile = nullptr;
    }
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

bool CHeadlessScene::AddFigure(const std::string& name) {
    const std::size_t before = m_document->AllParts().size();
    return m_document->AddFigureFromPoseSet(cp932::FromUtf8(name)) && m_document->AllParts().size() > before;
}

bool CHeadlessScene::OpenSceneFile(const std::string& path) { return m_document->OnOpenDocument(path); }

bool CHeadlessScene::LoadPartFile(const std::string& path) {
    const auto bytes = archive::ReadWholeFile(path, archive::kMaxEntrySize);
    if (!bytes) {
        win::MessageBox(nullptr, path, archive::msg::kCannotOpenCaption, win::Buttons::Ok, win::Icon::Error);
        return false;
    }
    rm::Library* library = m_devices.Library3D();
    rm::Ref<rm::Frame> root;
    {
        CXFileReader reader;
        reader.Load(reinterpret_cast<const char*>(bytes->data()), bytes->size(), library, nullptr, &root);
        if (reader.Form() != xfile::XFileForm::Text) {
            win::MessageBox(nullptr, xfile::NotTextFormMessage(reader.Form(), path),
                            xfile::kNotTextFormCaption, win::Buttons::Ok, win::Icon::Error);
            return false;
        }
        // As a part from the archive: the frames take the pose of time 50 of the file's animation.
        if (rm::AnimationSet* animation = reader.GetAnimationSet()) animation->SetTime(50.0f);
    }
    rm::Box box;
    if (!root || root->GetHierarchyBox(&box) != rm::D3DRM_OK) {
        win::MessageBox(nullptr, path + "\nこのファイルにはメッシュがありません。",
                        xfile::kNotTextFormCaption, win::Buttons::Ok, win::Icon::Error);
        return false;
    }

    rm::Frame* charRoot = m_document->GetCharacterRootFrame();
    if (!charRoot) return false;
    m_document->CreateSceneLights();
    charRoot->AddChild(root.Get());
    m_partFile = root;

    // The projection puts a height y at depth z at y * s * front / (field * z) pixels from the
    // middle, s being half the longer side of the picture. The box's top and bottom edges reach
    // farthest on its nearest side, so the field is worked out at that depth.
    const CSettingsStore& settings = GetApp()->Settings();
    const double width = settings.GetSettingInt("render", "width", 640);
    const double height = settings.GetSettingInt("render", "height", 480);
    const double front = settings.GetSettingFloat("view", "front", 10.0f);
    const double back = settings.GetSettingFloat("view", "back", 200.0f);
    const double boxWidth = box.max.x - box.min.x, boxHeight = box.max.y - box.min.y,
                 boxDepth = box.max.z - box.min.z;
    const double extent = std::max({boxWidth, boxHeight, boxDepth, 1e-3});
    // The nearest side of the box stays one extent behind the front plane.
    const double depth = front + boxDepth / 2 + extent;
    const double shown = boxHeight > 0 ? boxHeight : extent;
    const double s = std::max(width, height) / 2;
    if (width > 0 && height > 0 && front > 0) {
        const double nearest = depth - boxDepth / 2;
        const double field = 3 * shown * s * front / (2 * nearest * height);
        GetApp()->SetSettingFloat("view", "field", static_cast<float>(field));
        GetApp()->SetSettingFloat("view", "back",
                                  static_cast<float>(std::max(back, depth + boxDepth / 2 + extent)));
    }
    const float cx = (box.min.x + box.max.x) / 2, cy = (box.min.y + box.max.y) / 2,
                cz = (box.min.z + box.max.z) / 2;
    root->SetOrientation(m_camera.Get(), 0, 0, 1, 0, 1, 0);
    root->SetPosition(m_camera.Get(), -cx, -cy, static_cast<float>(depth) - cz);
    return true;
}

void CHeadlessScene::LookFrom(scene::StandardView view) {
    const CSettingsStore& settings = GetApp()->Settings();
    scene::Projection projection;
    projection.front = settings.GetSettingFloat("view", "front", 10.0f);
    projection.field = settings.GetSettingFloat("view", "field", 1.5f);
    projection.width = settings.GetSettingInt("render", "width", 640);
    projection.height = settings.GetSettingInt("render", "height", 480);
    rm::Vector direction, up;
    scene::StandardViewAxes(view, &direction, &up);
    if (const std::optional<rm::Box> box = m_document->VisiblePartsBox())
        m_document->PlaceCamera(scene::FramedCamera(*box, direction, up, projection));
}

bool CHeadlessScene::CanReadPicture(const std::string& path) const {
    return bitmap::LoadPicture(*m_devices.DirectDraw(), path, 0, 0) != nullptr;
}

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
