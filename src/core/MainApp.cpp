#include "core/MainApp.h"

#include <QSettings>
#include <iostream>

#include "archive/ArchiveContext.h"
#include "archive/Communicator.h"
#include "core/AppFolders.h"
#include "core/UserFolders.h"
#include "platform/win/SingleInstance.h"
#include "platform/win/TerminationSignals.h"
#include "platform/win/UserPrompts.h"

CMainApp::CMainApp() : m_archive(std::make_unique<CCommunicator>()) {}
CMainApp::~CMainApp() = default;

void CMainApp::ResetState() {
    m_pMainWnd = nullptr;
    m_p3DView = nullptr;
    m_pMainView = nullptr;
    m_pDocument = nullptr;
    m_pPartsTree = nullptr;
    m_pCollectionWnd = nullptr;
    m_pMaterialDlg = nullptr;
    m_pLightDlg = nullptr;
    m_pCameraDlg = nullptr;
    m_pTreeModel = nullptr;
    m_lpfRoot = nullptr;
    m_lpfCurrent = nullptr;
    m_lpfCharRoot = nullptr;
    m_lpDD = nullptr;
    m_lpD3DRM = nullptr;
    m_lpRenderTarget = nullptr;
    m_icons.clear();
    EditMode = EDIT_MOVE;
    AxisConstraint = AXIS_FREE;
}

void CMainApp::OpenArchive(std::function<std::unique_ptr<ProgressSink>()> makeBuildProgress) {
    ArchiveContext context;
    context.appFolder = GetAppFolder();
    context.setupPath = GetSetupPath();
    context.makeBuildProgress = std::move(makeBuildProgress);
    // An archive with no usable volume simply finds no files; start-up goes on.
    m_archive->Open(VolumeListFor(GetAppFolder()), GetDriveList(), kCompressionFilter, context);
}

void CMainApp::SetProgramFolder(const std::string& folder) {
    m_programFolder = folder;
    m_appFolder = ApplicationDataFolder(folder);
}

bool CMainApp::LoadProfile(const std::string& name) {
    const ProfilePlace place = ChooseProfilePlace(m_appFolder, m_programFolder, ConfigFolder(), name);
    if (place.readFolder.empty()) {
        m_settings.Clear();
        return false;
    }
    return m_settings.LoadProfile(place.readFolder, name);
}

std::string CMainApp::ProfileWritePath(const std::string& name) const {
    return ChooseProfilePlace(m_appFolder, m_programFolder, ConfigFolder(), name).writeFolder + name;
}

bool CMainApp::SaveProfile(const std::string& name) const {
    const std::string folder = ChooseProfilePlace(m_appFolder, m_programFolder, ConfigFolder(), name).writeFolder;
    // The user's folder may not exist yet; when it cannot be made, the save below fails and says so.
    if (folder != m_appFolder) MakeUserFolder(folder);
    return m_settings.SaveProfile(folder, name);
}

bool CMainApp::SaveProfileOrReport(const std::string& name) {
    if (SaveProfile(name)) return true;
    if (m_profileFailureReported) return false;
    m_profileFailureReported = true;
    const std::string path = ProfileWritePath(name);
    std::cerr << "marisole: the settings could not be saved to " << path << "\n";
    if (m_bEndingUnattended) return false;
    win::MessageBox(nullptr, "設定を保存できませんでした。\n" + path + "\n今回変えた設定は次の起動に引き継がれません。",
                    "Marisole", win::Buttons::Ok, win::Icon::Warning);
    return false;
}

std::string CMainApp::GetSetupPath() const {
    QSettings registry(QStringLiteral("Halvern"), QStringLiteral("Marisole"));
    return registry.value(QStringLiteral("setup/setup-path"), QStringLiteral("?")).toString().toStdString();
}

CMainApp* GetApp() {
    static CMainApp app;
    return &app;
}
