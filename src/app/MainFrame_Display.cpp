// The main frame's display commands: display mode, axis constraint, the display toggles (simple
// display, render-size display, the floor grid), the check marks and help.

#include <QAction>

#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "scene/MainDoc.h"

void CMainFrame::SetDisplayMode(int mode) {
    if (GetApp()->GetSettingInt("dev", "mode", 2) == mode) return;
    GetApp()->SetSettingInt("dev", "mode", mode);
    RefreshToolbar();
    win::PostMessage(GetApp()->m_p3DView, win::WM_SETTINGS_CHANGED);
}

void CMainFrame::SetPlaneMove() {
    GetApp()->EditMode = EDIT_MOVE;
    GetApp()->AxisConstraint = AXIS_FREE;
    RefreshToolbar();
}

void CMainFrame::SetAxisConstraint(int axis) {
    GetApp()->AxisConstraint = axis;
    RefreshToolbar();
}

void CMainFrame::ToggleSetting(const char* section, const char* key, int defaultValue) {
    const int value = GetApp()->GetSettingInt(section, key, defaultValue);
    GetApp()->SetSettingInt(section, key, value != 0 ? 0 : 1);
    RefreshToolbar();
    win::PostMessage(GetApp()->m_p3DView, win::WM_SETTINGS_CHANGED);
}

void CMainFrame::ToggleSimpleDisplay() { ToggleSetting("view", "s_mode", 1); }

void CMainFrame::ToggleRenderSizeDisplay() { ToggleSetting("view", "mask", 0); }

void CMainFrame::ToggleFloorGrid() { ToggleSetting("view", "grid", 1); }

void CMainFrame::RefreshToolbar() {
    const CMainApp& app = *GetApp();
    const int mode = app.GetSettingInt("dev", "mode", 2);
    const struct {
        int id;
        bool checked;
    } states[] = {
        {ID_VIEW_WIREFRAME, mode == 0},
        {ID_VIEW_FLAT, mode == 1},
        {ID_VIEW_GOURAUD, mode == 2},
        {ID_VIEW_POINTS, mode == 4},
        {ID_VIEW_RENDER_SIZE, app.GetSettingInt("view", "mask", 0) != 0},
        {ID_VIEW_SIMPLE, app.GetSettingInt("view", "s_mode", 1) != 0},
        {ID_VIEW_FLOOR_GRID, app.GetSettingInt("view", "grid", 1) != 0},
        {ID_EDIT_X, app.AxisConstraint == AXIS_X},
        {ID_EDIT_Y, app.AxisConstraint == AXIS_Y},
        {ID_EDIT_Z, app.AxisConstraint == AXIS_Z},
        // Free editing is the plane move: under rotate or IK the free axis is that mode's own.
        {ID_EDIT_FREE, app.EditMode == EDIT_MOVE && app.AxisConstraint == AXIS_FREE},
        {ID_EDIT_IK, app.EditMode == EDIT_IK},
        {ID_EDIT_ROTATE_MODE, app.EditMode == EDIT_ROTATE},
    };
    for (const auto& s : states)
        if (QAction* action = Action(s.id)) action->setChecked(s.checked);
    // No more figures than a scene holds.
    if (QAction* add = Action(ID_VIEW_ADD_FIGURE)) {
        const CMainDoc* doc = app.m_pDocument;
        add->setEnabled(m_handlers.count(ID_VIEW_ADD_FIGURE) != 0 &&
                        (!doc || doc->Figures().size() < std::size_t(scene::kMaxFigures)));
    }
}

void CMainFrame::ShowHelp() { ::ShowHelp(this, GetApp()->GetAppFolder(), m_htmlLauncher); }
