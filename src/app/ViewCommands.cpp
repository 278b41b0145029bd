#include "app/ViewCommands.h"

#include <QAction>
#include <QApplication>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "app/ProgressWindow.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "base/Cp932.h"
#include "library/CollectionWnd.h"
#include "library/MainView.h"
#include "library/PoseSetDlg.h"
#include "render/smooth/JointSmoothing.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/CameraDlg.h"

RenderSceneContext MakeRenderContext(CMainFrame& frame, C3DView& view, CMainDoc& doc) {
    CMainApp* app = GetApp();
    RenderSceneContext c;
    c.mainWindow = &frame;
    c.mainView = app->m_pMainView;
    c.directDraw = app->m_lpDD;
    c.library = app->m_lpD3DRM;
    c.camera = view.CameraFrame();
    c.viewRoot = view.ViewRootFrame();
    c.sceneRoot = doc.GetRootFrame();
    c.settings = &app->Settings();
    c.documentTitle = doc.GetTitle();
    c.appFolder = app->GetProgramFolder();
    c.skinFrames = [&doc] { return doc.FindFramesByGeneralName(cp932::FromUtf8("肌")); };
    c.openProgress = [](QWidget* owner) -> std::unique_ptr<ProgressSink> {
        auto progress = std::make_unique<CProgressWindow>();
        progress->Open(owner);
        return progress;
    };
    return c;
}

void LoadPoseSetEntry(CMainDoc& doc, const std::string& path, const std::string& entryName) {
    CPartsTree* tree = doc.Tree();
    if (!tree) return;
    if (doc.GetCharacterItem() == 0) doc.PrepareTree();
    // A pose set applies to the character's entry, as a double click in its list would.
    win::SendMessage(GetApp()->m_pMainView, win::WM_SELECT_TREE_ITEM, doc.GetCharacterItem());
    tree->SelectItem(doc.GetCharacterItem());
    doc.ApplySelection(path, entryName);
}

void AddFigureEntry(CMainDoc& doc, const std::string& path, const std::string& entryName) {
    // The scene's one figure still without parts takes the pose set as a new scene's would.
    const auto& figures = doc.Figures();
    if (figures.size() == 1 && !figures.front()->poseSetLoaded && !doc.FigureRootPart(*figures.front())) {
        LoadPoseSetEntry(doc, path, entryName);
        return;
    }
    doc.AddFigureFromPoseSet(path);
}

void BindViewCommands(CMainFrame& frame, C3DView& view, CMainDoc& doc, RenderContextAdjust adjust) {
    view.SetToolbarRefresh([&frame] { frame.RefreshToolbar(); });
    // Every change of the edit view and its pages passes through the undo history.
    view.History().SetChangeListener([&doc] { doc.SetModifiedFlag(); });
    auto context = [&frame, &view, &doc, adjust] {
        RenderSceneContext c = MakeRenderContext(frame, view, doc);
        if (adjust) adjust(c);
        return c;
    };
    frame.SetCommandHandler(ID_RENDER, [context] { RenderScene(context()); });
    frame.SetCommandHandler(ID_SMOOTH, [context] { SmoothJointsCommand(context(), kJointThreshold); });
    // The IK button turns the IK drag on, and off again to the plane move.
    frame.SetCommandHandler(ID_EDIT_IK, [&view] {
        view.OnCommand(GetApp()->EditMode == EDIT_IK ? int(ID_EDIT_PLANE_MOVE) : int(ID_EDIT_IK));
    });
    // The rotate button likewise turns the rotate drag on (the axis free, as the menu's 回転 does) and
    // off again to the plane move.
    frame.SetCommandHandler(ID_EDIT_ROTATE_MODE, [&view] {
        view.OnCommand(GetApp()->EditMode == EDIT_ROTATE ? int(ID_EDIT_PLANE_MOVE) : int(ID_EDIT_ROTATE));
    });
    frame.SetCommandHandler(ID_EDIT_MIRROR, [&view] { view.OnCommand(ID_EDIT_MIRROR); });
    frame.SetCommandHandler(ID_EDIT_SWAP_SIDES, [&view] { view.OnCommand(ID_EDIT_SWAP_SIDES); });
    // The 視点 menu runs the camera commands from anywhere. Its items show the keys, which work only
    // while the edit view has the focus (the view's own shortcuts), so that the tree, the collection
    // and text fields keep theirs; in the menu they act only while the menu itself is open.
    for (int id : {ID_VIEW_CAMERA_FRONT, ID_VIEW_CAMERA_BACK, ID_VIEW_CAMERA_RIGHT, ID_VIEW_CAMERA_LEFT,
                   ID_VIEW_CAMERA_TOP, ID_VIEW_CAMERA_BOTTOM, ID_VIEW_FRAME_ALL, ID_VIEW_FRAME_SELECTED,
                   ID_VIEW_CAMERA_RESET}) {
        frame.SetCommandHandler(id, [&view, id] { view.RunCameraCommand(id); });
        if (QAction* action = frame.Action(id)) {
            action->setShortcuts(C3DView::CameraCommandKeys(id));
            action->setShortcutContext(Qt::WidgetShortcut);
        }
    }
    frame.SetCommandHandler(ID_VIEW_OPEN_POSE_SET, [&frame, &doc] {
        CPoseSetDlg dialog(ReadPoseSets(doc.Archive()), &frame);
        if (dialog.exec() != QDialog::Accepted) return;
        if (const auto chosen = dialog.Chosen()) LoadPoseSetEntry(doc, chosen->partPath, chosen->name);
    });
    frame.SetCommandHandler(ID_VIEW_ADD_FIGURE, [&frame, &doc] {
        if (doc.Figures().size() >= std::size_t(scene::kMaxFigures)) return;
        CPoseSetDlg dialog(ReadPoseSets(doc.Archive()), &frame);
        if (dialog.exec() != QDialog::Accepted) return;
        if (const auto chosen = dialog.Chosen()) AddFigureEntry(doc, chosen->partPath, chosen->name);
    });
}

void BindMainViewCommands(CMainFrame& frame, CMainView& view) {
    view.SetToolbarRefresh([&frame] { frame.RefreshToolbar(); });
    frame.SetCommandHandler(ID_FILE_RENDER, [&frame] { frame.RunCommand(ID_RENDER); });
    frame.SetCommandHandler(ID_APPLY_COLLECTION, [&view] { view.Collection()->ApplySelected(); });
    static_cast<CCameraDlg*>(view.PageWidget(CMainView::kCameraPage))
        ->SetRenderSizeToggle([&frame] { frame.RunCommand(ID_VIEW_RENDER_SIZE); });
}

void OpenStartupScene(CMainFrame& frame, CMainDoc& doc, const std::string& sceneFile, const std::string& poseSet) {
    doc.PrepareTree();
    if (!sceneFile.empty()) {
        OpenSceneFile(frame, doc, sceneFile);
    } else if (!poseSet.empty()) {
        const std::string name = cp932::FromUtf8(poseSet);
        LoadPoseSetEntry(doc, name, name);
        // The scene the program starts with is no change of the person's, as a scene file opened at
        // start-up is none. The views first take in the new scene through the messages the load
        // posted (the tree's refresh sets the light markers' parts hidden, again, as a tick would).
        QCoreApplication::sendPostedEvents();
        doc.SetModifiedFlag(false);
    }
    frame.UpdateTitle(doc.GetTitle());
}
