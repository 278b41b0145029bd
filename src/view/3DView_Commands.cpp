// Undo and redo, the editing commands of the edit view and its right-button menu.

#include <QAction>
#include <QMenu>

#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "scene/DefinitionText.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/FramePlacement.h"
#include "view/WaitCursor.h"

namespace {

struct MenuItem {
    int id;  // 0: a separator
    const char* text;
};

const MenuItem kMenuItems[] = {
    {ID_EDIT_PLANE_MOVE, "平面移動"},
    {ID_EDIT_Z_MOVE, "ズーム"},
    {ID_EDIT_ROTATE, "回転"},
    {ID_EDIT_IK, "IK"},
    {0, nullptr},
    {ID_SELECT_CAMERA, "カメラを選択"},
    {ID_EDIT_CENTRE, "センタリング"},
    {ID_EDIT_DELETE, "削除"},
    {0, nullptr},
    {ID_EDIT_MIRROR, "左右反転コピー"},
    {ID_EDIT_SWAP_SIDES, "左右入れ替え"},
    {0, nullptr},
    {ID_EDIT_UNDO, "取り消し"},
    {ID_EDIT_REDO, "やり直し"},
};

}  // namespace

void C3DView::CreateActions() {
    // Undo and redo from the keyboard wherever the focus is in the main window.
    auto add = [this](int id, QList<QKeySequence> keys) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        addAction(action);
    };
    add(ID_EDIT_UNDO, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    add(ID_EDIT_REDO, {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    CreateCameraActions();
}

void C3DView::CaptureUndo(rm::Frame* frame) {
    m_history.DiscardPending();
    rm::Library* library = GetApp()->m_lpD3DRM;
    if (!frame || !library) return;
    // The option frame has nothing to undo while no option part hangs on it.
    if (m_document && frame == m_document->GetOptionFrame()) {
        const CPartsTree* tree = Tree();
        const HTREEITEM option = m_document->GetOptionItem();
        if (!tree || option == 0 || !tree->ItemHasChildren(option)) return;
    }
    m_history.SetPending(FramePlacementRecord::Capture(*library, *frame));
}

void C3DView::CommitUndo() { m_history.CommitPending(); }

void C3DView::UndoLast() { m_history.Undo(); }

void C3DView::RedoLast() { m_history.Redo(); }

void C3DView::ForgetFrame(rm::Frame* frame) {
    if (frame) m_history.ForgetFrame(frame->GetName());
}

void C3DView::ResetHistory() {
    EndDrag();
    m_history.Clear();
    m_dragTarget = nullptr;
}

void C3DView::OnCommand(int id) {
    CMainApp* app = GetApp();
    switch (id) {
        case ID_EDIT_PLANE_MOVE:
            app->EditMode = EDIT_MOVE;
            app->AxisConstraint = AXIS_FREE;
            RefreshToolbar();
            break;
        case ID_EDIT_Z_MOVE:
            app->EditMode = EDIT_MOVE;
            app->AxisConstraint = AXIS_Z;
            RefreshToolbar();
            break;
        case ID_EDIT_ROTATE:
            app->EditMode = EDIT_ROTATE;
            app->AxisConstraint = AXIS_FREE;
            RefreshToolbar();
            break;
        case ID_EDIT_IK:
            app->EditMode = EDIT_IK;
            app->AxisConstraint = AXIS_FREE;
            RefreshToolbar();
            break;
        case ID_EDIT_MIRROR: MirrorSelectedPart(false); break;
        case ID_EDIT_SWAP_SIDES: MirrorSelectedPart(true); break;
        case ID_SELECT_CAMERA: win::PostMessage(app->m_pMainView, win::WM_SELECT_TREE_ITEM, 0, 0); break;
        case ID_EDIT_CENTRE: Centre(); break;
        case ID_EDIT_DELETE:
            if (m_document) {
                CWaitCursor wait;
                m_document->DeleteSelectedPart();
            }
            break;
        case ID_EDIT_UNDO:
            if (m_dragging) break;
            UndoLast();
            PostRefresh();
            break;
        case ID_EDIT_REDO:
            if (m_dragging) break;
            RedoLast();
            PostRefresh();
            break;
        default: RunCameraCommand(id); break;
    }
}

std::unique_ptr<QMenu> C3DView::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    for (const MenuItem& item : kMenuItems) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
    }
    auto find = [&menu](int id) -> QAction* {
        for (QAction* a : menu->actions())
            if (a->data().toInt() == id) return a;
        return nullptr;
    };
    find(ID_EDIT_UNDO)->setEnabled(m_history.UndoCount() > 0);
    find(ID_EDIT_REDO)->setEnabled(m_history.RedoCount() > 0);
    // Only parts added under an "ADD" entry can be deleted.
    bool deletable = false;
    if (const CPartsTree* tree = Tree(); tree && m_document) {
        const HTREEITEM selected = tree->GetSelectedItem();
        const auto flags = m_document->FlagsMap().find(tree->GetParentItem(selected));
        deletable = selected != 0 && flags != m_document->FlagsMap().end() && scene::FlagsAddParts(flags->second);
    }
    find(ID_EDIT_DELETE)->setEnabled(deletable);
    const bool mirrorable = CanMirrorSelectedPart();
    find(ID_EDIT_MIRROR)->setEnabled(mirrorable);
    find(ID_EDIT_SWAP_SIDES)->setEnabled(mirrorable);
    return menu;
}

void C3DView::ExecContextMenu(QMenu& menu, QPoint globalPoint) {
    QAction* chosen = m_menuRunner ? m_menuRunner(menu, globalPoint) : menu.exec(globalPoint);
    if (chosen && chosen->isEnabled() && chosen->data().isValid()) OnCommand(chosen->data().toInt());
}
