#include "render/command/RenderCommand.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "core/SettingsStore.h"
#include "platform/rm/Light.h"
#include "platform/win/ScriptedPrompts.h"
#include "platform/win/WindowMessages.h"
#include "support/MessageCounter.h"
#include "support/RenderRig.h"

namespace {

class RenderCommandTest : public ::testing::Test, protected RenderRig {
protected:
    void SetUp() override {
        settings.SetSettingInt("render", "width", 32);
        settings.SetSettingInt("render", "height", 24);
        settings.SetSettingString("render", "name", dir.path().toStdString() + "/out.bmp");
        c.mainView = &view;
        c.directDraw = directDraw.Get();
        c.library = library.Get();
        c.camera = camera.Get();
        c.viewRoot = viewRoot.Get();
        c.sceneRoot = sceneRoot.Get();
        c.settings = &settings;
        c.appFolder = "/opt/marisole/";
        c.documentTitle = "Mariso";
        c.runSettingsDialog = [this] { return dialogAnswer; };
        c.startProcess = [this](const QString& program, const QStringList& args) {
            started << program + " " + args.join('|');
            return true;
        };
        c.skinFrames = [this] {
            ++skinQueries;
            return std::vector<rm::Ref<rm::Frame>>{};
        };
    }
    int Refreshes() {
        QApplication::processEvents();
        return view.Count(win::WM_REFRESH);
    }

    QTemporaryDir dir;
    CSettingsStore settings;
    MessageCounter view;
    RenderSceneContext c;
    bool dialogAnswer = true;
    QStringList started;
    int skinQueries = 0;
    win::ScopedPrompts prompts;
};

TEST_F(RenderCommandTest, RendersStartsTheViewerAndAsksForARefresh) {
    EXPECT_EQ(RenderScene(c), RenderSceneResult::Written);
    EXPECT_TRUE(QFile::exists(dir.path() + "/out.bmp"));
    EXPECT_EQ(started, QStringList{"/opt/marisole/im " + dir.path() + "/out.bmp"});
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_TRUE(prompts->asked.empty());
    EXPECT_EQ(skinQueries, 0) << "no smoothing unless asked";
}

TEST_F(RenderCommandTest, CancelledDialogDoesNothing) {
    dialogAnswer = false;
    EXPECT_EQ(RenderScene(c), RenderSceneResult::Cancelled);
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(Refreshes(), 0);
}

TEST_F(RenderCommandTest, FailureShowsTheOneMessageAndStartsNoViewer) {
    settings.SetSettingString("render", "name", dir.path().toStdString() + "/no/such/folder/out.bmp");
    EXPECT_EQ(RenderScene(c), RenderSceneResult::Failed);
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].caption, "レンダリングに失敗しました");
    EXPECT_EQ(prompts->asked[0].text.substr(0, 18), std::string("処理に必要なリソース").substr(0, 18));
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(Refreshes(), 1) << "the refresh request is posted all the same";
}

TEST_F(RenderCommandTest, SmoothingRunsFirstAndShiftAfterItStopsTheRender) {
    settings.SetSettingInt("render", "smooth", 1);
    prompts->shiftDown = true;  // held when smoothing returns (no skin: no pair asks before)
    EXPECT_EQ(RenderScene(c), RenderSceneResult::Aborted);
    EXPECT_EQ(skinQueries, 1);
    EXPECT_FALSE(QFile::exists(dir.path() + "/out.bmp"));
    EXPECT_TRUE(started.isEmpty());

    prompts->shiftDown = false;
    EXPECT_EQ(RenderScene(c), RenderSceneResult::Written);
    EXPECT_EQ(skinQueries, 2);
}

TEST_F(RenderCommandTest, WithoutTheSurfaceLibraryNothingRuns) {
    c.directDraw = nullptr;
    EXPECT_EQ(RenderScene(c), RenderSceneResult::NotAvailable);
    EXPECT_EQ(Refreshes(), 0);
}

}  // namespace
