#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <QWidget>
#include <fstream>

#include "core/MainApp.h"
#include "core/UserFolders.h"
#include "platform/rm/Frame.h"
#include "archive/Communicator.h"
#include "platform/win/ScriptedPrompts.h"
#include "scene/MainDoc.h"
#include "support/ScopedEnvironment.h"

namespace {

TEST(Startup, StartsWithAnEmptyDocumentAndOpensTheSceneFileOnceTheWindowIsUp) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    {
        CSettingsStore seeded;
        seeded.SetSettingInt("dev", "mode", 1);
        ASSERT_TRUE(seeded.SaveProfile(folder, "profile.dat"));
        // Fallback folders of plain files stand in for the two volumes.
        QDir(dir.path()).mkpath("one/BODY");
        QDir(dir.path()).mkpath("two");
        std::ofstream(folder + "one/BODY/plist.txt") << "entry";
        std::ofstream(folder + "drive.dat") << folder + "one/|" + folder + "two/|\nignored|\n";
    }
    win::ScopedPrompts prompts;
    CMainApp* app = GetApp();
    app->m_instanceLockFolder = dir.path();
    const QStringList args = {dir.path() + "/marisole", QStringLiteral("/scenes/my scene.mrs"),
                              QStringLiteral("--no-splash")};
    ASSERT_TRUE(app->InitInstance(args));

    EXPECT_EQ(app->GetAppFolder(), folder);
    // Messages of start-up itself (this folder has no archive volumes) come first; the offer is the
    // first question once the window is up.
    const std::size_t atStart = prompts->asked.size();
    QApplication::processEvents();
    // The scene file of the command line was tried once the window was up (it does not exist) and
    // is not kept for later.
    ASSERT_EQ(prompts->asked.size(), atStart + 1);
    EXPECT_EQ(prompts->asked.back().text, "ファイルを開けません。");
    EXPECT_EQ(app->GetPendingSceneFile(), "");
    EXPECT_EQ(app->GetSettingInt("dev", "mode", 2), 1) << "settings come from profile.dat";
    EXPECT_EQ(app->GetDriveList(), folder + "one/|" + folder + "two/|");
    // The archive set is open: a file of the first fallback folder reads through it.
    std::size_t length = 0;
    const char* bytes = app->GetArchive().Read("BODY\\PLIST.TXT", length);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, length), "entry");
    ASSERT_NE(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(app->m_pMainWnd->isVisible());
    ASSERT_NE(app->m_pDocument, nullptr);
    EXPECT_EQ(app->m_pDocument->GetTitle(), "Mariso");
    EXPECT_NE(app->m_pMainView, nullptr);
    EXPECT_NE(app->m_lpDD, nullptr) << "the main frame publishes the library objects";
    EXPECT_NE(app->m_lpD3DRM, nullptr);
    EXPECT_GE(app->GetIconList().size(), 13);
    EXPECT_EQ(app->EditMode, 0);
    EXPECT_EQ(app->AxisConstraint, 3);

    // A second instance ends without a window or a word.
    const std::size_t questionsBefore = prompts->asked.size();
    CMainApp second;
    second.m_instanceLockFolder = dir.path();
    EXPECT_FALSE(second.InitInstance(args));
    EXPECT_EQ(prompts->asked.size(), questionsBefore);
    EXPECT_EQ(app->m_pMainWnd->isVisible(), true) << "the first is unaffected";

    app->SetSettingInt("view", "mask", 1);
    EXPECT_EQ(app->ExitInstance(), 0);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(app->m_lpD3DRM, nullptr);
    EXPECT_EQ(app->GetArchive().SourceCount(), 0u) << "the archive is closed at exit";
    CSettingsStore saved;
    ASSERT_TRUE(saved.LoadProfile(folder, "profile.dat"));
    EXPECT_EQ(saved.GetSettingInt("view", "mask", 0), 1) << "settings reach the disk at exit";

    // With the first gone, a new start takes the lock again.
    EXPECT_TRUE(second.InitInstance(args));
    second.ExitInstance();
}

