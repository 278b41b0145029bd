#include "app/DocumentCommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/win/ScriptedPrompts.h"
#include "scene/MainDoc.h"

namespace {

class DocumentCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetApp()->Settings().Clear();
        GetApp()->ResetState();
        GetApp()->m_bShowSplash = false;
        frame = std::make_unique<CMainFrame>();
        doc = std::make_unique<CMainDoc>();
        BindDocumentCommands(*frame, *doc);
        ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    }
    void TearDown() override {
        doc->ReleaseAllParts();
        doc.reset();
        frame.reset();
        GetApp()->ResetState();
    }
    std::string Path(const char* name) const { return dir.path().toStdString() + "/" + name; }

    QTemporaryDir dir;
    win::ScopedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CMainDoc> doc;
};

TEST_F(DocumentCommandsTest, FileCommandsAreBoundAndEnabled) {
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Mariso - Ovalith"));
}

TEST_F(DocumentCommandsTest, SaveAsksForANameAddsTheExtensionAndRemembersTheFile) {
    prompts->fileAnswers = {Path("pose1")};
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE));
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].kind, "save");
    EXPECT_EQ(prompts->asked[0].caption, "ｼｰﾝﾃﾞｰﾀ (*.mrs)");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("pose1.mrs"))));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("pose1 - Ovalith"));
    EXPECT_EQ(frame->RecentFiles().Files().value(0), QString::fromStdString(Path("pose1.mrs")));

    // Saving again writes to the same file without asking.
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE));
    EXPECT_EQ(prompts->asked.size(), 1u);
    // A cancelled Save As changes nothing.
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("pose1 - Ovalith"));
}

TEST_F(DocumentCommandsTest, OpenReadsASavedSceneAndRefusesAForeignFile) {
    prompts->fileAnswers = {Path("saved.mrs")};
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Mariso - Ovalith"));

    prompts->fileAnswers = {Path("saved.mrs")};
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("saved - Ovalith"));
    EXPECT_TRUE(prompts->MessageTexts().empty());

    QFile foreign(QString::fromStdString(Path("foreign.mrs")));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a scene at all");
    foreign.close();
    EXPECT_FALSE(OpenSceneFile(*frame, *doc, Path("foreign.mrs")));
    EXPECT_EQ(prompts->MessageTexts().size(), 1u) << "one message says why";
    EXPECT_EQ(frame->RecentFiles().Files().value(0), QString::fromStdString(Path("saved.mrs")));
}

}  // namespace
