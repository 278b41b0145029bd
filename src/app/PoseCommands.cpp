#include "app/PoseCommands.h"

#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "platform/win/UserPrompts.h"
#include "platform/win/WindowMessages.h"
#include "scene/MainDoc.h"
#include "scene/PartMirror.h"
#include "scene/PartPoses.h"
#include "scene/WholeFile.h"
#include "view/3DView.h"
#include "view/FramePlacement.h"

namespace {

constexpr char kPoseCaption[] = "ﾎﾟｰｽﾞﾃﾞｰﾀ";
constexpr char kPoseFilter[] = "ﾎﾟｰｽﾞﾃﾞｰﾀ (*.mrp)";
constexpr char kPoseSuffix[] = "mrp";
// The pose files of the sample pose sets, in the data folder.
constexpr char kPoseFolder[] = "POSE/";

void Tell(const std::string& text, win::Icon icon = win::Icon::Error) {
    win::MessageBox(nullptr, text, kPoseCaption, win::Buttons::Ok, icon);
}

// The root part of the figure the selection belongs to (the first figure's for any other).
CPartObject* FigureRootPart(const CMainDoc& doc) {
    const scene::Figure* figure = doc.SelectedFigure();
    return figure ? doc.FigureRootPart(*figure) : nullptr;
}

// Loading starts in the shipped pose files' folder; saving beside the scene file (the data folder
// of an installed program is not the person's to write), or where the chooser starts by itself.
win::FileChooserRequest PoseChooser(CMainFrame& frame, const char* caption, std::string initialPath) {
    win::FileChooserRequest request;
    request.owner = &frame;
    request.caption = caption;
    request.filter = kPoseFilter;
    request.defaultSuffix = kPoseSuffix;
    request.initialPath = std::move(initialPath);
    return request;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

bool SavePoseFile(CMainDoc& doc, const std::string& path) {
    CPartObject* root = FigureRootPart(doc);
    if (!root) {
        Tell("保存するフィギュアがありません。");
        return false;
    }
    if (!scene::WriteWholeFile(path, pose::WritePose(scene::CaptureFigurePose(*root)))) {
        Tell("ポーズファイルを保存できません。");
        return false;
    }
    return true;
}

bool LoadPoseFile(C3DView& view, CMainDoc& doc, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!scene::ReadWholeFile(path, bytes)) {
        Tell("ファイルを開けません。");
        return false;
    }
    pose::PoseData pose;
    switch (pose::ReadPose(bytes, pose)) {
        case pose::PoseFileStatus::Ok:
            break;
        case pose::PoseFileStatus::Foreign:
            Tell("ポーズファイルではありません。");
            return false;
        case pose::PoseFileStatus::NewerVersion:
            Tell("新しい版のポーズファイルなので読み込めません。");
            return false;
        case pose::PoseFileStatus::Damaged:
            Tell("ポーズファイルが壊れています。");
            return false;
    }
    CPartObject* root = FigureRootPart(doc);
    rm::Library* library = GetApp()->m_lpD3DRM;
    if (!root || !library) {
        Tell("ポーズを付けるフィギュアがありません。");
        return false;
    }
    const scene::PosePlan plan = scene::PlanFigurePose(*root, pose);
    UndoStep step;
    for (const scene::PoseAssignment& a : plan.assignments)
        if (auto record = FramePlacementRecord::Capture(*library, *a.part->GetFrame())) step.push_back(std::move(record));
    scene::ApplyFigurePose(plan);
    view.History().Push(std::move(step));
    doc.SetModifiedFlag();
    QObject* mainView = GetApp()->m_pMainView;
    win::PostMessage(mainView ? mainView : &view, win::WM_REFRESH);
    if (plan.partsNotFound != 0)
        Tell("ポーズの " + std::to_string(plan.partsNotFound) + " 個のパーツが見つかりませんでした。",
             win::Icon::Information);
    return true;
}

void BindPoseCommands(CMainFrame& frame, C3DView& view, CMainDoc& doc) {
    frame.SetCommandHandler(ID_FILE_SAVE_POSE, [&frame, &doc] {
        const auto chosen = win::Prompts().ChooseSaveFile(PoseChooser(frame, "ポーズの保存", FolderOf(doc.GetPathName())));
        if (chosen && !chosen->empty()) SavePoseFile(doc, *chosen);
    });
    frame.SetCommandHandler(ID_FILE_LOAD_POSE, [&frame, &view, &doc] {
        const auto chosen = win::Prompts().ChooseOpenFile(
            PoseChooser(frame, "ポーズの読み込み", GetApp()->GetAppFolder() + kPoseFolder));
        if (chosen && !chosen->empty() && LoadPoseFile(view, doc, *chosen)) frame.RefreshToolbar();
    });
}
