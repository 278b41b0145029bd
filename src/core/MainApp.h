#pragma once
// The application object: the one hub every subsystem reaches through GetApp(). It owns the
// settings store, the archive set and the icon list, and keeps non-owning references to the
// document, the windows and the library objects, which their owners set and clear.
//
// This header only forward-declares what it points at, so including it never drags a higher layer
// in. Start-up and shut-down (InitInstance, ExitInstance) are defined by the application layer.

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/SettingsStore.h"
#include "base/Progress.h"

class QObject;
class QWidget;
class CMainDoc;
class CCommunicator;
class CPartsTree;
namespace win {
class SingleInstance;
class TerminationSignals;
}
namespace rm {
class Library;
class Frame;
}
namespace surface {
class DirectDraw;
class Surface;
}

// Editing state of the edit view's mouse manipulation.
// EDIT_IK drags the end of a limb and bends the limb after it (a move for any other part).
enum EditModeValue : std::int32_t { EDIT_MOVE = 0, EDIT_ROTATE = 1, EDIT_IK = 2 };
enum AxisConstraintValue : std::int32_t { AXIS_X = 0, AXIS_Y = 1, AXIS_Z = 2, AXIS_FREE = 3 };

class CMainApp {
public:
    CMainApp();
    ~CMainApp();
    CMainApp(const CMainApp&) = delete;
    CMainApp& operator=(const CMainApp&) = delete;

    // Start-up and shut-down (application layer). `arguments` is the command line, program first.
    bool InitInstance(const QStringList& arguments);
    int ExitInstance();

    // Settings store.
    CSettingsStore& Settings() { return m_settings; }
    std::string GetSettingString(std::string_view s, std::string_view k, std::string_view d) const {
        return m_settings.GetSettingString(s, k, d);
    }
    std::int32_t GetSettingInt(std::string_view s, std::string_view k, std::int32_t d) const {
        return m_settings.GetSettingInt(s, k, d);
    }
    float GetSettingFloat(std::string_view s, std::string_view k, float d) const {
        return m_settings.GetSettingFloat(s, k, d);
    }
    void SetSettingString(std::string_view s, std::string_view k, std::string_view v) {
        m_settings.SetSettingString(s, k, v);
    }
    void SetSettingInt(std::string_view s, std::string_view k, std::int32_t v) { m_settings.SetSettingInt(s, k, v); }
    void SetSettingFloat(std::string_view s, std::string_view k, float v) { m_settings.SetSettingFloat(s, k, v); }
    // profile.dat's place follows ChooseProfilePlace (core/AppFolders.h): beside the program when
    // that is the application folder and writable, otherwise the user's configuration folder, whose
    // file, until it exists, is seeded by the application folder's.
    bool LoadProfile(const std::string& name);
    // Writes the store to its place (making the user's folder when it is there). The path it goes to
    // is ProfileWritePath(name).
    bool SaveProfile(const std::string& name) const;
    std::string ProfileWritePath(const std::string& name) const;
    // SaveProfile, and when it fails a message naming the file, once in the process: a line on the
    // error stream and, unless the program is ending unattended, a message box through the prompt seam.
    bool SaveProfileOrReport(const std::string& name);
    // Set by whoever ends the program without a person at it (the signal of a logout or a terminal's
    // Ctrl+C): the exit then shows nothing that waits for an answer.
    bool m_bEndingUnattended = false;

    // Application folder (where the data, the help page and drive.dat are, ending in "/"). Set on its
    // own, it is also the program's folder.
    std::string GetAppFolder() const { return m_appFolder; }
    void SetAppFolder(const std::string& folder) {
        m_appFolder = folder;
        m_programFolder = folder;
    }
    // The program's own folder (the executable and the viewer "im", ending in "/"). Setting it sets
    // the application folder to ApplicationDataFolder of it: the same folder in a build, the
    // share/marisole folder of an installation.
    std::string GetProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const std::string& folder);

    // Scene file named on the command line; "" when none or already opened.
    std::string GetPendingSceneFile() const { return m_pendingSceneFile; }
    void SetPendingSceneFile(const std::string& path) { m_pendingSceneFile = path; }

    // The data archive set, open from start-up to shut-down.
    CCommunicator& GetArchive() { return *m_archive; }

    // Archive fallback list read from drive.dat.
    std::string GetDriveList() const { return m_driveList; }
    void SetDriveList(const std::string& list) { m_driveList = list; }

    // The installation folder value "setup"/"setup-path" of the per-user settings ("?" when unset).
    std::string GetSetupPath() const;

    // Windows and the document (non-owning; set by their owners).
    QWidget* m_pMainWnd = nullptr;
    QObject* m_p3DView = nullptr;
    QObject* m_pMainView = nullptr;
    CMainDoc* m_pDocument = nullptr;
    QObject* m_pPartsTree = nullptr;
    QObject* m_pCollectionWnd = nullptr;
    QObject* m_pMaterialDlg = nullptr;
    QObject* m_pLightDlg = nullptr;
    QObject* m_pCameraDlg = nullptr;
    // The scene tree model, registered by whoever hosts the tree (the main view, the batch renderer).
    CPartsTree* m_pTreeModel = nullptr;

    // The document's frames (non-owning; the document publishes them at every reset): the root
    // frame, the current frame and the character root frame "frm-_root".
    rm::Frame* m_lpfRoot = nullptr;
    rm::Frame* m_lpfCurrent = nullptr;
    rm::Frame* m_lpfCharRoot = nullptr;

    // The shared library objects, owned by the main frame (null before it exists and after it is
    // destroyed).
    surface::DirectDraw* m_lpDD = nullptr;
    rm::Library* m_lpD3DRM = nullptr;
    // The edit view's render target, published each time its device is made (null without one).
    surface::Surface* m_lpRenderTarget = nullptr;

    // Editing state.
    std::int32_t EditMode = EDIT_MOVE;
    std::int32_t AxisConstraint = AXIS_FREE;

    // Shared 16-pixel icons of the tree views (indexes fixed by the callers).
    const QList<QIcon>& GetIconList() const { return m_icons; }
    void SetIconList(QList<QIcon> icons) { m_icons = std::move(icons); }

    // Start-up's splash flag (false when started for automation or with --no-splash).
    bool m_bShowSplash = true;
    // Folder of the single-instance lock; empty: the user's runtime folder.
    QString m_instanceLockFolder;

    // Clears every window and frame reference and the editing state, as at start-up.
    void ResetState();

    // Single-instance guard, held from start-up to the end of the process.
    std::unique_ptr<win::SingleInstance> m_instanceGuard;
    // SIGTERM and SIGINT, from start-up to shut-down: they end the event loop as an unattended exit.
    std::unique_ptr<win::TerminationSignals> m_terminationSignals;

    // Opens the archive set: both volumes in the application folder, with the fallback list of
    // drive.dat. `makeBuildProgress` shows the progress of the builder started with SHIFT at a
    // volume error (none: that build shows no progress).
    void OpenArchive(std::function<std::unique_ptr<ProgressSink>()> makeBuildProgress = {});

private:

    CSettingsStore m_settings;
    std::string m_appFolder;
    std::string m_programFolder;
    bool m_profileFailureReported = false;
    std::string m_pendingSceneFile;
    std::string m_driveList;
    QList<QIcon> m_icons;
    std::unique_ptr<CCommunicator> m_archive;
};

// The application object; never null.
CMainApp* GetApp();
