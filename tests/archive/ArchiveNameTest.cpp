#include <gtest/gtest.h>

#include "archive/ArchiveName.h"

namespace {

TEST(ArchiveName, UpperCasesLettersOfBothWidthsButNeverSecondBytes) {
    struct Row {
        std::string in, out;
    } rows[] = {
        {"light.txt", "LIGHT.TXT"},
        {"body\\arml\\plist.txt", "BODY\\ARML\\PLIST.TXT"},
        {"\x82\x81\x82\x9A", "\x82\x60\x82\x79"},                  // full-width a, z
        {"\x83\xBF", "\x83\x9F"},                                  // Greek alpha
        {"\x84\x70\x84\x80\x84\x91", "\x84\x40\x84\x4F\x84\x60"},  // Cyrillic a, o, ya
        {"\xFA\x40", "\xFA\x4A"},                                  // small Roman numeral one
        {"\x83\x61x", "\x83\x61X"},                                // "a" as a second byte stays
        {"\x83\x5C"
         "a",
         "\x83\x5C"
         "A"},                     // so does "\" as a second byte
        {"\x8C\xA8", "\x8C\xA8"},  // a kanji has no case
        {"a\x82", "A\x82"},        // a lead byte at the very end
    };
    for (const auto& r : rows) EXPECT_EQ(archive::UpperName(r.in), r.out) << r.in;
}

TEST(ArchiveName, SplitListIsMultiByteAwareAndDropsEmptyEntries) {
    using V = std::vector<std::string>;
    EXPECT_EQ(archive::SplitList("a|b|", "|"), (V{"a", "b"}));
    EXPECT_EQ(archive::SplitList("|a||b", "|"), (V{"a", "b"}));
    EXPECT_EQ(archive::SplitList("", "|"), V{});
    EXPECT_EQ(archive::SplitList("\x83\x7C|z|", "|"), (V{"\x83\x7C", "z"}));  // second byte 0x7C is "|"
    EXPECT_EQ(archive::SplitList(".X;.TXT|.OBJ;", ";|"), (V{".X", ".TXT", ".OBJ"}));
}

TEST(ArchiveName, SplitPathListKeepsTheSeparatorAfterAUtf8Character) {
    using V = std::vector<std::string>;
    struct Row {
        std::string text;
        V pieces;
    } rows[] = {
        {"/a|/b|", {"/a", "/b"}},
        {"|/a||/b", {"/a", "/b"}},
        {"", {}},
        // "あ" is E3 81 82: read as code page 932, 0x82 would start a two-byte character ending in "|".
        {"/data/あ|/data/い|", {"/data/あ", "/data/い"}},
        {"/データ/disk1|/ソ|", {"/データ/disk1", "/ソ"}},
    };
    for (const auto& r : rows) EXPECT_EQ(archive::SplitPathList(r.text), r.pieces) << r.text;
    // The code page 932 scanner is what lost the separator.
    EXPECT_EQ(archive::SplitList("/data/あ|/data/い|", "|").size(), 1u);
}

TEST(ArchiveName, NamesBecomePathPiecesThatStayInsideTheFolder) {
    using V = std::vector<std::string>;
    EXPECT_EQ(archive::NameToPathPieces("BODY\\ARML\\PLIST.TXT"), (V{"BODY", "ARML", "PLIST.TXT"}));
    EXPECT_EQ(archive::NameToPathPieces("\x83\x5C\\A"), (V{"ソ", "A"}));  // "ソ" ends in 0x5C
    for (const char* bad : {"", "\\A", "A\\", "A\\\\B", "..\\A", "A\\.\\B", "A\\.."})
        EXPECT_TRUE(archive::NameToPathPieces(bad).empty()) << bad;
}

TEST(ArchiveName, PathParts) {
    EXPECT_EQ(archive::FileStem("/app/disk1.vd"), "disk1");
    EXPECT_EQ(archive::FileExtension("/app/disk1.vd"), ".vd");
    EXPECT_EQ(archive::FileStem("disk2"), "disk2");
    EXPECT_EQ(archive::FileExtension("/a.b/disk2"), "");
    EXPECT_EQ(archive::FolderOf("out/disk1.vd"), "out/");
    EXPECT_EQ(archive::FolderOf("disk1.vd"), "");
    EXPECT_EQ(archive::WithTrailingSlash("src"), "src/");
    EXPECT_EQ(archive::WithTrailingSlash("src/"), "src/");
}

}  // namespace
