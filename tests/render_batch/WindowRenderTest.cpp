// The window's render button and start-up scene on the sample library: what a person gets from the
// main window is what the command line gives.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <sstream>

#include "app/BatchRender.h"
#include "app/DocumentCommands.h"
#include "app/HeadlessScene.h"
#include "app/MainFrame.h"
#include "app/ViewCommands.h"
#include "core/CommandLine.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "library/MainView.h"
#include "library/PoseSetDlg.h"
#include "platform/rm/Frame.h"
#include "platform/win/ScriptedPrompts.h"
#include "render/dialog/RenderSettingsDlg.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"

namespace {

std::string BinFolder() { return QCoreApplication::applicationDirPath().toStdString() + "/"; }

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// The main window on the sample library with the view commands bound (the render's context
// adjusted by `adjust`), a new document in it; the archive closes and the state resets at the end.
struct BoundMainWindow {
    explicit BoundMainWindow(RenderContextAdjust adjust = {}) {
        CMainApp* app = GetApp();
        app->ResetState();
        app->m_bShowSplash = false;
        app->SetAppFolder(BinFolder());
        app->OpenArchive();
        doc = std::make_unique<CMainDoc>();
        frame = std::make_unique<CMainFrame>();
        auto* mainView = new CMainView(frame.get());
        frame->setCentralWidget(mainView);
        frame->show();
        BindViewCommands(*frame, *mainView->EditView(), *doc, std::move(adjust));
        doc->OnNewDocument();
    }
    ~BoundMainWindow() {
        frame.reset();
        doc.reset();
        GetApp()->GetArchive().Close();
        GetApp()->ResetState();
    }
    std::unique_ptr<CMainDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

int CountOtherThan(const QImage& image, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) != (rgb & 0xFFFFFF);
    return n;
}

TEST(WindowRender, TheRenderButtonWritesTheBytesOfTheCommandLine) {
    QTemporaryDir dir;
    const QString batchOut = dir.path() + "/batch.bmp";
    const QString windowOut = dir.path() + "/window.bmp";
    {
        const CommandLine c = ParseCommandLine({"marisole", "--render", batchOut, "--pose-set", "STAND.OBJ", "--width",
                                                "320", "--height", "240"});
        std::ostringstream err;
        ASSERT_EQ(RunBatchRender(c, {QCoreApplication::applicationFilePath()}, err), 0) << err.str();
    }

    win::ScopedPrompts prompts;
    {
        QStringList started;
        BoundMainWindow window([&started](RenderSceneContext& c) {
            c.runSettingsDialog = [] { return true; };
            c.startProcess = [&started](const QString&, const QStringList& arguments) {
                started << arguments;
                return true;
            };
        });
        CMainDoc& doc = *window.doc;
        LoadPoseSetEntry(doc, "STAND.OBJ", "STAND.OBJ");
        Settle();
        ASSERT_FALSE(doc.AllParts().empty());
        CMainApp* app = GetApp();
        app->SetSettingInt("render", "width", 320);
        app->SetSettingInt("render", "height", 240);
        app->SetSettingInt("render", "antialias", 1);
        app->SetSettingString("render", "name", windowOut.toStdString());
        ASSERT_TRUE(window.frame->RunCommand(ID_RENDER));
        EXPECT_EQ(started, QStringList{windowOut}) << "the viewer opens the picture";
        Settle();
    }
    const QByteArray window = ReadAll(windowOut), batch = ReadAll(batchOut);
    ASSERT_FALSE(batch.isEmpty());
    EXPECT_EQ(window.size(), batch.size());
    EXPECT_TRUE(window == batch) << "the same scene through the same camera gives the same bytes";
    EXPECT_TRUE(prompts->asked.empty());
}

// A scene file through the render button, with the render dialog as it comes up in a new session
// (only the file named), and through `marisole --render OUT.png --scene FILE` run as its own
// program (without a window, so without a screen that could lend the PNG a resolution): the same
// bytes.
TEST(WindowRender, TheRenderButtonAndTheCommandWriteTheSamePngOfASceneFile) {
    QTemporaryDir dir;
    const QString scenePath = dir.path() + "/framed.mrs";
    const QString batchOut = dir.path() + "/batch.png";
    const QString windowOut = dir.path() + "/window.png";
    {
        // The walking figure moved aside and seen through another lens than the pose set's.
        CHeadlessScene scene(BinFolder(), std::cerr);
        ASSERT_TRUE(scene.LoadPoseSet("WALK.OBJ"));
        scene.Document().GetCharacterRootFrame()->SetPosition(nullptr, 6, -3, 0);
        GetApp()->SetSettingFloat("view", "field", 2.5f);
        ASSERT_TRUE(scene.Document().OnSaveDocument(scenePath.toStdString()));
    }

    QProcess batch;
    batch.start(QStringLiteral(MARISOLE_PROGRAM), {"--render", batchOut, "--scene", scenePath});
    ASSERT_TRUE(batch.waitForFinished(120000));
    ASSERT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();

    win::ScopedPrompts prompts;
    {
        GetApp()->Settings().Clear();  // a new session's settings
        BoundMainWindow window([](RenderSceneContext& c) {
            c.startProcess = [](const QString&, const QStringList&) { return true; };
        });
        ASSERT_TRUE(OpenSceneFile(*window.frame, *window.doc, scenePath.toStdString()));
        Settle();
        bool dialogSeen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<CRenderSettingsDlg*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialogSeen = true;
            dialog->PathEdit()->setText(windowOut);
            QTest::mouseClick(dialog->RenderButton(), Qt::LeftButton);
        });
        ASSERT_TRUE(window.frame->RunCommand(ID_RENDER));
        EXPECT_TRUE(dialogSeen);
        Settle();
    }
    const QByteArray window = ReadAll(windowOut), fromCommand = ReadAll(batchOut);
    ASSERT_TRUE(fromCommand.startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(window).size(), QSize(640, 480)) << "the dialog's size";
    EXPECT_EQ(window.size(), fromCommand.size());
    EXPECT_TRUE(window == fromCommand) << "the same scene gives the same PNG file";
    EXPECT_TRUE(prompts->asked.empty()) << prompts->MessageTexts().front();
}

