#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ArchiveFixtures.h"
#include "SampleData.h"
#include "archive/ArchiveIndex.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveVolumeSource.h"
#include "archive/Communicator.h"
#include "archive/FolderSource.h"
#include "archive/TerminalPrompts.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

using fixture::B;
using fixture::Bytes;

class CommunicatorTest : public ::testing::Test {
  protected:
    CommunicatorTest() {
        app.Write("src1/light.txt", "light one");
        app.Write("src1/Shared.txt", "from volume 1");
        app.Write("src1/body/ArmL/plist.txt", "arm list");
        app.Write("src1/empty.txt", "");
        app.Write("src1/PICTURE.BMP", picture);
        app.Write("src2/SHARED.TXT", "from volume 2");
        app.Write("src2/only2.x", mesh);
    }

    void BuildBoth() {
        ASSERT_TRUE(fixture::BuildVolume(app.Path("src1/"), app.Root(), "disk1"));
        ASSERT_TRUE(fixture::BuildVolume(app.Path("src2/"), app.Root(), "disk2"));
    }

    void Open() {
        ArchiveContext context;
        context.appFolder = app.Root();
        context.setupPath = app.Path("setup");
        context.makeBuildProgress = [this] {
            ++progressMade;
            return std::make_unique<RecordingProgress>();
        };
        archive.Open(app.Path("disk1.vd|") + app.Path("disk2.vd|"), app.Path("src1/|") + app.Path("src2/|"),
                     kCompressionFilter, context);
    }

    std::string Read(const std::string& name) {
        std::size_t length = 99;
        const char* p = archive.Read(name, length);
        if (!p) {
            EXPECT_EQ(length, 0u);
            return "<null>";
        }
        EXPECT_EQ(p[length], '\0') << name;
        return std::string(p, length);
    }

    // Source `i` when it is of kind T, else null.
    template <typename T>
    const T* SourceAs(std::size_t i) {
        return i < archive.SourceCount() ? dynamic_cast<const T*>(archive.Source(i)) : nullptr;
    }

    fixture::TempTree app;
    Bytes mesh = sample::MeshText(30000, 3);
    Bytes picture = Bytes(5000, 0x42);
    win::ScopedPrompts prompts;
    CCommunicator archive;
    int progressMade = 0;
};

TEST_F(CommunicatorTest, ReadsBothVolumesAndVolumeOneWins) {
    BuildBoth();
    Open();
    EXPECT_TRUE(prompts->asked.empty());
    ASSERT_TRUE(SourceAs<CArchiveVolumeSource>(0));
    ASSERT_TRUE(SourceAs<CArchiveVolumeSource>(1));
    EXPECT_EQ(Read("light.txt"), "light one");
    EXPECT_EQ(Read("SHARED.TXT"), "from volume 1");
    EXPECT_EQ(Read("Only2.X"), std::string(mesh.begin(), mesh.end()));
    EXPECT_EQ(Read("body\\arml\\PLIST.txt"), "arm list");
    EXPECT_EQ(Read("NOWHERE.TXT"), "<null>");
    EXPECT_TRUE(prompts->asked.empty());
}

