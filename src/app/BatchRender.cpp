#include "app/BatchRender.h"

#include <QCoreApplication>

#include "app/core/CommandLine.h"
#include "app/core/DriveList.h"
#include "app/core/MainApp.h"
#include "archive/ArchiveContext.h"
#include "archive/Communicator.h"
#include "archive/TerminalPrompts.h"
#include "base/Cp932.h"
#include "platform/rm/DeviceObjects.h"
#include "render/pipeline/RenderPipeline.h"
#include "render/smooth/JointSmoothing.h"
#include "scene/MainDoc.h"
#include "scene/PartsTree.h"

namespace {

// Prints every message like the terminal prompts and remembers that one was shown.
class CountingPrompts final : public win::UserPrompts {
public:
    explicit CountingPrompts(std::ostream& err) : m_terminal(err) {}
    int messages = 0;
    int ShowMessageBox(const win::MessageBoxRequest& r) override {
        ++messages;
        return m_terminal.ShowMessageBox(r);
    }
    std::optional<std::uint32_t> ChooseColor(QWidget*, std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseOpenFile(const win::FileChooserRequest&) override { return std::nullopt; }
    std::optional<std::string> ChooseSaveFile(const win::FileChooserRequest&) override { return std::nullopt; }
    std::optional<std::string> PromptText(const win::TextPromptRequest&) override { return std::nullopt; }
    bool IsShiftDown() override { return false; }

private:
    TerminalPrompts m_terminal;
};

// Progress for a batch run: one line per stage (each new title or text), never one per percent.
class StageProgress final : public ProgressSink {
public:
    explicit StageProgress(std::ostream& err) : m_err(err) {}
    void SetTitle(const std::string& text) override { Print(text); }
    void SetText(const std::string& text) override { Print(text); }
    void SetRange(int, int) override {}
    void SetPos(int) override {}

private:
    void Print(const std::string& text) {
        // Texts that only count up ("... (40%)") are shown once, by what comes before the number.
        const std::string stage = text.substr(0, text.find_first_of("(0123456789"));
        if (stage.empty() || stage == m_last) return;
        m_last = stage;
        m_err << text << "\n";
    }
    std::ostream& m_err;
    std::string m_last;
};

}  // namespace

int RunBatchRender(const CommandLine& c, const QStringList& arguments, std::ostream& err) {
    auto owned = std::make_unique<CountingPrompts>(err);
    CountingPrompts* prompts = owned.get();
    auto previous = win::InstallPrompts(std::move(owned));

    CMainApp* app = GetApp();
    app->SetAppFolder(AppFolderFromProgramPath(arguments.value(0), QCoreApplication::applicationDirPath()));
    // The view and background settings of the person's profile; nothing is written back.
    app->LoadProfile("profile.dat");
    app->SetDriveList(ReadDriveList(app->GetAppFolder()));
    ArchiveContext archiveContext;
    archiveContext.appFolder = app->GetAppFolder();
    archiveContext.setupPath = app->GetSetupPath();
    app->GetArchive().Open(VolumeListFor(app->GetAppFolder()), app->GetDriveList(), kCompressionFilter,
                           archiveContext);

    rm::DeviceObjects devices;
    devices.Create(nullptr);
    app->m_lpDD = devices.DirectDraw();
    app->m_lpD3DRM = devices.Library3D();
    CPartsTree tree;
    app->m_pTreeModel = &tree;

    int exitCode = 1;
    {
        CMainDoc document;
        document.SetProgressFactory([&err]() -> std::unique_ptr<ProgressSink> {
            return std::make_unique<StageProgress>(err);
        });
        document.OnNewDocument();
        bool loaded = false;
        if (!c.renderPoseSet.empty()) {
            document.PrepareTree();
            document.LoadPoseSet(cp932::FromUtf8(c.renderPoseSet));
            loaded = !document.AllParts().empty();
            if (!loaded) err << "marisole: the pose set " << c.renderPoseSet << " has no parts in the archive\n";
        } else {
            document.PrepareTree();
            loaded = document.OnOpenDocument(c.renderScene);
        }

        if (loaded) {
            if (c.renderSmooth) {
                StageProgress progress(err);
                SmoothJoints(document.FindFramesByGeneralName(cp932::FromUtf8("肌")), kJointThreshold, progress,
                             {});
            }
            CSettingsStore& settings = app->Settings();
            if (c.renderWidth > 0) settings.SetSettingInt("render", "width", c.renderWidth);
            if (c.renderHeight > 0) settings.SetSettingInt("render", "height", c.renderHeight);
            settings.SetSettingInt("render", "antialias", c.renderAntialias ? 1 : 0);
            settings.SetSettingString("render", "name", c.renderOutput);

            // The edit view's camera: a child of the view root at the origin, looking down +z.
            rm::Ref<rm::Frame> viewRoot = devices.Library3D()->CreateFrame(nullptr);
            rm::Ref<rm::Frame> camera = devices.Library3D()->CreateFrame(viewRoot.Get());
            StageProgress progress(err);
            RenderRequest request;
            request.directDraw = devices.DirectDraw();
            request.library = devices.Library3D();
            request.camera = camera.Get();
            request.viewRoot = viewRoot.Get();
            request.sceneRoot = document.GetRootFrame();
            request.settings = &settings;
            request.documentTitle = document.GetTitle();
            request.progress = &progress;
            if (RenderToFile(request) == RenderOutcome::Written) {
                err << "wrote " << c.renderOutput << "\n";
                exitCode = prompts->messages == 0 ? 0 : 1;
            } else {
                err << "marisole: " << kRenderFailedCaption << "\n" << kRenderFailedText << "\n";
            }
        }
        document.ReleaseAllParts();
    }
    app->m_pTreeModel = nullptr;
    app->m_lpDD = nullptr;
    app->m_lpD3DRM = nullptr;
    app->GetArchive().Close();
    win::InstallPrompts(std::move(previous));
    return exitCode;
}