TEST(WindowRender, StartUpOpensTheSceneOfTheCommandLineAndNewEmptiesIt) {
    QTemporaryDir dir;
    const std::string scenePath = dir.path().toStdString() + "/stand.mrs";
    {
        CHeadlessScene scene(BinFolder(), std::cerr);
        ASSERT_TRUE(scene.LoadPoseSet("STAND.OBJ"));
        ASSERT_TRUE(scene.Document().OnSaveDocument(scenePath));
    }
    win::ScopedPrompts prompts;
    CMainApp* app = GetApp();
    app->ResetState();
    app->m_instanceLockFolder = dir.path();
    ASSERT_TRUE(app->InitInstance({QCoreApplication::applicationFilePath(), QString::fromStdString(scenePath),
                                   QStringLiteral("--no-splash")}));
    Settle();
    CMainDoc* doc = app->m_pDocument;
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->AllParts().empty()) << "the scene file opened after start-up";
    EXPECT_EQ(doc->GetPathName(), scenePath);
    auto* frame = static_cast<CMainFrame*>(app->m_pMainWnd);
    EXPECT_EQ(frame->RecentFiles().Files().value(0), QString::fromStdString(scenePath));
    auto* view = static_cast<C3DView*>(app->m_p3DView);
    ASSERT_NE(view, nullptr);
    view->DrawView();
    const QImage shown = view->ShownFrame().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(CountOtherThan(shown, 0x606060), 500) << "the figure is on screen";

    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    Settle();
    EXPECT_TRUE(doc->AllParts().empty()) << "the first New gives an empty scene";
    EXPECT_TRUE(prompts->asked.empty()) << prompts->MessageTexts().front();
    app->ExitInstance();
    app->ResetState();
}

// 表示 > ポーズセットを開く: the root list's pose sets by name, the chosen one loaded.
TEST(WindowRender, ThePoseSetChooserListsThePoseSetsAndLoadsTheChosenOne) {
    win::ScopedPrompts prompts;
    {
        BoundMainWindow window;
        CMainDoc& doc = *window.doc;
        CMainFrame& frame = *window.frame;
        const std::vector<scene::PartListEntry> poseSets = ReadPoseSets(doc.Archive());
        std::vector<std::string> paths;
        for (const auto& e : poseSets) paths.push_back(e.partPath);
        EXPECT_EQ(paths, (std::vector<std::string>{"STAND.OBJ", "WALK.OBJ", "RUN.OBJ", "SIT.OBJ", "WAVE.OBJ",
                                                   "CHEER.OBJ"}));
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = dynamic_cast<CPoseSetDlg*>(QApplication::activeModalWidget());
            if (!dialog) return;
            for (int i = 0; i < dialog->List()->count(); ++i) shown << dialog->List()->item(i)->text();
            dialog->List()->setCurrentRow(1);
            dialog->accept();
        });
        ASSERT_TRUE(frame.RunCommand(ID_VIEW_OPEN_POSE_SET));
        EXPECT_EQ(shown.size(), 6);
        EXPECT_EQ(shown.value(1), QString::fromStdString(cp932::ToUtf8(poseSets[1].name)));
        EXPECT_EQ(doc.GetPoseSetPath(), "WALK.OBJ");
        EXPECT_FALSE(doc.AllParts().empty());
        EXPECT_TRUE(prompts->asked.empty()) << "the first pose set loads without the question";
    }
}

// `marisole --pose-set NAME`: the pose set is loaded as the scene the program starts with, unchanged.
TEST(WindowRender, StartUpWithAPoseSetLoadsItUnchangedAndAnUnknownNameSaysSo) {
    QTemporaryDir dir;
    for (const char* name : {"WALK.OBJ", "NOSUCH.OBJ"}) {
        win::ScopedPrompts prompts;
        CMainApp* app = GetApp();
        app->ResetState();
        app->m_instanceLockFolder = dir.path();
        ASSERT_TRUE(app->InitInstance({QCoreApplication::applicationFilePath(), QStringLiteral("--pose-set"),
                                       QString::fromLatin1(name), QStringLiteral("--no-splash")}));
        Settle();
        const bool known = std::string(name) == "WALK.OBJ";
        EXPECT_EQ(app->m_pDocument->AllParts().empty(), !known) << name;
        EXPECT_EQ(prompts->asked.size(), known ? 0u : 1u) << name;
        // A load at start-up is no change of the person's: no mark, and New asks nothing.
        EXPECT_FALSE(app->m_pDocument->IsModified()) << name;
        EXPECT_EQ(app->m_pMainWnd->windowTitle().toStdString(), "Mariso - Ovalith") << name;
        prompts->asked.clear();
        ASSERT_TRUE(static_cast<CMainFrame*>(app->m_pMainWnd)->RunCommand(ID_FILE_NEW));
        Settle();
        EXPECT_TRUE(prompts->asked.empty()) << name << ": " << prompts->asked.front().text;
        app->ExitInstance();
        app->ResetState();
    }
}

}  // namespace
