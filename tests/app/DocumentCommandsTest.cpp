#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <optional>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/win/ScriptedPrompts.h"
#include "scene/MainDoc.h"
#include "scene/SceneMessages.h"

namespace {

class DocumentCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings().remove(kRecentSection);
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
        QSettings().remove(kRecentSection);
    }
    std::string Path(const char* name) const { return dir.path().toStdString() + "/" + name; }
    void WriteFile(const char* name, const QByteArray& bytes) const {
        QFile file(QString::fromStdString(Path(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static constexpr char kRecentSection[] = "Recent File List";

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

// The recent-file items of the File menu.
QList<QAction*> RecentMenuItems(QMenu& fileMenu) {
    QList<QAction*> items;
    for (QAction* a : fileMenu.actions()) {
        const int id = a->data().toInt();
        if (id >= ID_FILE_MRU_FIRST && id < ID_FILE_MRU_FIRST + CRecentFileList::kSize) items << a;
    }
    return items;
}

TEST_F(DocumentCommandsTest, RecentFileThatDoesNotOpenLeavesTheListAfterItsMessage) {
    ASSERT_TRUE(doc->OnSaveDocument(Path("kept.mrs")));
    ASSERT_TRUE(doc->OnSaveDocument(Path("other.mrs")));
    WriteFile("foreign.mrs", "not a scene at all");
    // The signature and version of a scene file, and nothing after them.
    WriteFile("truncated.mrs", QByteArray("MRSCENE\x1A\x02\x00\x00\x00", 12));

    const struct {
        const char* file;
        const char* message;  // nullptr: the file opens
    } rows[] = {
        {"missing.mrs", scene::msg::kCannotOpen},
        {"foreign.mrs", scene::msg::kForeignFile},
        {"truncated.mrs", scene::msg::kDamagedFile},
        {"kept.mrs", nullptr},
    };
    QMenu* fileMenu = frame->menuBar()->actions().at(0)->menu();
    ASSERT_NE(fileMenu, nullptr);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        const QString other = QString::fromStdString(Path("other.mrs"));
        const QString path = QString::fromStdString(Path(r.file));
        frame->AddRecentFile(other);
        frame->AddRecentFile(path);
        ASSERT_EQ(frame->RecentFiles().Files(), (QStringList{path, other}));
        prompts->asked.clear();
        if (r.message) prompts->messageAnswers = {win::IDOK};

        // The person picks the newest entry in the File menu.
        fileMenu->popup(frame->mapToGlobal(QPoint(10, 10)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fileMenu));
        QAction* item = RecentMenuItems(*fileMenu).value(0);
        ASSERT_NE(item, nullptr);
        ASSERT_EQ(item->text(), QStringLiteral("&1 ") + path);
        QTest::mouseClick(fileMenu, Qt::LeftButton, {}, fileMenu->actionGeometry(item).center());
        QApplication::processEvents();
        EXPECT_FALSE(fileMenu->isVisible());

        const QStringList expected = r.message ? QStringList{other} : QStringList{path, other};
        const std::vector<std::string> messages =
            r.message ? std::vector<std::string>{r.message} : std::vector<std::string>{};
        EXPECT_EQ(prompts->MessageTexts(), messages);
        EXPECT_EQ(frame->RecentFiles().Files(), expected);
        QStringList items, expectedItems;
        for (QAction* a : RecentMenuItems(*fileMenu)) items << a->text();
        for (int i = 0; i < expected.size(); ++i)
            expectedItems << QStringLiteral("&%1 %2").arg(i + 1).arg(expected[i]);
        EXPECT_EQ(items, expectedItems);
        // The next start reads the list without the entry.
        QSettings registry;
        CRecentFileList stored;
        stored.Load(registry);
        EXPECT_EQ(stored.Files(), expected);
        EXPECT_FALSE(registry.contains(QStringLiteral("Recent File List/File%1").arg(expected.size() + 1)));
    }
}

// A scene file opened from the recent-file list or dropped on the window, while the scene has unsaved
// changes: the person is asked first. Cancel keeps the scene and its changes (the file is not
// opened and its entry stays in the list); No lets the changes go and opens the file.
TEST_F(DocumentCommandsTest, RecentFileAndDroppedFileAskBeforeUnsavedChangesAreLetGo) {
    ASSERT_TRUE(doc->OnSaveDocument(Path("other.mrs")));
    const QString other = QString::fromStdString(Path("other.mrs"));
    enum class Way { RecentFile, Drop };
    const struct Row {
        Way way;
        int answer;
    } rows[] = {{Way::RecentFile, win::IDCANCEL}, {Way::RecentFile, win::IDNO},
                {Way::Drop, win::IDCANCEL},       {Way::Drop, win::IDNO}};
    QMenu* fileMenu = frame->menuBar()->actions().at(0)->menu();
    ASSERT_NE(fileMenu, nullptr);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    for (const Row& r : rows) {
        const std::string what =
            std::string(r.way == Way::Drop ? "drop" : "recent file") + ", answer " + std::to_string(r.answer);
        SCOPED_TRACE(what);
        doc->SetModifiedFlag(false);  // whatever an earlier row left
        ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
        frame->AddRecentFile(other);
        doc->SetModifiedFlag();
        prompts->asked.clear();
        prompts->messageAnswers = {r.answer};

        if (r.way == Way::RecentFile) {
            QAction* item = RecentMenuItems(*fileMenu).value(0);
            ASSERT_NE(item, nullptr);
            ASSERT_EQ(item->text(), QStringLiteral("&1 ") + other);
            item->trigger();
        } else {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(other)});
            QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(frame.get(), &enter);
            ASSERT_TRUE(enter.isAccepted());
            QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(frame.get(), &drop);
        }
        QApplication::processEvents();

        EXPECT_EQ(prompts->asked.size(), 1u);
        if (prompts->asked.empty()) continue;
        EXPECT_EQ(prompts->asked[0].text, "変更を保存しますか?");
        EXPECT_EQ(prompts->asked[0].buttons, win::Buttons::YesNoCancel);
        const bool kept = r.answer == win::IDCANCEL;
        EXPECT_EQ(doc->IsModified(), kept);
        EXPECT_EQ(doc->GetPathName(), kept ? "" : Path("other.mrs"));
        EXPECT_EQ(frame->windowTitle().toStdString(), kept ? "Mariso* - Ovalith" : "other - Ovalith");
        EXPECT_EQ(frame->RecentFiles().Files().value(0), other) << "a file kept unopened keeps its entry";
    }
}

// Ending unattended (a logout's signal), a close of the window asks nothing: no one would answer.
TEST_F(DocumentCommandsTest, CloseWhileEndingUnattendedAsksNothing) {
    doc->SetModifiedFlag();
    frame->show();
    GetApp()->m_bEndingUnattended = true;
    const bool closed = frame->close();
    GetApp()->m_bEndingUnattended = false;
    EXPECT_TRUE(closed);
    EXPECT_TRUE(prompts->asked.empty());
    EXPECT_TRUE(doc->IsModified()) << "the changes are left for the recovery copy";
}

TEST_F(DocumentCommandsTest, TitleMarksUnsavedChangesUntilTheSceneIsSaved) {
    doc->SetModifiedFlag();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Mariso* - Ovalith"));
    prompts->fileAnswers = {Path("marked")};
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("marked - Ovalith"));
    // Unchanged, New and closing the window ask nothing.
    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(prompts->MessageTexts().empty());
}

