#include <gtest/gtest.h>

#include <filesystem>

#include "ArchiveFixtures.h"
#include "SampleData.h"
#include "archive/ArchiveBuilder.h"
#include "archive/ArchiveContext.h"
#include "archive/ArchiveIndex.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveVolumeSource.h"
#include "archive/Communicator.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

using fixture::B;
using fixture::Bytes;

class ArchiveBuilderTest : public ::testing::Test {
  protected:
    BuildResult Build(const std::string& stem = "disk1") {
        CArchiveBuilder builder(progress);
        return builder.Build(tree.Path("src"), kCompressionFilter, VolumeFileFor(tree.Path("out/"), stem),
                             IndexFileFor(tree.Path("out/"), stem));
    }
    archive::ArchiveIndex Index(const std::string& file = "out/disk1.VDH") {
        const Bytes bytes = fixture::ReadFile(tree.Path(file));
        auto index = archive::ArchiveIndex::Parse(bytes, bytes.size());
        EXPECT_TRUE(index) << file;
        return index ? *index : archive::ArchiveIndex();
    }

    fixture::TempTree tree;
    RecordingProgress progress;
    win::ScopedPrompts prompts;

    void SetUp() override { std::filesystem::create_directories(tree.Path("out")); }
};

TEST_F(ArchiveBuilderTest, EmptySourceFolderGivesThe126ByteVolume) {
    std::filesystem::create_directories(tree.Path("src"));
    ASSERT_EQ(Build(), BuildResult::Built);
    const Bytes volume = fixture::ReadFile(tree.Path("out/disk1.vd"));
    ASSERT_EQ(volume.size(), 126u);
    EXPECT_EQ(fixture::ReadFile(tree.Path("out/disk1.VDH")), volume);
    EXPECT_EQ(fixture::U32At(volume, 0), 124u);
    EXPECT_EQ(std::string(volume.begin() + 4, volume.begin() + 11), std::string("VD_01%\0", 7));
    EXPECT_EQ(fixture::U32At(volume, 20), 126u);  // total length
    EXPECT_EQ(fixture::U32At(volume, 24), 1u);    // format flag
    EXPECT_EQ(fixture::U32At(volume, 28), 0u);    // entries
    EXPECT_EQ(fixture::U32At(volume, 32), 2u);    // name table: the count 0
    EXPECT_EQ(fixture::U32At(volume, 40), 126u);  // data area
    EXPECT_EQ(volume[124], 0);
    EXPECT_EQ(volume[125], 0);
}

TEST_F(ArchiveBuilderTest, CompressesFilteredExtensionsOnlyWhenThatMakesThemSmaller) {
    std::string repetitive;
    while (repetitive.size() < 10000) repetitive += "Mesh { 3; 0.0;1.0;0.0;, } ";
    repetitive.resize(10000);
    tree.Write("src/A.X", repetitive);
    tree.Write("src/B.BMP", repetitive);                    // would compress, but is not in the filter
    tree.Write("src/C.TXT", sample::RandomBytes(3000, 5));  // in the filter, but does not shrink
    tree.Write("src/d.txt", "short text, short text, short text, short text");
    ASSERT_EQ(Build(), BuildResult::Built);
    const auto index = Index();
    struct Row {
        const char* name;
        bool compressed;
        std::uint32_t size;
    } rows[] = {{"A.X", true, 10000}, {"B.BMP", false, 10000}, {"C.TXT", false, 3000}};
    for (const auto& r : rows) {
        const archive::EntryRecord* record = index.Find(r.name);
        ASSERT_NE(record, nullptr) << r.name;
        EXPECT_EQ(record->IsCompressed(), r.compressed) << r.name;
        if (r.compressed) {
            EXPECT_LT(record->storedSize, r.size) << r.name;
        } else {
            EXPECT_EQ(record->storedSize, r.size) << r.name;
        }
    }
    EXPECT_EQ(index.Find("A.X")->dataOffset, 0u);
    EXPECT_EQ(index.Find("B.BMP")->dataOffset, index.Find("A.X")->storedSize);
    EXPECT_EQ(index.Header().largestSize, 10000u);
}

