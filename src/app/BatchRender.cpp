#include "app/BatchRender.h"

#include <QCoreApplication>

#include "app/HeadlessScene.h"
#include "core/CommandLine.h"
#include "core/MainApp.h"
#include "archive/TerminalPrompts.h"
#include "render/pipeline/RenderPipeline.h"
#include "scene/CameraViews.h"

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

}  // namespace

int RunBatchRender(const CommandLine& c, const QStringList& arguments, std::ostream& err) {
    auto owned = std::make_unique<CountingPrompts>(err);
    CountingPrompts* prompts = owned.get();
    auto previous = win::InstallPrompts(std::move(owned));

    int exitCode = 1;
    {
        CHeadlessScene scene(AppFolderFromProgramPath(arguments.value(0), QCoreApplication::applicationDirPath()), err);
        CSettingsStore& settings = GetApp()->Settings();
        bool loaded = false;
        const std::optional<scene::StandardView> view =
            c.renderView.empty() ? std::nullopt : scene::StandardViewNamed(c.renderView);
        if (!c.renderView.empty() && !view) {
            err << "marisole: --view takes front, back, right, left, top or bottom, not " << c.renderView << "\n";
        } else if (!c.renderBackground.empty() && !scene.CanReadPicture(c.renderBackground)) {
            err << "marisole: the background picture " << c.renderBackground
                << " cannot be read (a JPEG, PNG or BMP file is needed)\n";
        } else if (!c.renderPoseSets.empty()) {
            // The first as a new scene's figure, the others beside it.
            loaded = scene.LoadPoseSet(c.renderPoseSets.front());
            for (std::size_t i = 1; loaded && i < c.renderPoseSets.size(); ++i)
                loaded = scene.AddFigure(c.renderPoseSets[i]);
            if (!loaded) err << "marisole: a pose set has no parts in the archive\n";
        } else if (!c.renderPart.empty()) {
            // The framing is worked out for the picture's own size.
            if (c.renderWidth > 0) settings.SetSettingInt("render", "width", c.renderWidth);
            if (c.renderHeight > 0) settings.SetSettingInt("render", "height", c.renderHeight);
            loaded = scene.LoadPartFile(c.renderPart);
        } else {
            loaded = scene.OpenSceneFile(c.renderScene);
        }
        if (loaded) {
            if (c.renderSmooth) scene.SmoothJoints();
            if (c.renderWidth > 0) settings.SetSettingInt("render", "width", c.renderWidth);
            if (c.renderHeight > 0) settings.SetSettingInt("render", "height", c.renderHeight);
            settings.SetSettingInt("render", "antialias", c.renderAntialias ? 1 : 0);
            settings.SetSettingString("render", "name", c.renderOutput);
            // Framed for the picture's own size.
            if (view) scene.LookFrom(*view);
            if (!c.renderBackground.empty()) {
                // Stretched under the scene as the render dialog's background is.
                settings.SetSettingString("render", "bg", c.renderBackground);
                settings.SetSettingInt("bg", "render", 1);
            }
            StageProgress progress(err);
            if (RenderToFile(scene.MakeRenderRequest(&progress)) == RenderOutcome::Written) {
                err << "wrote " << c.renderOutput << "\n";
                exitCode = prompts->messages == 0 ? 0 : 1;
            } else {
                err << "marisole: " << kRenderFailedCaption << "\n" << kRenderFailedText << "\n";
            }
        }
    }
    win::InstallPrompts(std::move(previous));
    return exitCode;
}