TEST_F(CommunicatorTest, CompressedAndStoredEntriesAndAnEmptyFile) {
    BuildBoth();
    Open();
    std::size_t length = 0;
    // ONLY2.X is stored compressed: the reader returns its uncompressed length.
    const char* text = archive.Read("ONLY2.X", length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(length, mesh.size());
    EXPECT_LT(std::filesystem::file_size(app.Path("disk2.vd")), mesh.size());
    // PICTURE.BMP is not in the filter: stored as it is.
    EXPECT_EQ(Read("picture.bmp"), std::string(picture.begin(), picture.end()));
    // A file of no bytes: a valid pointer to a single zero byte.
    const char* empty = archive.Read("EMPTY.TXT", length);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(empty[0], '\0');
}

TEST_F(CommunicatorTest, InsertDiscQuestionRetryThenCancel) {
    BuildBoth();
    Open();
    std::filesystem::rename(app.Path("disk2.vd"), app.Path("away.vd"));  // the disc is out
    prompts->messageAnswers = {win::IDRETRY, win::IDCANCEL};
    EXPECT_EQ(Read("ONLY2.X"), "<null>");
    ASSERT_EQ(prompts->asked.size(), 2u);
    for (const auto& q : prompts->asked) {
        EXPECT_EQ(q.text, archive::msg::kInsertDisc);
        EXPECT_EQ(q.buttons, win::Buttons::RetryCancel);
    }
    // Names of volume 1 do not need the disc.
    EXPECT_EQ(Read("LIGHT.TXT"), "light one");
    EXPECT_EQ(prompts->asked.size(), 2u);
}

// Puts the disc back when asked, then answers Retry (and answers nothing else).
std::ostringstream unusedOutput;
class InsertingPrompts final : public TerminalPrompts {
  public:
    InsertingPrompts(std::string from, std::string to)
        : TerminalPrompts(unusedOutput), m_from(std::move(from)), m_to(std::move(to)) {}
    int questions = 0;
    int ShowMessageBox(const win::MessageBoxRequest&) override {
        ++questions;
        std::filesystem::rename(m_from, m_to);
        return win::IDRETRY;
    }

  private:
    std::string m_from, m_to;
};

TEST_F(CommunicatorTest, RetryAfterInsertingTheDiscReturnsTheFile) {
    BuildBoth();
    Open();
    std::filesystem::rename(app.Path("disk2.vd"), app.Path("away.vd"));
    auto inserting = std::make_unique<InsertingPrompts>(app.Path("away.vd"), app.Path("disk2.vd"));
    InsertingPrompts* seen = inserting.get();
    auto previous = win::InstallPrompts(std::move(inserting));
    EXPECT_EQ(Read("ONLY2.X"), std::string(mesh.begin(), mesh.end()));
    EXPECT_EQ(seen->questions, 1);
    win::InstallPrompts(std::move(previous));
}

TEST_F(CommunicatorTest, VolumeOneByteShortIsServedFromItsFallbackFolder) {
    BuildBoth();
    const auto size = std::filesystem::file_size(app.Path("disk1.vd"));
    std::filesystem::resize_file(app.Path("disk1.vd"), size - 1);
    Open();
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].text, archive::msg::kBrokenVolume);
    EXPECT_EQ(prompts->asked[0].caption, archive::msg::kBrokenVolumeCaption);
    EXPECT_EQ(prompts->shiftQueries, 1);
    EXPECT_TRUE(SourceAs<CFolderSource>(0));
    EXPECT_TRUE(SourceAs<CArchiveVolumeSource>(1));
    // The folder holds body/ArmL/plist.txt: found whatever the case of its folders and file.
    EXPECT_EQ(Read("BODY\\ARML\\PLIST.TXT"), "arm list");
    EXPECT_EQ(Read("shared.txt"), "from volume 1");
    EXPECT_EQ(Read("ONLY2.X"), std::string(mesh.begin(), mesh.end()));
    EXPECT_EQ(progressMade, 0);
}

TEST_F(CommunicatorTest, FolderSourceAsksForTheDiscOnlyWhenItsFolderIsOut) {
    BuildBoth();
    std::filesystem::remove(app.Path("disk1.vd"));
    Open();
    prompts->asked.clear();
    EXPECT_EQ(Read("NOT\\THERE.TXT"), "<null>");  // the folder is there: no question
    EXPECT_TRUE(prompts->asked.empty());
    std::filesystem::rename(app.Path("src1"), app.Path("src1-out"));
    prompts->messageAnswers = {win::IDCANCEL};
    EXPECT_EQ(Read("LIGHT.TXT"), "<null>");
    EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{archive::msg::kInsertDisc});
    std::filesystem::rename(app.Path("src1-out"), app.Path("src1"));
    EXPECT_EQ(Read("LIGHT.TXT"), "light one");
}

TEST_F(CommunicatorTest, FolderSourceRefusesNamesThatLeaveTheFolder) {
    BuildBoth();
    std::filesystem::remove(app.Path("disk1.vd"));
    app.Write("secret.txt", "outside");
    Open();
    prompts->asked.clear();
    for (const char* name : {"..\\secret.txt", "\\secret.txt", ".\\..\\secret.txt"})
        EXPECT_EQ(Read(name), "<null>") << name;
    EXPECT_TRUE(prompts->asked.empty());
}

TEST_F(CommunicatorTest, ShiftAtAVolumeErrorRebuildsTheVolumeFromItsFallbackFolder) {
    app.Write("disk1.vd", "not a volume");
    ASSERT_TRUE(fixture::BuildVolume(app.Path("src2/"), app.Root(), "disk2"));
    prompts->shiftAnswers = {true};
    Open();
    EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{archive::msg::kBrokenVolume});
    EXPECT_EQ(progressMade, 1);
    const auto* rebuilt = SourceAs<CArchiveVolumeSource>(0);
    ASSERT_NE(rebuilt, nullptr) << "volume 1 is served by a volume again";
    EXPECT_TRUE(CArchiveVolumeSource::IsUsableVolume(app.Path("disk1.vd")));
    EXPECT_GT(rebuilt->EntryCount(), 0u);
    std::filesystem::remove_all(app.Path("src1"));  // now served by the volume, not the folder
    EXPECT_EQ(Read("BODY\\ARML\\PLIST.TXT"), "arm list");
    EXPECT_EQ(Read("SHARED.TXT"), "from volume 1");
}

TEST_F(CommunicatorTest, ShiftWithoutAUsableSourceFolderKeepsTheVolumeRefused) {
    BuildBoth();
    const auto size = std::filesystem::file_size(app.Path("disk1.vd"));
    std::filesystem::resize_file(app.Path("disk1.vd"), size - 1);
    prompts->shiftAnswers = {true};
    ArchiveContext context;
    context.appFolder = app.Root();
    archive.Open(app.Path("disk1.vd|"), app.Path("gone/|"), kCompressionFilter, context);
    EXPECT_EQ(prompts->MessageTexts(),
              (std::vector<std::string>{archive::msg::kBrokenVolume, archive::msg::kBadOutputName}));
    EXPECT_TRUE(SourceAs<CFolderSource>(0));
    EXPECT_EQ(std::filesystem::file_size(app.Path("disk1.vd")), size - 1);
}