// New, Open and closing the window with unsaved changes of a never-saved scene, for each answer:
// Yes saves under a chosen name and goes on (a cancelled name keeps the scene), No goes on without
// saving, Cancel keeps the scene as it is.
TEST_F(DocumentCommandsTest, UnsavedChangesAreOfferedForSavingBeforeTheSceneIsLetGo) {
    prompts->fileAnswers = {Path("other")};
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE));  // a scene for Open to read
    enum class Command { New, Open, Close };
    struct Row {
        Command command;
        int answer;
        std::optional<std::string> saveName;  // the name chooser's answer after Yes
        bool goesOn;
    } rows[] = {
        {Command::New, win::IDYES, "answer", true},   {Command::New, win::IDYES, std::nullopt, false},
        {Command::New, win::IDNO, {}, true},          {Command::New, win::IDCANCEL, {}, false},
        {Command::Open, win::IDYES, "answer", true},  {Command::Open, win::IDYES, std::nullopt, false},
        {Command::Open, win::IDNO, {}, true},         {Command::Open, win::IDCANCEL, {}, false},
        {Command::Close, win::IDYES, "answer", true}, {Command::Close, win::IDYES, std::nullopt, false},
        {Command::Close, win::IDNO, {}, true},        {Command::Close, win::IDCANCEL, {}, false},
    };
    for (const auto& r : rows) {
        const std::string what = "command " + std::to_string(static_cast<int>(r.command)) + " answer " +
                                 std::to_string(r.answer) + " name " + r.saveName.value_or("-");
        QFile::remove(QString::fromStdString(Path("answer.mrs")));
        ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
        doc->SetModifiedFlag();
        prompts->asked.clear();
        prompts->messageAnswers = {r.answer};
        prompts->fileAnswers.clear();
        if (r.answer == win::IDYES)
            prompts->fileAnswers.push_back(r.saveName ? std::optional(Path(r.saveName->c_str()))
                                                      : std::nullopt);
        if (r.command == Command::Open) prompts->fileAnswers.push_back(Path("other.mrs"));

        bool closed = false;
        switch (r.command) {
            case Command::New:
                ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
                break;
            case Command::Open:
                ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
                break;
            case Command::Close:
                frame->show();  // a closed window closes again only once shown
                closed = frame->close();
                break;
        }
        ASSERT_FALSE(prompts->asked.empty()) << what;
        EXPECT_EQ(prompts->asked[0].kind, "message") << what;
        EXPECT_EQ(prompts->asked[0].text, "変更を保存しますか?") << what;
        EXPECT_EQ(QFile::exists(QString::fromStdString(Path("answer.mrs"))), r.saveName.has_value()) << what;
        // Saved, or replaced by another scene; closing without saving leaves the changes unsaved.
        const bool replaced = r.goesOn && r.command != Command::Close;
        EXPECT_EQ(doc->IsModified(), !r.saveName && !replaced) << what;
        // A kept scene's title keeps its mark.
        const QString kept = QStringLiteral("Mariso* - Ovalith");
        if (r.command == Command::Close) {
            EXPECT_EQ(closed, r.goesOn) << what;
        } else if (r.command == Command::Open) {
            EXPECT_EQ(frame->windowTitle(), r.goesOn ? QStringLiteral("other - Ovalith") : kept) << what;
        } else if (!r.saveName) {
            EXPECT_EQ(frame->windowTitle(), r.goesOn ? QStringLiteral("Mariso - Ovalith") : kept) << what;
        }
    }
}

}  // namespace
