#include "base/Cp932.h"

#include <gtest/gtest.h>

namespace {

// "左目" in code page 932: 0x8D 0xB6 0x96 0xDA. 0x96 0x5C ("表") has a '\' as its second byte.
const std::string kLeftEye = "\x8D\xB6\x96\xDA";
const std::string kHyo = "\x95\x5C";

TEST(Cp932, LeadBytes) {
    struct Row {
        unsigned char byte;
        bool lead;
    } rows[] = {{0x80, false}, {0x81, true}, {0x9F, true}, {0xA0, false}, {0xDF, false},
                {0xE0, true},  {0xFC, true}, {0xFD, false}, {'A', false}};
    for (const auto& r : rows) EXPECT_EQ(cp932::IsLeadByte(r.byte), r.lead) << int(r.byte);
}

TEST(Cp932, UpperCasingLeavesTrailBytesAlone) {
    // 0x82 0x61 is a two-byte character whose second byte happens to be 'a'.
    EXPECT_EQ(cp932::ToUpper("body\\arml\x82\x61x.x"), "BODY\\ARML\x82\x61X.X");
    EXPECT_EQ(cp932::ToUpper(kLeftEye + "abc"), kLeftEye + "ABC");
    // A lead byte at the very end counts as one byte and is kept.
    EXPECT_EQ(cp932::ToUpper("a\x82"), "A\x82");
}

TEST(Cp932, LastCharIsAWholeCharacter) {
    const struct {
        std::string text;
        std::string last;
    } rows[] = {
        {"", ""},
        {"ARML", "L"},
        {"\x98\x72", "\x98\x72"},  // 腕: its second byte is 'r'
        {"ARM\x98\x72", "\x98\x72"},
        {"\x98\x72L", "L"},
        {"\x81\x81r", "r"},  // ＝ then r: the 0x81 before 'r' is a second byte
        {"A\x98", "\x98"},   // a lead byte at the very end stands alone
        {kHyo, kHyo},
    };
    for (const auto& r : rows) EXPECT_EQ(cp932::LastChar(r.text), r.last) << r.text;
}

TEST(Cp932, SplittingSkipsSeparatorsInsideCharacters) {
    const std::string path = "DATA\\" + kHyo + "\\X.X";
    EXPECT_EQ(cp932::FindLastChar(path, '\\'), path.size() - 4);
    auto pieces = cp932::Split(path, '\\');
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[1], kHyo);
    EXPECT_EQ(cp932::Split("a|b||c|", '|'), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_TRUE(cp932::Split("", '|').empty());
}

TEST(Cp932, EqualsNoCaseComparesLettersOnly) {
    EXPECT_TRUE(cp932::EqualsNoCase("frm-Body", "FRM-BODY"));
    EXPECT_FALSE(cp932::EqualsNoCase("frm-Body", "FRM-BOD"));
    EXPECT_FALSE(cp932::EqualsNoCase("\x82\x61", "\x82\x41"));
}

TEST(Cp932, Utf8RoundTrip) {
    EXPECT_EQ(cp932::ToUtf8(kLeftEye), "左目");
    EXPECT_EQ(cp932::FromUtf8("左目"), kLeftEye);
    EXPECT_EQ(cp932::ToUtf8("\xB6\xDE"), "ｶﾞ");  // half-width katakana are single bytes
    EXPECT_EQ(cp932::FromUtf16(u"肌"), cp932::FromUtf8("肌"));
    // A character with no code page 932 form becomes '?', and conversion goes on.
    EXPECT_EQ(cp932::FromUtf8("a😀b"), "a?b");
}

}  // namespace
