// Splitting the text into tokens, the bounded end, and the mismatch state of number reads.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xfile/XTokenizer.h"

namespace {

std::vector<std::string> Tokens(std::string_view text) {
    xfile::XTokenizer t(text);
    std::vector<std::string> out;
    for (std::string_view s = t.Next(); !s.empty(); s = t.Next()) out.emplace_back(s);
    return out;
}

TEST(XTokenizer, SplitsAtTheSixSeparators) {
    struct Row {
        std::string_view text;
        std::vector<std::string> tokens;
    } rows[] = {
        {"", {}},
        {";;, \t\r\n", {}},
        {"a b", {"a", "b"}},
        {";;a,,b\t\r\nc;", {"a", "b", "c"}},
        {"{a}", {"{a}"}},
        {"{ a }", {"{", "a", "}"}},
        {"x{ }y", {"x{", "}y"}},
        {"\"tex.bmp\";", {"\"tex.bmp\""}},
        {"1.0;2.0;;,", {"1.0", "2.0"}},
        {"a\vb", {"a\vb"}},
    };
    for (const Row& row : rows) EXPECT_EQ(Tokens(row.text), row.tokens) << row.text;
}

TEST(XTokenizer, StaysAtTheEnd) {
    xfile::XTokenizer t("a");
    EXPECT_EQ(t.Next(), "a");
    EXPECT_FALSE(t.Ended());
    EXPECT_EQ(t.Next(), "");
    EXPECT_TRUE(t.Ended());
    EXPECT_EQ(t.Next(), "");
    EXPECT_EQ(t.ReadLong(), 0);
    EXPECT_TRUE(t.Failed());
}

TEST(XTokenizer, SkipLineAndSkipBlock) {
    xfile::XTokenizer t("header line\nA { b { c } d } E");
    t.SkipLine();
    EXPECT_EQ(t.Next(), "A");
    t.Skip();
    t.SkipBlock(1);
    EXPECT_EQ(t.Next(), "E");
    xfile::XTokenizer noLine("only a header");
    noLine.SkipLine();
    EXPECT_EQ(noLine.Next(), "");
}

TEST(XTokenizer, BraceWhereANumberBelongsIsAStickyMismatch) {
    xfile::XTokenizer t("1 } 2 3 } after");
    EXPECT_EQ(t.ReadLong(), 1);
    EXPECT_EQ(t.ReadLong(), 0);
    EXPECT_TRUE(t.Mismatch());
    // Nothing more is consumed while the mismatch lasts.
    EXPECT_EQ(t.ReadReal(), 0.0);
    // The "}" already closed one of the two blocks, so one more is left.
    t.Recover(2);
    EXPECT_FALSE(t.Mismatch());
    EXPECT_EQ(t.Next(), "after");
}

TEST(XTokenizer, OpeningBraceWhereANumberBelongsDeepensTheRecovery) {
    xfile::XTokenizer t("1 { 2 } 3 } after");
    t.ReadLong();
    t.ReadLong();
    ASSERT_TRUE(t.Mismatch());
    t.Recover(1);
    EXPECT_EQ(t.Next(), "after");
}

TEST(XTokenizer, CanHoldCountsTokensInTheRemainingText) {
    xfile::XTokenizer spaced("1 2 3 ");
    EXPECT_TRUE(spaced.CanHold(3, 1));
    EXPECT_FALSE(spaced.CanHold(4, 1));
    EXPECT_TRUE(spaced.CanHold(1, 3));
    EXPECT_FALSE(spaced.CanHold(2, 3));
    xfile::XTokenizer tight("1 2 3");
    EXPECT_TRUE(tight.CanHold(3, 1));
    EXPECT_TRUE(tight.CanHold(0, 1));
    EXPECT_TRUE(tight.CanHold(-5, 1));
    EXPECT_FALSE(tight.CanHold(2000000000000L, 3));
}

}  // namespace
