#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "app/SceneRecovery.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/Frame.h"
#include "platform/win/ScriptedPrompts.h"
#include "platform/win/UserPrompts.h"
#include "scene/MainDoc.h"
#include "scene/RecoveryFile.h"
#include "scene/SceneMessages.h"

namespace {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

// A frame and document as the application binds them, a recovery keeper on a test clock writing into
// a folder of the test, and a second "run" made the same way to find what the first left behind.
class SceneRecoveryTest : public ::testing::Test {
  protected:
    struct Run {
        std::unique_ptr<CMainFrame> frame = std::make_unique<CMainFrame>();
        std::unique_ptr<CMainDoc> doc = std::make_unique<CMainDoc>();
        std::unique_ptr<CSceneRecovery> recovery;
        ~Run() {
            recovery.reset();
            doc->ReleaseAllParts();
        }
    };

    void SetUp() override {
        GetApp()->ResetState();
        GetApp()->m_bShowSplash = false;
        run = StartRun();
    }
    void TearDown() override {
        run.reset();
        GetApp()->ResetState();
    }

    std::unique_ptr<Run> StartRun() {
        auto started = std::make_unique<Run>();
        BindDocumentCommands(*started->frame, *started->doc);
        EXPECT_TRUE(started->frame->RunCommand(ID_FILE_NEW));
        started->recovery =
            std::make_unique<CSceneRecovery>(*started->doc, folder, [this] { return now; });
        return started;
    }

    // The next start of the program: the run before it ends first (the frame publishes the library
    // objects the document uses).
    void Restart() {
        run.reset();
        run = StartRun();
    }

    // A change a person makes: the whole figure moved to x.
    void MoveFigure(float x) {
        ASSERT_NE(run->doc->GetCharacterRootFrame(), nullptr);
        run->doc->GetCharacterRootFrame()->SetPosition(nullptr, x, 0, 0);
        run->doc->SetModifiedFlag();
    }
    float FigureX(const CMainDoc& doc) const {
        rm::Vector at{};
        doc.GetCharacterRootFrame()->GetPosition(nullptr, &at);
        return at.x;
    }
    void PollAt(milliseconds time) {
        now = time;
        run->recovery->Poll();
    }

    // Sets a file's modification time `seconds` from now.
    static void SetFileTime(const std::string& path, int seconds) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime));
    }
    std::string Path(const char* name) const { return dir.path().toStdString() + "/" + name; }
    bool CopyExists() const { return QFile::exists(QString::fromStdString(folder + scene::kRecoveryFileName)); }
    QByteArray FileBytes(const std::string& path) const {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The figure's x in the copy, read by a document of its own.
    float FigureXInCopy() {
        CMainDoc reader;
        EXPECT_TRUE(reader.OnOpenDocument(folder + scene::kRecoveryFileName));
        const float x = FigureX(reader);
        reader.ReleaseAllParts();
        return x;
    }

    QTemporaryDir dir;
    std::string folder = dir.path().toStdString() + "/data/marisole/";
    milliseconds now{0};
    win::ScopedPrompts prompts;
    std::unique_ptr<Run> run;
};

TEST_F(SceneRecoveryTest, CopyIsWrittenOnceTheOldestUnwrittenChangeIsDueAndNeverWhileUnchanged) {
    PollAt(0ms);
    PollAt(CSceneRecovery::kWriteInterval * 5);
    EXPECT_FALSE(CopyExists()) << "a scene without changes is not copied";

    const milliseconds start = CSceneRecovery::kWriteInterval * 5;
    MoveFigure(3);
    PollAt(start);
    PollAt(start + CSceneRecovery::kWriteInterval - 1ms);
    EXPECT_FALSE(CopyExists()) << "written before the change was due";
    // A later change does not put the copy off.
    MoveFigure(4);
    PollAt(start + CSceneRecovery::kWriteInterval);
    ASSERT_TRUE(CopyExists());
    EXPECT_EQ(FigureXInCopy(), 4.0f);
    EXPECT_TRUE(run->doc->IsModified()) << "the copy is no save";
    EXPECT_EQ(run->frame->windowTitle(), QStringLiteral("Mariso* - Ovalith"));

    // Nothing changed since: the copy is not written again.
    ASSERT_TRUE(scene::RemoveRecoveryFile(folder));
    PollAt(start + CSceneRecovery::kWriteInterval * 4);
    EXPECT_FALSE(CopyExists());

    // The next change is copied an interval after it was first seen.
    const milliseconds later = start + CSceneRecovery::kWriteInterval * 5;
    MoveFigure(-2);
    PollAt(later);
    PollAt(later + CSceneRecovery::kWriteInterval / 2);
    EXPECT_FALSE(CopyExists());
    PollAt(later + CSceneRecovery::kWriteInterval);
    ASSERT_TRUE(CopyExists());
    EXPECT_EQ(FigureXInCopy(), -2.0f);
}