TEST_F(ArchiveBuilderTest, VolumePassesTheCheckAndEveryEntryReadsBackIdentical) {
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"src/light.txt", B("LIGHT 1\r\n")},
        {"src/Body/ArmL/plist.txt", B("arm.x 0\r\n")},
        {"src/Body/ArmL/arm.x", sample::MeshText(50000, 8)},
        {"src/Body/ArmL/arm_2.x", sample::MeshText(7000, 9)},
        {"src/texture/eye.bmp", sample::RandomBytes(4000, 10)},
        {"src/empty.txt", {}},
        {"src/notes.txt", sample::RandomBytes(100, 12)},
    };
    for (const auto& [path, bytes] : files) tree.Write(path, bytes);
    ASSERT_EQ(Build(), BuildResult::Built);
    const Bytes volume = fixture::ReadFile(tree.Path("out/disk1.vd"));
    EXPECT_EQ(fixture::U32At(volume, 20), volume.size());
    EXPECT_TRUE(CArchiveVolumeSource::IsUsableVolume(tree.Path("out/disk1.vd")));
    // The index is the volume without its data area.
    const Bytes index = fixture::ReadFile(tree.Path("out/disk1.VDH"));
    EXPECT_EQ(index.size(), fixture::U32At(volume, 40));
    EXPECT_EQ(Bytes(volume.begin(), volume.begin() + static_cast<std::ptrdiff_t>(index.size())), index);

    ArchiveContext context;
    context.appFolder = tree.Path("out/");
    CCommunicator archive;
    archive.Open(tree.Path("out/disk1.vd|"), "", kCompressionFilter, context);
    for (const auto& [path, bytes] : files) {
        std::string name = path.substr(4);
        for (char& c : name)
            c = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::size_t length = 0;
        const char* p = archive.Read(name, length);
        ASSERT_NE(p, nullptr) << name;
        EXPECT_EQ(Bytes(p, p + length), bytes) << name;
    }
    EXPECT_TRUE(prompts->asked.empty());
}

TEST_F(ArchiveBuilderTest, SameTreeGivesTheSameBytes) {
    tree.Write("src/b/one.x", sample::MeshText(9000, 1));
    tree.Write("src/a.txt", "a");
    tree.Write("src/B.TXT", "b");
    tree.Write("src/c/d/e.txt", "deep");
    ASSERT_EQ(Build("first"), BuildResult::Built);
    ASSERT_EQ(Build("second"), BuildResult::Built);
    EXPECT_EQ(fixture::ReadFile(tree.Path("out/first.vd")), fixture::ReadFile(tree.Path("out/second.vd")));
}

TEST_F(ArchiveBuilderTest, NamesDifferingOnlyInCaseKeepTheFirstFile) {
    tree.Write("src/A.TXT", "upper");
    tree.Write("src/a.txt", "lower");
    ASSERT_EQ(Build(), BuildResult::Built);
    EXPECT_EQ(Index().Size(), 1u);
    EXPECT_EQ(fixture::U32At(fixture::ReadFile(tree.Path("out/disk1.vd")), 28), 1u);
}

TEST_F(ArchiveBuilderTest, ReportsProgressInItsSteps) {
    tree.Write("src/a.txt", Bytes(3000, 'a'));
    ASSERT_EQ(Build(), BuildResult::Built);
    const std::vector<std::string> titles = {archive::msg::kBuildTitle,  archive::msg::kMeasuringTitle,
                                             archive::msg::kHeaderTitle, archive::msg::kMappingTitle,
                                             archive::msg::kHeaderTitle, archive::msg::kMappingTitle,
                                             archive::msg::kDataTitle};
    EXPECT_EQ(progress.titles, titles);
    const std::string line = "0000: 2(KB) " + tree.Path("src/a.txt");
    EXPECT_EQ(std::count(progress.texts.begin(), progress.texts.end(), line), 2);
}

// A file the builder cannot take: larger than any entry the reader accepts (sparse, so it costs no
// disk space).
void WriteOversized(const std::string& path) {
    fixture::WriteFile(path, {});
    std::filesystem::resize_file(path, std::uintmax_t{archive::kMaxEntrySize} + 1);
}

// Removes a file once the files are listed, so that it cannot be opened when it is measured.
class VanishingProgress final : public ProgressSink {
  public:
    explicit VanishingProgress(std::string path) : m_path(std::move(path)) {}
    void SetTitle(const std::string& text) override {
        if (text == archive::msg::kMeasuringTitle) std::filesystem::remove(m_path);
    }
    void SetText(const std::string&) override {}
    void SetRange(int, int) override {}
    void SetPos(int) override {}

  private:
    std::string m_path;
};

