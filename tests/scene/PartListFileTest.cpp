// Part list files (plist.txt): lines, comments, fields and the display lines of a name, with the
// two-byte characters whose second byte is "/", "|" or "\".

#include <gtest/gtest.h>

#include <ostream>

#include "base/Cp932.h"
#include "scene/PartListFile.h"
#include "support/CaseNames.h"

namespace scene {
// Shown when a row fails.
void PrintTo(const PartListEntry& e, std::ostream* os) {
    *os << "{" << e.partPath << " | " << e.thumbnailPath << " | " << e.name << "}";
}
}  // namespace scene

namespace {

using scene::PartListEntry;

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

struct ListCase {
    std::string what;
    std::string text;
    std::string folder;
    std::vector<PartListEntry> expected;
};

std::vector<ListCase> ListCases() {
    const std::string so = "\x83\x5C";  // "ソ": its second byte is "\"
    const std::string po = "\x83\x7C";  // "ポ": its second byte is "|"
    return {
        {"three fields, the folder put before both file names",
         "arm.x|arm.bmp|" + cp932::FromUtf8("左腕"),
         "BODY\\ARML\\",
         {{"BODY\\ARML\\arm.x", "BODY\\ARML\\arm.bmp", cp932::FromUtf8("左腕")}}},
        {"the archive root as folder", "a.x|a.bmp|A", "", {{"a.x", "a.bmp", "A"}}},
        {"a blank before a comment stays in the name",
         "a.x|a.bmp|Cup // the blue one",
         "",
         {{"a.x", "a.bmp", "Cup "}}},
        {"fields keep their blanks", " a.x |a.bmp | A B ", "P\\", {{"P\\ a.x ", "P\\a.bmp ", " A B "}}},
        {"runs of | count as one", "a.x||a.bmp|||A", "", {{"a.x", "a.bmp", "A"}}},
        {"leading | are skipped", "||a.x|a.bmp|A", "", {{"a.x", "a.bmp", "A"}}},
        {"fields after the third are ignored", "a.x|a.bmp|A|extra|more", "", {{"a.x", "a.bmp", "A"}}},
        {"lines with fewer than three fields are skipped",
         "a.x|a.bmp\nb.x||b.bmp|\n|||\nc.x\nd.x|d.bmp|D",
         "",
         {{"d.x", "d.bmp", "D"}}},
        {"a comment line and a comment after the name",
         "// parts of the arm\na.x|a.bmp|A//no blank",
         "",
         {{"a.x", "a.bmp", "A"}}},
        {"a comment that takes the name leaves two fields", "a.x|a.bmp//|A", "", {}},
        {"a single / is no comment", "sub/a.x|a.bmp|N/A", "", {{"sub/a.x", "a.bmp", "N/A"}}},
        {"a comment starts at the first //", "a.x|a.bmp|A///B//C", "", {{"a.x", "a.bmp", "A"}}},
        {"CR, LF, CR LF and LF CR all end lines",
         "a.x|a.bmp|A\rb.x|b.bmp|B\nc.x|c.bmp|C\r\n\r\nd.x|d.bmp|D\n\re.x|e.bmp|E",
         "",
         {{"a.x", "a.bmp", "A"},
          {"b.x", "b.bmp", "B"},
          {"c.x", "c.bmp", "C"},
          {"d.x", "d.bmp", "D"},
          {"e.x", "e.bmp", "E"}}},
        {"a \\ in the name is kept as written",
         "a.x|a.bmp|Top\\Bottom",
         "",
         {{"a.x", "a.bmp", "Top\\Bottom"}}},
        {"a two-byte character ending in / does not start a comment",
         "a.x|a.bmp|\x81//c",
         "",
         {{"a.x", "a.bmp", "\x81//c"}}},
        {"a comment right after a two-byte character ending in /",
         "a.x|a.bmp|\x81///note",
         "",
         {{"a.x", "a.bmp", "\x81/"}}},
        {"a two-byte character ending in | does not separate",
         po + ".x|" + po + ".bmp|" + po + po,
         "",
         {{po + ".x", po + ".bmp", po + po}}},
        {"a two-byte character ending in \\ stays in the folder and name",
         "a.x|a.bmp|" + so,
         so + "\\",
         {{so + "\\a.x", so + "\\a.bmp", so}}},
        {"a lead byte at the end of a line does not swallow the line end",
         "a.x|a.bmp|A\x82\r\nb.x|b.bmp|B",
         "",
         {{"a.x", "a.bmp", "A\x82"}, {"b.x", "b.bmp", "B"}}},
        {"an empty text", "", "", {}},
        // The line limit: every line counts, empty ones too, and a CR LF pair ends one line.
        {"the 1024th line is read", Repeat("\n", 1023) + "l.x|l.bmp|Last", "", {{"l.x", "l.bmp", "Last"}}},
        {"the 1025th line is not", Repeat("\n", 1024) + "l.x|l.bmp|Late", "", {}},
        {"CR LF pairs count as one line each",
         Repeat("\r\n", 1023) + "l.x|l.bmp|Last",
         "",
         {{"l.x", "l.bmp", "Last"}}},
        {"comment lines count",
         "f.x|f.bmp|First\n" + Repeat("// c\n", 1022) + "l.x|l.bmp|Last\nm.x|m.bmp|Late",
         "",
         {{"f.x", "f.bmp", "First"}, {"l.x", "l.bmp", "Last"}}},
    };
}

void PrintTo(const ListCase& c, std::ostream* os) { *os << testsupport::Printable(c.what); }

class PartListRows : public ::testing::TestWithParam<ListCase> {};

TEST_P(PartListRows, GiveTheirEntries) {
    const ListCase& c = GetParam();
    EXPECT_EQ(scene::ParsePartList(c.text, c.folder), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, PartListRows, ::testing::ValuesIn(ListCases()), testsupport::PrintedName());

TEST(PartList, ReadsAtMost1024EntriesOfAFullList) {
    std::string text;
    for (int i = 0; i < 1100; ++i)
        text += "p" + std::to_string(i) + ".x|t.bmp|N" + std::to_string(i) + "\r\n";
    const std::vector<PartListEntry> entries = scene::ParsePartList(text, "");
    ASSERT_EQ(entries.size(), scene::kMaxPartListLines);
    EXPECT_EQ(entries.front().name, "N0");
    EXPECT_EQ(entries.back().name, "N1023");
}

struct NameCase {
    std::string name;
    std::vector<std::string> lines;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << testsupport::Printable(c.name); }

class DisplayLines : public ::testing::TestWithParam<NameCase> {};

TEST_P(DisplayLines, SplitAtBackslashesOutsideTwoByteCharacters) {
    EXPECT_EQ(scene::SplitDisplayLines(GetParam().name), GetParam().lines) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DisplayLines,
    ::testing::Values(NameCase{"Cup", {"Cup"}},
                      NameCase{cp932::FromUtf8("上着\\赤"), {cp932::FromUtf8("上着"), cp932::FromUtf8("赤")}},
                      NameCase{"a\\b\\c", {"a", "b", "c"}},
                      // "ソ" is 0x83 0x5C: one line, then a real "\" after it.
                      NameCase{"\x83\x5C", {"\x83\x5C"}}, NameCase{"\x83\x5C\\x", {"\x83\x5C", "x"}},
                      NameCase{"\x83\x5C\x83\x5C", {"\x83\x5C\x83\x5C"}}, NameCase{"a\\\\b", {"a", "", "b"}},
                      NameCase{"a\\", {"a", ""}}, NameCase{"", {""}},
                      // A lead byte at the very end is a character of its own.
                      NameCase{"a\\\x83", {"a", "\x83"}}),
    testsupport::PrintedName());

}  // namespace