TEST_F(SceneRecoveryTest, CopyGoesBesideNothingOfThePersonsAndNamesTheSceneItBelongsTo) {
    prompts->fileAnswers = {Path("walk.mrs")};
    ASSERT_TRUE(run->frame->RunCommand(ID_FILE_SAVE));
    const QByteArray saved = FileBytes(Path("walk.mrs"));
    ASSERT_FALSE(saved.isEmpty());

    MoveFigure(5);
    PollAt(0ms);
    PollAt(CSceneRecovery::kWriteInterval);
    ASSERT_TRUE(CopyExists());
    EXPECT_EQ(FileBytes(Path("walk.mrs")), saved) << "the person's file is never written by the keeper";
    const auto left = scene::FindRecoveryFile(folder);
    ASSERT_TRUE(left.has_value());
    EXPECT_EQ(left->scenePath, Path("walk.mrs"));
    EXPECT_FALSE(left->superseded);
}

// Every way the changes are settled removes the copy; an unattended end writes it at once.
TEST_F(SceneRecoveryTest, SaveNewAndACleanExitRemoveTheCopyAnUnattendedEndWritesIt) {
    enum class End { Save, NewWithoutSaving, CleanExit, UnattendedEnd };
    for (const End end : {End::Save, End::NewWithoutSaving, End::CleanExit, End::UnattendedEnd}) {
        const std::string what = "end " + std::to_string(static_cast<int>(end));
        Restart();
        now = 0ms;
        MoveFigure(1);
        PollAt(0ms);
        PollAt(CSceneRecovery::kWriteInterval);
        ASSERT_TRUE(CopyExists()) << what;
        MoveFigure(7);  // not yet in the copy
        switch (end) {
            case End::Save:
                prompts->fileAnswers = {Path("saved.mrs")};
                ASSERT_TRUE(run->frame->RunCommand(ID_FILE_SAVE));
                PollAt(now + 1ms);
                break;
            case End::NewWithoutSaving:
                prompts->messageAnswers = {win::IDNO};
                ASSERT_TRUE(run->frame->RunCommand(ID_FILE_NEW));
                PollAt(now + 1ms);
                break;
            case End::CleanExit:
                run->recovery->Discard();
                break;
            case End::UnattendedEnd:
                run->recovery->WriteBeforeUnattendedEnd();
                break;
        }
        EXPECT_EQ(CopyExists(), end == End::UnattendedEnd) << what;
        if (end == End::UnattendedEnd) {
            EXPECT_EQ(FigureXInCopy(), 7.0f) << "the latest change is in the copy";
        }
        scene::RemoveRecoveryFile(folder);
    }
}