TEST(Startup, MissingDriveListUsesTheDefaultFallbacks) {
    QTemporaryDir dir;
    CMainApp* app = GetApp();
    app->m_instanceLockFolder = dir.path();
    ASSERT_TRUE(app->InitInstance({dir.path() + "/marisole", QStringLiteral("--no-splash")}));
    EXPECT_EQ(app->GetDriveList(), "Z:\\Marisole\\Debug\\disk1.vd|Z:\\disk2.vd|");
    EXPECT_EQ(app->GetPendingSceneFile(), "");
    app->ExitInstance();
}

// A logout ends the first run with the scene changed: the copy of its changes waits in the user's
// data folder, untouched by a second instance, and the next start offers it once the window is up.
TEST(Startup, ChangesLeftByAnUnattendedEndAreOfferedAtTheNextStart) {
    QTemporaryDir dir;
    ScopedEnvironment environment;
    environment.Set("XDG_DATA_HOME", (dir.path() + "/data").toStdString());
    const QString copy = QString::fromStdString(DataFolder() + "recovery.mrs");
    win::ScopedPrompts prompts;
    CMainApp* app = GetApp();
    app->m_instanceLockFolder = dir.path();
    const QStringList args = {dir.path() + "/marisole", QStringLiteral("--no-splash")};

    ASSERT_TRUE(app->InitInstance(args));
    QApplication::processEvents();
    ASSERT_NE(app->m_pDocument->GetCharacterRootFrame(), nullptr);
    app->m_pDocument->GetCharacterRootFrame()->SetPosition(nullptr, 8, 0, 0);
    app->m_pDocument->SetModifiedFlag();
    const std::size_t askedBeforeEnd = prompts->asked.size();
    app->m_bEndingUnattended = true;
    app->ExitInstance();
    app->m_bEndingUnattended = false;
    ASSERT_TRUE(QFileInfo::exists(copy)) << "an unattended end writes the copy";
    EXPECT_EQ(prompts->asked.size(), askedBeforeEnd) << "and asks nothing";
    const QDateTime written = QFileInfo(copy).lastModified();

    ASSERT_TRUE(app->InitInstance(args));
    CMainApp second;
    second.m_instanceLockFolder = dir.path();
    EXPECT_FALSE(second.InitInstance(args));
    EXPECT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(QFileInfo(copy).lastModified(), written) << "a refused second instance leaves the copy";

    // Messages of start-up itself (this folder has no archive volumes) come first; the offer is the
    // first question once the window is up.
    const std::size_t atStart = prompts->asked.size();
    prompts->messageAnswers = {win::IDYES};
    QApplication::processEvents();
    ASSERT_GT(prompts->asked.size(), atStart);
    EXPECT_NE(prompts->asked[atStart].text.find("復元しますか?"), std::string::npos) << prompts->asked[atStart].text;

    EXPECT_TRUE(app->m_pDocument->IsModified());
    rm::Vector at{};
    app->m_pDocument->GetCharacterRootFrame()->GetPosition(nullptr, &at);
    EXPECT_EQ(at.x, 8.0f);
    EXPECT_EQ(app->m_pMainWnd->windowTitle(), QStringLiteral("Mariso* - Ovalith"));

    // The exit command, with the changes let go: the copy goes too.
    app->ExitInstance();
    EXPECT_FALSE(QFileInfo::exists(copy));
}

// A logout's SIGTERM while the scene has unsaved changes: the event loop ends without a question
// (no one is there to answer it) and the changes go to the recovery copy.
TEST(Startup, TerminationSignalEndsTheEventLoopWithoutAQuestionAndKeepsTheChanges) {
    QTemporaryDir dir;
    ScopedEnvironment environment;
    environment.Set("XDG_DATA_HOME", (dir.path() + "/data").toStdString());
    win::ScopedPrompts prompts;
    CMainApp* app = GetApp();
    app->m_instanceLockFolder = dir.path();
    ASSERT_TRUE(app->InitInstance({dir.path() + "/marisole", QStringLiteral("--no-splash")}));
    QApplication::processEvents();
    app->m_pDocument->SetModifiedFlag();
    const std::size_t askedBefore = prompts->asked.size();

    // A loop that has not ended after a while is ended with another code.
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 0) << "the signal did not end the event loop";
    EXPECT_EQ(prompts->asked.size(), askedBefore) << prompts->asked.back().text;
    EXPECT_TRUE(app->m_bEndingUnattended);
    app->ExitInstance();
    app->m_bEndingUnattended = false;
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(DataFolder() + "recovery.mrs")));
}

}  // namespace
