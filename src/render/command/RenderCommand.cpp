#include "render/command/RenderCommand.h"

#include <QProcess>

#include "core/SettingsStore.h"
#include "platform/win/UserPrompts.h"
#include "platform/win/WindowMessages.h"
#include "render/dialog/RenderSettingsDlg.h"
#include "render/pipeline/RenderPipeline.h"
#include "render/smooth/JointSmoothing.h"

namespace {

std::unique_ptr<ProgressSink> OpenProgress(const RenderSceneContext& c) {
    if (c.openProgress) {
        if (auto progress = c.openProgress(c.mainWindow)) return progress;
    }
    return std::make_unique<NullProgress>();
}

bool RunDialog(const RenderSceneContext& c) {
    if (c.runSettingsDialog) return c.runSettingsDialog();
    CRenderSettingsDlg dialog(*c.settings, c.mainWindow);
    return dialog.exec() == QDialog::Accepted;
}

void StartViewer(const RenderSceneContext& c, const std::string& picture) {
    // The path goes as one argument: no shell, no quoting, no short names needed.
    const QString program = QString::fromStdString(c.appFolder) + QStringLiteral("im");
    const QStringList arguments{QString::fromStdString(picture)};
    if (c.startProcess)
        c.startProcess(program, arguments);
    else
        QProcess::startDetached(program, arguments);
}

}  // namespace

void SmoothJointsCommand(const RenderSceneContext& c, double threshold) {
    const auto frames = c.skinFrames ? c.skinFrames() : std::vector<rm::Ref<rm::Frame>>{};
    auto progress = OpenProgress(c);
    SmoothJoints(frames, threshold, *progress, [] { return win::Prompts().IsShiftDown(); });
}

RenderSceneResult RenderScene(const RenderSceneContext& c) {
    if (!c.directDraw || !c.settings) return RenderSceneResult::NotAvailable;
    if (!RunDialog(c)) return RenderSceneResult::Cancelled;
    if (c.settings->GetSettingInt("render", "smooth", 0) == 1) {
        SmoothJointsCommand(c, kJointThreshold);
        if (win::Prompts().IsShiftDown()) return RenderSceneResult::Aborted;
    }

    RenderSceneResult result;
    {
        auto progress = OpenProgress(c);
        progress->SetTitle("シーンのレンダリング中");
        progress->SetText("レンダリングの準備をしています...");
        RenderRequest request;
        request.directDraw = c.directDraw;
        request.library = c.library;
        request.camera = c.camera;
        request.viewRoot = c.viewRoot;
        request.sceneRoot = c.sceneRoot;
        request.settings = c.settings;
        request.documentTitle = c.documentTitle;
        request.progress = progress.get();
        result = RenderToFile(request) == RenderOutcome::Written ? RenderSceneResult::Written
                                                                 : RenderSceneResult::Failed;
    }
    if (result == RenderSceneResult::Failed)
        win::MessageBox(c.mainWindow, kRenderFailedText, kRenderFailedCaption, win::Buttons::Ok, win::Icon::Error);
    else
        StartViewer(c, c.settings->GetSettingString("render", "name", ""));
    win::PostMessage(c.mainView, win::WM_REFRESH);
    return result;
}
