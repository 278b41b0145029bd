#include "core/MainApp.h"

#include <QSettings>

#include "archive/ArchiveContext.h"
#include "archive/Communicator.h"
#include "platform/win/SingleInstance.h"

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

std::string CMainApp::GetSetupPath() const {
    QSettings registry(QStringLiteral("Halvern"), QStringLiteral("Marisole"));
    return registry.value(QStringLiteral("setup/setup-path"), QStringLiteral("?")).toString().toStdString();
}

CMainApp* GetApp() {
    static CMainApp app;
    return &app;
}
