// Archive paths, the folder comparison and the definition texts.

#include <gtest/gtest.h>

#include "base/Cp932.h"
#include "scene/DefinitionText.h"
#include "scene/PartPaths.h"
#include "support/CaseNames.h"

namespace {

struct PathCase {
    const char* path;
    const char* folder;
    const char* link;
    const char* parentFolder;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << testsupport::Printable(c.path); }

class PartPathNames : public ::testing::TestWithParam<PathCase> {};

TEST_P(PartPathNames, DeriveFolderLinkAndParent) {
    const PathCase& c = GetParam();
    EXPECT_EQ(scene::FolderOf(c.path), c.folder);
    EXPECT_EQ(scene::LinkNameOf(c.path), c.link);
    EXPECT_EQ(scene::ParentFolderOf(c.path), c.parentFolder);
}

INSTANTIATE_TEST_SUITE_P(Table, PartPathNames,
                         ::testing::Values(PathCase{"BODY\\ARM_L\\arm.x", "BODY\\ARM_L\\", "ARM_L", "BODY\\"},
                                           PathCase{"BODY_B\\body.x", "BODY_B\\", "BODY_B", ""},
                                           PathCase{"A\\B\\C\\d.x", "A\\B\\C\\", "C", "A\\B\\"},
                                           PathCase{"loose.x", "", "", ""},
                                           // "ソ" ends in 0x5C: not a separator
                                           PathCase{"\x83\x5C\\x.x", "\x83\x5C\\", "\x83\x5C", ""}),
                         testsupport::PrintedName());

struct FolderCase {
    const char* a;
    const char* b;
    bool match;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << testsupport::Printable(c.a) << " vs " << testsupport::Printable(c.b);
}

class FolderComparison : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderComparison, DropsVariantSuffixesAndIgnoresCase) {
    EXPECT_EQ(scene::FoldersMatch(GetParam().a, GetParam().b), GetParam().match)
        << GetParam().a << " " << GetParam().b;
}

INSTANTIATE_TEST_SUITE_P(Table, FolderComparison,
                         ::testing::Values(FolderCase{"BODY_B\\", "BODY\\", true},
                                           FolderCase{"BODY_B\\", "BODY_A\\", true},
                                           FolderCase{"body\\", "BODY\\", true},
                                           FolderCase{"BODY\\ARM_L\\", "BODY_X\\ARM_R\\", true},
                                           FolderCase{"BODY\\ARML\\", "BODY\\ARMR\\", false},
                                           FolderCase{"BODY\\", "", false},
                                           FolderCase{"HEAD\\", "BODY\\", false}),
                         testsupport::PrintedName());

TEST(PartPaths, DefinitionNames) {
    EXPECT_EQ(scene::ColorDefinitionOf("BODY\\arm.x"), "BODY\\arm.txt");
    EXPECT_EQ(scene::DefaultColorDefinitionOf("BODY\\arm.x"), "BODY\\default.txt");
    EXPECT_EQ(scene::TreeDefinitionOf("POSE\\P1.OBJ"), "POSE\\P1.tre");
    EXPECT_EQ(scene::TreeDefinitionOf("POSE.A\\P1.OBJ"), "POSE.tre");  // cut at the first "."
    EXPECT_TRUE(scene::IsPoseSetPath("x\\a.obj"));
    EXPECT_FALSE(scene::IsPoseSetPath("x\\a.x"));
    EXPECT_EQ(scene::WithBackslash("A"), "A\\");
    EXPECT_EQ(scene::WithBackslash("A\\"), "A\\");
}

TEST(DefinitionText, PoseSetTokens) {
    EXPECT_EQ(scene::ParsePoseSet("A.OBJ|B.x;C.x"), (std::vector<std::string>{"A.OBJ", "B.x", "C.x"}));
    // Runs of separators, comments, one-byte tokens.
    EXPECT_EQ(scene::ParsePoseSet("\r\n\r\nA.x//comment|x;;B.x\n//all comment\nC"),
              (std::vector<std::string>{"A.x", "B.x"}));
    EXPECT_TRUE(scene::ParsePoseSet("").empty());
}

TEST(DefinitionText, TreeLinesWithFlags) {
    // "abc" and "F||" are not longer than 3 bytes.
    const auto lines =
        scene::ParseTreeDefinition("BODY\\|body|\r\nOPT|opt|xADDx\r\nabc\r\n|nolabel|\r\nF||\r\nGG|g");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].folder, "BODY\\");
    EXPECT_EQ(lines[0].label, "body");
    EXPECT_TRUE(lines[0].hasFlags);
    EXPECT_EQ(lines[0].flags, "");
    EXPECT_TRUE(scene::FlagsAddParts(lines[1].flags));
    EXPECT_EQ(lines[2].folder, "GG");
    EXPECT_FALSE(lines[2].hasFlags);
    EXPECT_FALSE(scene::FlagsAddParts("AD"));
}

TEST(DefinitionText, TreeDefinitionsStopAt1024Lines) {
    std::string text;
    for (int i = 0; i < 1100; ++i) {
        text += 'F';
        text += std::to_string(i);
        text += "|L|\n";
    }
    const auto lines = scene::ParseTreeDefinition(text);
    ASSERT_EQ(lines.size(), 1024u);
    EXPECT_EQ(lines.back().folder, "F1023");
}

TEST(DefinitionText, ColourDefinitionsUseAtMost260Tokens) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "FRAME" + std::to_string(i) + "|G|r;";
    const auto colors = scene::ParseColorDefinition(text);
    ASSERT_EQ(colors.size(), 260u);
    EXPECT_EQ(colors.back().targetFrame, "FRAME259");
    EXPECT_EQ(colors[0].remark, "r");
}

TEST(DefinitionText, ColourLinesNeedFrameAndGeneralName) {
    // "ポ" is 0x83 0x7C: its second byte is not a field separator.
    const std::string text = "A|\x83\x7C|rem\r\n|G|\r\nB|\r\nC|G2";
    const auto colors = scene::ParseColorDefinition(text);
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(colors[0].generalName, "\x83\x7C");
    EXPECT_EQ(colors[0].remark, "rem");
    EXPECT_EQ(colors[1].targetFrame, "C");
    EXPECT_EQ(colors[1].remark, "");
}

}  // namespace
