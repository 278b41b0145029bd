// Start-up and shut-down of the application object.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>

#include "app/AppIcon.h"
#include "app/Artwork.h"
#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "app/PoseCommands.h"
#include "app/ProgressWindow.h"
#include "app/SceneRecovery.h"
#include "app/ViewCommands.h"
#include "archive/Communicator.h"
#include "core/CommandLine.h"
#include "core/DriveList.h"
#include "core/MainApp.h"
#include "core/UserFolders.h"
#include "library/MainView.h"
#include "platform/win/SingleInstance.h"
#include "platform/win/TerminationSignals.h"
#include "platform/win/UserPrompts.h"
#include "scene/MainDoc.h"

namespace {

// The name of the single-instance object.
const QString kInstanceName = QStringLiteral("5A1C3E72-0B9D-4F16-A2E4-7D90C3B51E08");

// The document and the frame bound by the single-document template; they live from start-up to
// shut-down.
std::unique_ptr<CMainDoc> g_document;
std::unique_ptr<CMainFrame> g_frame;
// The recovery copy of the document's unsaved changes, kept by the run that holds the instance lock.
std::unique_ptr<CSceneRecovery> g_recovery;

unsigned MillisecondsSinceBoot() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

QString InstanceLockFolder(const CMainApp& app) {
    if (!app.m_instanceLockFolder.isEmpty()) return app.m_instanceLockFolder;
    // The user's runtime folder when the session has one (asking Qt for it otherwise warns).
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) return QDir::tempPath();
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QIcon ApplicationWindowIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(artwork::ApplicationIcon(size)));
    return icon;
}

}  // namespace

bool CMainApp::InitInstance(const QStringList& arguments) {
    std::srand(MillisecondsSinceBoot());
    QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
    QCoreApplication::setApplicationName(QStringLiteral("Marisole"));
    // The desktop entry's name, so a session matches the windows to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.halvern.Marisole"));
    QGuiApplication::setWindowIcon(ApplicationWindowIcon());

    m_instanceGuard = std::make_unique<win::SingleInstance>(InstanceLockFolder(*this), kInstanceName);
    switch (m_instanceGuard->Acquire()) {
        case win::SingleInstance::Result::Acquired: break;
        case win::SingleInstance::Result::AlreadyRunning: m_instanceGuard.reset(); return false;
        case win::SingleInstance::Result::Failed:
            m_instanceGuard.reset();
            win::MessageBox(nullptr, "Error:[CreateMutex]", "Error");
            return false;
    }

    // A logout's SIGTERM or a terminal's Ctrl+C ends the program as the exit command does, with no
    // question and nothing that waits for a person: every event loop ends (a dialog's too) and
    // ExitInstance saves. Not quit(), which first asks the windows to close: the main window would
    // ask about unsaved changes, and no one is there to answer.
    m_terminationSignals.reset();  // one at a time: a start after a start without an exit takes over
    m_terminationSignals = std::make_unique<win::TerminationSignals>([this](int) {
        m_bEndingUnattended = true;
        QCoreApplication::exit(0);
    });

    const CommandLine commandLine = ParseCommandLine(arguments);
    m_bShowSplash = commandLine.showSplash;
    SetProgramFolder(AppFolderFromProgramPath(arguments.value(0), QCoreApplication::applicationDirPath()));
    LoadProfile("profile.dat");
    ResetState();
    SetDriveList(ReadDriveList(GetAppFolder()));
    // The builder started with SHIFT at a volume error shows its progress over the main window.
    OpenArchive([]() -> std::unique_ptr<ProgressSink> {
        auto progress = std::make_unique<CProgressWindow>();
        progress->Open(GetApp()->m_pMainWnd);
        return progress;
    });
    SetIconList(artwork::CreateIconList());

    // The single-document template: document, frame and view.
    g_document = std::make_unique<CMainDoc>();
    g_frame = std::make_unique<CMainFrame>();
    auto* mainView = new CMainView(g_frame.get());
    g_frame->setCentralWidget(mainView);
    m_archive->SetMessageOwner(g_frame.get());
    BindDocumentCommands(*g_frame, *g_document);
    BindViewCommands(*g_frame, *mainView->EditView(), *g_document);
    BindMainViewCommands(*g_frame, *mainView);
    BindPoseCommands(*g_frame, *mainView->EditView(), *g_document);
    g_recovery = std::make_unique<CSceneRecovery>(*g_document, DataFolder());
    g_recovery->SetFailureReport([](const std::string& text) {
        std::cerr << "marisole: " << text << "\n";
        g_frame->statusBar()->showMessage(QString::fromStdString(text));
    });

    if (!g_document->OnNewDocument()) return false;
    mainView->OnInitialUpdate();
    g_frame->UpdateTitle(g_document->GetTitle());
    g_frame->showNormal();
    g_frame->repaint();
    // The scene of the command line opens once the window is up, through the file command (so it
    // joins the recent files); a later New gives an empty scene. Changes an earlier run left unsaved
    // are offered after it, so that a restored scene is not replaced unasked.
    QTimer::singleShot(0, g_frame.get(), [sceneFile = commandLine.sceneFile, poseSet = commandLine.poseSet] {
        OpenStartupScene(*g_frame, *g_document, sceneFile, poseSet);
        OfferLeftRecovery(*g_frame, *g_document, *g_recovery);
    });
    return true;
}

int CMainApp::ExitInstance() {
    // A clean exit has settled the unsaved changes with the person; an unattended one keeps them.
    if (g_recovery) {
        if (m_bEndingUnattended)
            g_recovery->WriteBeforeUnattendedEnd();
        else
            g_recovery->Discard();
        g_recovery.reset();
    }
    g_frame.reset();
    g_document.reset();
    SaveProfileOrReport("profile.dat");
    m_archive->Close();
    m_icons.clear();
    m_instanceGuard.reset();
    m_terminationSignals.reset();
    return 0;
}