TEST_F(SceneRecoveryTest, CopyLeftByACrashIsOfferedAndRestoredAsTheUnsavedStateOfItsScene) {
    prompts->fileAnswers = {Path("walk.mrs")};
    ASSERT_TRUE(run->frame->RunCommand(ID_FILE_SAVE));
    // The save and the copy must be told apart by their file times.
    SetFileTime(Path("walk.mrs"), -60);
    MoveFigure(6);
    PollAt(0ms);
    PollAt(CSceneRecovery::kWriteInterval);
    ASSERT_TRUE(CopyExists());
    run.reset();  // the crash: no exit of any kind

    for (const int answer : {win::IDYES, win::IDNO}) {
        const std::string what = "answer " + std::to_string(answer);
        ASSERT_TRUE(CopyExists()) << what;
        const QDateTime written = QFileInfo(QString::fromStdString(folder + scene::kRecoveryFileName)).lastModified();
        Restart();
        prompts->asked.clear();
        prompts->messageAnswers = {answer};
        OfferLeftRecovery(*run->frame, *run->doc, *run->recovery);
        ASSERT_EQ(prompts->asked.size(), 1u) << what;
        const std::string& text = prompts->asked[0].text;
        EXPECT_NE(text.find("復元しますか?"), std::string::npos) << text;
        EXPECT_NE(text.find("walk.mrs"), std::string::npos) << text;
        EXPECT_NE(text.find(written.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")).toStdString()), std::string::npos)
            << text;
        EXPECT_EQ(prompts->asked[0].buttons, win::Buttons::YesNo);
        if (answer == win::IDNO) {
            EXPECT_FALSE(CopyExists()) << "No removes the copy";
            EXPECT_FALSE(run->doc->IsModified());
            EXPECT_EQ(FigureX(*run->doc), 0.0f);
            continue;
        }
        EXPECT_EQ(FigureX(*run->doc), 6.0f);
        EXPECT_TRUE(run->doc->IsModified());
        EXPECT_EQ(run->frame->windowTitle(), QStringLiteral("walk* - Ovalith"));
        EXPECT_TRUE(CopyExists()) << "kept until the changes are settled";
        // Save goes to the scene's own file without asking, and settles the copy.
        prompts->asked.clear();
        ASSERT_TRUE(run->frame->RunCommand(ID_FILE_SAVE));
        EXPECT_TRUE(prompts->asked.empty());
        PollAt(now + 1ms);
        EXPECT_FALSE(CopyExists());
        CMainDoc reader;
        ASSERT_TRUE(reader.OnOpenDocument(Path("walk.mrs")));
        EXPECT_EQ(FigureX(reader), 6.0f);
        reader.ReleaseAllParts();
        // Put the copy back for the next answer.
        MoveFigure(6);
        run->recovery->WriteBeforeUnattendedEnd();
        SetFileTime(Path("walk.mrs"), -60);
        run.reset();
    }
}

// Answers from the script, but first lets the keeper look at the document, as its timer does
// while a question waits for the person.
class PromptsPollingWhileAsking final : public win::UserPrompts {
  public:
    PromptsPollingWhileAsking(win::ScriptedPrompts& script, std::function<void()> poll)
        : m_script(script), m_poll(std::move(poll)) {}
    int ShowMessageBox(const win::MessageBoxRequest& request) override {
        m_poll();
        return m_script.ShowMessageBox(request);
    }
    std::optional<std::uint32_t> ChooseColor(QWidget* owner, std::uint32_t initial) override {
        return m_script.ChooseColor(owner, initial);
    }
    std::optional<std::string> ChooseOpenFile(const win::FileChooserRequest& r) override {
        return m_script.ChooseOpenFile(r);
    }
    std::optional<std::string> ChooseSaveFile(const win::FileChooserRequest& r) override {
        return m_script.ChooseSaveFile(r);
    }
    std::optional<std::string> PromptText(const win::TextPromptRequest& r) override { return m_script.PromptText(r); }
    bool IsShiftDown() override { return m_script.IsShiftDown(); }

  private:
    win::ScriptedPrompts& m_script;
    std::function<void()> m_poll;
};

// The next start's keeper looks at its own, unchanged document before the offer comes and while
// the question is open; the copy an earlier run left is not its to remove, so it is still there to
// be restored.
TEST_F(SceneRecoveryTest, CopyLeftByAnEarlierRunOutlivesTheNextRunsPollsUntilItIsOffered) {
    MoveFigure(4);
    run->recovery->WriteBeforeUnattendedEnd();
    ASSERT_TRUE(CopyExists());
    Restart();
    ASSERT_FALSE(run->doc->IsModified());
    for (int step = 0; step < 3; ++step) PollAt(CSceneRecovery::kWriteInterval * step);
    ASSERT_TRUE(CopyExists()) << "the new run's keeper removed the earlier run's copy";

    prompts->asked.clear();
    prompts->messageAnswers = {win::IDYES};
    int pollsWhileAsking = 0;
    auto script = win::InstallPrompts(std::make_unique<PromptsPollingWhileAsking>(*prompts, [&] {
        ++pollsWhileAsking;
        PollAt(now + CSceneRecovery::kPollInterval);
    }));
    OfferLeftRecovery(*run->frame, *run->doc, *run->recovery);
    win::InstallPrompts(std::move(script));
    EXPECT_EQ(pollsWhileAsking, 1);
    ASSERT_EQ(prompts->asked.size(), 1u) << prompts->MessageTexts().back();
    EXPECT_NE(prompts->asked[0].text.find("復元しますか?"), std::string::npos) << prompts->asked[0].text;
    EXPECT_EQ(FigureX(*run->doc), 4.0f) << "Yes restores the copy";
    EXPECT_TRUE(run->doc->IsModified());
    EXPECT_TRUE(CopyExists()) << "kept until the changes are settled";
}

TEST_F(SceneRecoveryTest, CopyOfASceneNeverSavedIsRestoredUntitled) {
    MoveFigure(2);
    run->recovery->WriteBeforeUnattendedEnd();
    ASSERT_TRUE(CopyExists());
    Restart();
    prompts->messageAnswers = {win::IDYES};
    OfferLeftRecovery(*run->frame, *run->doc, *run->recovery);
    EXPECT_EQ(FigureX(*run->doc), 2.0f);
    EXPECT_EQ(run->doc->GetPathName(), "");
    EXPECT_EQ(run->frame->windowTitle(), QStringLiteral("Mariso* - Ovalith"));
    // Its next save asks for a name.
    prompts->asked.clear();
    prompts->fileAnswers = {Path("named")};
    ASSERT_TRUE(run->frame->RunCommand(ID_FILE_SAVE));
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].kind, "save");
}

