#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ArchiveFixtures.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveVolumeSource.h"
#include "archive/VolumeHeader.h"
#include "archive/BuildArchiveCommand.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

TEST(BuildArchiveCommand, WritesVolumeAndIndexAndPrintsProgress) {
    fixture::TempTree tree;
    tree.Write("src/Body/plist.txt", "x 0");
    tree.Write("src/light.txt", "light");
    std::ostringstream out;
    EXPECT_EQ(RunBuildArchiveCommand(tree.Path("src"), tree.Path("out/disk1.vd"), out), 0);
    EXPECT_TRUE(CArchiveVolumeSource::IsUsableVolume(tree.Path("out/disk1.vd")));
    EXPECT_TRUE(std::filesystem::exists(tree.Path("out/disk1.VDH")));
    const std::string printed = out.str();
    EXPECT_NE(printed.find(std::string("== ") + archive::msg::kDataTitle), std::string::npos);
    EXPECT_NE(printed.find("BODY\\PLIST.TXT"), std::string::npos);
    EXPECT_NE(printed.find("(2 files)"), std::string::npos);
}

TEST(BuildArchiveCommand, FailuresGiveNonZeroExitCodesAndPrintTheMessage) {
    fixture::TempTree tree;
    tree.Write("src/a.txt", "a");
    std::filesystem::create_directories(tree.Path("out/disk1.vd"));
    // A file no entry can hold (sparse): the terminal's answer to the question stops the build.
    fixture::WriteFile(tree.Path("big/huge.bmp"), {});
    std::filesystem::resize_file(tree.Path("big/huge.bmp"), std::uintmax_t{archive::kMaxEntrySize} + 1);
    win::ScopedPrompts prompts;
    struct Row {
        std::string source, volume;
        int code;
        std::string printed;
    } rows[] = {
        {tree.Path("missing"), tree.Path("out/x.vd"), 2, "source folder not found"},
        {tree.Path("src"), tree.Path("out/disk1.vd"), 1, archive::msg::kCannotCreateCaption},
        {tree.Path("big"), tree.Path("out/big.vd"), 1,
         std::string(archive::msg::kTooLargeCaption) + ": " + tree.Path("big/huge.bmp")},
    };
    for (const auto& r : rows) {
        std::ostringstream out;
        EXPECT_EQ(RunBuildArchiveCommand(r.source, r.volume, out), r.code) << r.printed;
        EXPECT_NE(out.str().find(r.printed), std::string::npos) << out.str();
    }
    // Messages went to the terminal, not to the prompts installed around the command.
    EXPECT_TRUE(prompts->asked.empty());
    EXPECT_EQ(&win::Prompts(), &*prompts);
}

}  // namespace