TEST_F(ArchiveBuilderTest, FileThatCannotBeOpenedIsRetriedIgnoredOrStopsTheBuild) {
    tree.Write("src/a.txt", "kept");
    tree.Write("out/disk1.vd", "previous volume");

    struct Row {
        std::deque<int> answers;
        BuildResult result;
        std::size_t questions;
    } rows[] = {
        {{win::IDABORT}, BuildResult::Stopped, 1},
        {{win::IDRETRY, win::IDRETRY, win::IDABORT}, BuildResult::Stopped, 3},
        {{win::IDRETRY, win::IDIGNORE}, BuildResult::Built, 2},
    };
    for (const auto& r : rows) {
        tree.Write("src/gone.bmp", "listed, then removed");
        prompts->asked.clear();
        prompts->messageAnswers = r.answers;
        VanishingProgress vanishing(tree.Path("src/gone.bmp"));
        CArchiveBuilder builder(vanishing);
        EXPECT_EQ(
            builder.Build(tree.Path("src"), kCompressionFilter, VolumeFileFor(tree.Path("out/"), "disk1"),
                          IndexFileFor(tree.Path("out/"), "disk1")),
            r.result);
        ASSERT_EQ(prompts->asked.size(), r.questions);
        EXPECT_EQ(prompts->asked[0].text, tree.Path("src/gone.bmp"));
        EXPECT_EQ(prompts->asked[0].caption, archive::msg::kCannotOpenCaption);
        EXPECT_EQ(prompts->asked[0].buttons, win::Buttons::AbortRetryIgnore);
        if (r.result == BuildResult::Stopped) {
            EXPECT_EQ(fixture::ReadFile(tree.Path("out/disk1.vd")), B("previous volume"));
        }
    }
    const auto index = Index();
    EXPECT_EQ(index.Size(), 1u);
    EXPECT_NE(index.Find("A.TXT"), nullptr);
}

// Retry could never make a file smaller: the question says the file is too large and names the
// limit; yes goes on without it, no stops the build.
TEST_F(ArchiveBuilderTest, FileOverTheEntryLimitIsToldTooLargeAndLeftOutOrStopsTheBuild) {
    tree.Write("src/a.txt", "kept");
    WriteOversized(tree.Path("src/huge.bmp"));
    tree.Write("out/disk1.vd", "previous volume");
    struct Row {
        int answer;
        BuildResult result;
    } rows[] = {{win::IDNO, BuildResult::Stopped}, {win::IDYES, BuildResult::Built}};
    for (const auto& r : rows) {
        prompts->asked.clear();
        prompts->messageAnswers = {r.answer};
        EXPECT_EQ(Build(), r.result);
        ASSERT_EQ(prompts->asked.size(), 1u);
        const auto& question = prompts->asked[0];
        EXPECT_EQ(question.caption, archive::msg::kTooLargeCaption);
        EXPECT_EQ(question.buttons, win::Buttons::YesNo);
        EXPECT_EQ(question.text.rfind(tree.Path("src/huge.bmp"), 0), 0u) << question.text;
        EXPECT_NE(question.text.find("256 MB"), std::string::npos) << question.text;
        EXPECT_NE(question.text.find("大きすぎる"), std::string::npos) << question.text;
        if (r.result == BuildResult::Stopped) {
            EXPECT_EQ(fixture::ReadFile(tree.Path("out/disk1.vd")), B("previous volume"));
        }
    }
    const auto index = Index();
    EXPECT_EQ(index.Size(), 1u);
    EXPECT_NE(index.Find("A.TXT"), nullptr);
}

// A folder reached through a link is packed under the link's name, like a folder of the tree.
TEST_F(ArchiveBuilderTest, LinkedFolderIsPackedLikeAFolder) {
    tree.Write("src/a.txt", "a");
    tree.Write("shared/b.x", "mesh b");
    tree.Write("shared/sub/c.txt", "text c");
    std::filesystem::create_directory_symlink(tree.Path("shared"), tree.Path("src/linked"));
    std::filesystem::create_directory_symlink("../shared/sub", tree.Path("src/relative"));
    ASSERT_EQ(Build(), BuildResult::Built);
    EXPECT_TRUE(prompts->asked.empty());
    const auto index = Index();
    struct Row {
        const char* name;
        std::uint32_t size;
    } rows[] = {{"A.TXT", 1}, {"LINKED\\B.X", 6}, {"LINKED\\SUB\\C.TXT", 6}, {"RELATIVE\\C.TXT", 6}};
    for (const auto& r : rows) {
        const archive::EntryRecord* record = index.Find(r.name);
        ASSERT_NE(record, nullptr) << r.name;
        EXPECT_EQ(record->storedSize, r.size) << r.name;
    }
    EXPECT_EQ(index.Size(), std::size(rows));
}