// A copy older than its scene file, or one that does not open, is removed; only the damaged one
// says why.
TEST_F(SceneRecoveryTest, SupersededOrDamagedCopyIsRemoved) {
    prompts->fileAnswers = {Path("walk.mrs")};
    ASSERT_TRUE(run->frame->RunCommand(ID_FILE_SAVE));
    MoveFigure(6);
    run->recovery->WriteBeforeUnattendedEnd();
    ASSERT_TRUE(CopyExists());
    SetFileTime(Path("walk.mrs"), 60);
    Restart();
    prompts->asked.clear();
    OfferLeftRecovery(*run->frame, *run->doc, *run->recovery);
    EXPECT_TRUE(prompts->asked.empty()) << "a superseded copy is not offered";
    EXPECT_FALSE(CopyExists());

    QFile damaged(QString::fromStdString(folder + scene::kRecoveryFileName));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("MRSCENE\x1A\x02\x00\x00\x00\xff\xff\xff\xff", 16);
    damaged.close();
    prompts->messageAnswers = {win::IDYES};
    OfferLeftRecovery(*run->frame, *run->doc, *run->recovery);
    ASSERT_EQ(prompts->asked.size(), 2u);
    EXPECT_EQ(prompts->asked[1].text, scene::msg::kDamagedFile);
    EXPECT_FALSE(CopyExists());
    EXPECT_FALSE(run->doc->IsModified());
}

TEST_F(SceneRecoveryTest, CopyThatCannotBeWrittenIsReportedOnceUntilAWriteSucceeds) {
    // A plain file where the folder should be.
    QDir().mkpath(dir.path() + "/data");
    QFile blocker(QString::fromStdString(folder.substr(0, folder.size() - 1)));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    std::vector<std::string> reports;
    run->recovery->SetFailureReport([&reports](const std::string& text) { reports.push_back(text); });

    MoveFigure(1);
    for (int step = 0; step <= 4; ++step) PollAt(CSceneRecovery::kWriteInterval * step);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("recovery.mrs"), std::string::npos) << reports[0];
    EXPECT_TRUE(run->doc->IsModified());

    ASSERT_TRUE(blocker.remove());
    MoveFigure(2);
    PollAt(CSceneRecovery::kWriteInterval * 6);
    ASSERT_TRUE(CopyExists()) << "written once the folder can be made";
    ASSERT_TRUE(QDir(QString::fromStdString(folder)).removeRecursively());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MoveFigure(3);
    PollAt(CSceneRecovery::kWriteInterval * 7);
    PollAt(CSceneRecovery::kWriteInterval * 8);
    EXPECT_EQ(reports.size(), 2u) << "a new failure after a success is reported again";
}

}  // namespace