TEST_F(CommunicatorTest, InconsistentIndexIsReportedAndTheFallbackFolderUsed) {
    BuildBoth();
    Bytes index = fixture::ReadFile(app.Path("disk1.VDH"));
    fixture::PutU32(index, 28, 1000);  // more entries than the index holds
    fixture::WriteFile(app.Path("disk1.VDH"), index);
    Open();
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].text, archive::msg::kInconsistentIndex);
    EXPECT_EQ(prompts->asked[0].caption, archive::msg::kInternalErrorCaption);
    EXPECT_TRUE(SourceAs<CFolderSource>(0));
    EXPECT_EQ(Read("LIGHT.TXT"), "light one");
}

TEST_F(CommunicatorTest, MissingIndexGivesAVolumeWithoutFiles) {
    BuildBoth();
    std::filesystem::remove(app.Path("disk1.VDH"));
    Open();
    EXPECT_TRUE(prompts->asked.empty());
    ASSERT_TRUE(SourceAs<CArchiveVolumeSource>(0));
    EXPECT_EQ(Read("SHARED.TXT"), "from volume 2");
    EXPECT_EQ(Read("LIGHT.TXT"), "<null>");
    EXPECT_TRUE(prompts->asked.empty());
}

TEST_F(CommunicatorTest, IndexIsFoundWhateverTheCaseOfItsExtension) {
    BuildBoth();
    std::filesystem::rename(app.Path("disk1.VDH"), app.Path("disk1.vdh"));
    Open();
    EXPECT_EQ(Read("LIGHT.TXT"), "light one");
}

TEST_F(CommunicatorTest, VolumeMissingFromItsPathIsTakenFromTheSetupFolder) {
    BuildBoth();
    std::filesystem::create_directories(app.Path("setup"));
    std::filesystem::rename(app.Path("disk1.vd"), app.Path("setup/disk1.vd"));
    Open();
    EXPECT_TRUE(prompts->asked.empty());
    const auto* volume = SourceAs<CArchiveVolumeSource>(0);
    ASSERT_NE(volume, nullptr) << "volume 1 is served by a volume";
    EXPECT_EQ(volume->VolumePath(), app.Path("setup/disk1.vd"));
    EXPECT_EQ(Read("LIGHT.TXT"), "light one");
}

TEST_F(CommunicatorTest, DamagedCompressedEntryGivesNullWithoutAsking) {
    BuildBoth();
    Bytes volume = fixture::ReadFile(app.Path("disk2.vd"));
    const auto index = archive::ArchiveIndex::Parse(volume, volume.size());
    ASSERT_TRUE(index);
    const archive::EntryRecord* record = index->Find("ONLY2.X");
    ASSERT_TRUE(record && record->IsCompressed());
    // Overwrite its code stream (after the 8-byte stream header).
    const std::size_t at = index->Header().dataAreaOffset + record->dataOffset;
    for (std::size_t i = at + 8; i < at + 40; ++i) volume[i] = 0xFF;
    fixture::WriteFile(app.Path("disk2.vd"), volume);
    Open();
    EXPECT_EQ(Read("ONLY2.X"), "<null>");
    EXPECT_TRUE(prompts->asked.empty());
}

TEST_F(CommunicatorTest, VolumeWithoutFallbackEntryAndUnusableIsLeftOut) {
    BuildBoth();
    std::filesystem::remove(app.Path("disk2.vd"));
    ArchiveContext context;
    context.appFolder = app.Root();
    archive.Open(app.Path("disk1.vd|") + app.Path("disk2.vd|"), app.Path("src1/|"), kCompressionFilter,
                 context);
    EXPECT_EQ(archive.SourceCount(), 1u);
    archive.Close();
    EXPECT_EQ(archive.SourceCount(), 0u);
    EXPECT_EQ(Read("LIGHT.TXT"), "<null>");
}

TEST_F(CommunicatorTest, Utf8FallbackFoldersKeepVolumeTwosEntry) {
    // Volume 2 is out and its fallback follows a folder whose name ends in a UTF-8 character.
    BuildBoth();
    std::filesystem::remove(app.Path("disk2.vd"));
    std::filesystem::rename(app.Path("src1"), app.Path("src1あ"));
    std::filesystem::rename(app.Path("src2"), app.Path("src2い"));
    ArchiveContext context;
    context.appFolder = app.Root();
    archive.Open(app.Path("disk1.vd|") + app.Path("disk2.vd|"), app.Path("src1あ|") + app.Path("src2い|"),
                 kCompressionFilter, context);
    ASSERT_EQ(archive.SourceCount(), 2u);
    EXPECT_TRUE(SourceAs<CFolderSource>(1));
    EXPECT_EQ(Read("ONLY2.X"), std::string(mesh.begin(), mesh.end()));
    EXPECT_EQ(Read("LIGHT.TXT"), "light one");
}

}  // namespace