// A link back to a folder on its own way down would repeat the tree without end: it is reported
// once, even when the folder holding it is reached a second time through another link, and the
// rest of the tree is packed.
TEST_F(ArchiveBuilderTest, LinkCycleEndsWithOneMessage) {
    tree.Write("src/a.txt", "a");
    tree.Write("src/sub/b.txt", "b");
    std::filesystem::create_directory_symlink(tree.Path("src"), tree.Path("src/sub/loop"));
    std::filesystem::create_directory_symlink(tree.Path("src/sub"), tree.Path("src/again"));
    ASSERT_EQ(Build(), BuildResult::Built);
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].caption, archive::msg::kLinkCycleCaption);
    EXPECT_EQ(prompts->asked[0].text.rfind(tree.Path("src/"), 0), 0u);
    EXPECT_NE(prompts->asked[0].text.find("loop"), std::string::npos) << prompts->asked[0].text;
    const auto index = Index();
    for (const char* name : {"A.TXT", "SUB\\B.TXT", "AGAIN\\B.TXT"})
        EXPECT_NE(index.Find(name), nullptr) << name;
    EXPECT_EQ(index.Size(), 3u);
}

TEST_F(ArchiveBuilderTest, ExistingIndexOfAnotherCaseIsReplacedInPlace) {
    tree.Write("src/a.txt", "a");
    tree.Write("out/disk1.vdh", "old index");
    ASSERT_EQ(Build(), BuildResult::Built);
    EXPECT_FALSE(std::filesystem::exists(tree.Path("out/disk1.VDH")));
    Index("out/disk1.vdh");
}

TEST_F(ArchiveBuilderTest, UnwritableTargetIsReportedAndNothingIsReplaced) {
    tree.Write("src/a.txt", "a");
    std::filesystem::create_directories(tree.Path("out/disk1.vd"));  // a folder where the volume goes
    EXPECT_EQ(Build(), BuildResult::NotWritten);
    EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{tree.Path("out/disk1.vd")});
    EXPECT_EQ(prompts->asked[0].caption, archive::msg::kCannotCreateCaption);
    EXPECT_FALSE(std::filesystem::exists(tree.Path("out/disk1.VDH")));
}

TEST_F(ArchiveBuilderTest, MaintenanceEntryChecksItsFolders) {
    tree.Write("src/a.txt", "a");
    struct Row {
        std::string appFolder, source;
        bool result;
        const char* message;
    } rows[] = {
        {"", tree.Path("src/"), false, archive::msg::kNotInitialised},
        {tree.Path("out/"), "", false, archive::msg::kBadOutputName},
        {tree.Path("out/"), tree.Path("nothing/"), false, archive::msg::kBadOutputName},
        {tree.Path("out/"), tree.Path("src/"), true, nullptr},
    };
    for (const auto& r : rows) {
        prompts->asked.clear();
        BuildResult outcome = BuildResult::Built;
        EXPECT_EQ(BuildArchive("/elsewhere/disk1.vd", r.source, kCompressionFilter, r.appFolder, progress,
                               &outcome),
                  r.result);
        if (r.message) {
            EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{r.message});
            EXPECT_EQ(outcome, BuildResult::BadArguments);
        } else {
            EXPECT_TRUE(prompts->asked.empty());
            EXPECT_EQ(outcome, BuildResult::Built);
        }
    }
    EXPECT_TRUE(CArchiveVolumeSource::IsUsableVolume(tree.Path("out/disk1.vd")));
}

}  // namespace

namespace {

// Changes a source file when the data area is about to be written.
class ChangingProgress final : public ProgressSink {
public:
    explicit ChangingProgress(std::string path) : m_path(std::move(path)) {}
    void SetTitle(const std::string& text) override {
        if (text == archive::msg::kDataTitle) fixture::WriteFile(m_path, fixture::B("changed"));
    }
    void SetText(const std::string&) override {}
    void SetRange(int, int) override {}
    void SetPos(int) override {}

private:
    std::string m_path;
};

TEST(ArchiveBuilderTreeChange, FileChangedWhileBuildingLeavesThePreviousFilesInPlace) {
    fixture::TempTree tree;
    win::ScopedPrompts prompts;
    tree.Write("src/a.txt", "a");
    tree.Write("src/b.bmp", "original picture");
    tree.Write("out/disk1.vd", "previous volume");
    tree.Write("out/disk1.VDH", "previous index");
    ChangingProgress progress(tree.Path("src/b.bmp"));
    CArchiveBuilder builder(progress);
    EXPECT_EQ(builder.Build(tree.Path("src"), kCompressionFilter, tree.Path("out/disk1.vd"), tree.Path("out/disk1.VDH")),
              BuildResult::NotWritten);
    EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{tree.Path("src/b.bmp")});
    EXPECT_EQ(fixture::ReadFile(tree.Path("out/disk1.vd")), B("previous volume"));
    EXPECT_EQ(fixture::ReadFile(tree.Path("out/disk1.VDH")), B("previous index"));
}

}  // namespace
