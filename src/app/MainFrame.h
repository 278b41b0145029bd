#pragma once
// The main frame: the application's single top-level window with its menu, toolbar and status
// bar. It handles the application-wide display commands (display mode, axis constraint, simple
// display, render-size display, help) and hosts the main view. Commands whose work belongs to
// other windows (render, smoothing, applying the collection, the document's file commands) are
// bound by those windows with SetCommandHandler; until then they are disabled.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "app/HelpPage.h"
#include "app/RecentFileList.h"
#include "platform/rm/DeviceObjects.h"
#include "platform/win/WindowMessages.h"

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

class CMainFrame final : public win::CMessageWindow<QMainWindow> {
public:
    CMainFrame();
    ~CMainFrame() override;

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

    // Display commands.
    void SetDisplayMode(int mode);
    void RefreshToolbar();
    void ToggleSimpleDisplay();
    void ToggleRenderSizeDisplay();
    // The edit view's floor grid (setting view/grid, on unless set to 0).
    void ToggleFloorGrid();
    void ShowHelp();

    // Binds a command to its handler and enables it; an empty handler disables it again.
    void SetCommandHandler(int commandId, std::function<void()> handler);
    // Runs a command as the menu or toolbar would (false when it has no handler or is disabled).
    bool RunCommand(int commandId);
    QAction* Action(int commandId) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    QToolButton* ToolButton(int commandId) const;

    // Opening a file from the recent-file list or a desktop drop goes through this handler, which
    // answers whether the file opened: a recent file that does not open leaves the list after the
    // document has said why.
    using OpenFileHandler = std::function<bool(const QString&)>;
    void SetOpenFileHandler(OpenFileHandler handler);
    CRecentFileList& RecentFiles() { return m_recentFiles; }
    // Both keep the per-user settings and the File menu in step with the list.
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);

    // The shared library objects exist from the frame's creation to its destruction.
    const rm::DeviceObjects& Devices() const { return m_devices; }

    // Title of the frame for the document title: "<document> - Ovalith".
    void UpdateTitle(const std::string& documentTitle);

    // The help launcher (tests replace the desktop's).
    void SetHtmlLauncher(HtmlLauncher launcher) { m_htmlLauncher = std::move(launcher); }

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void RecentFilesChanged();
    void RebuildRecentFileMenu();
    void OpenRecentFile(const QString& path);
    QAction* AddCommand(int id, const QString& text, const char* prompt);
    void OnCommand(int id);
    void OnDestroy();

    // Free editing: the plane move, out of rotate and IK.
    void SetPlaneMove();
    // An axis lock for the current edit mode.
    void SetAxisConstraint(int axis);
    void ToggleSetting(const char* section, const char* key, int defaultValue);
    void Render();

    rm::DeviceObjects m_devices;
    std::map<int, QAction*> m_actions;
    std::map<int, std::function<void()>> m_handlers;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    CRecentFileList m_recentFiles;
    OpenFileHandler m_openFile;
    HtmlLauncher m_htmlLauncher;
    bool m_splashShown = false;
    bool m_destroyed = false;
};
