#include "base/ArchiveStream.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> Prefix(const std::vector<std::uint8_t>& bytes, std::size_t n) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)};
}

TEST(ArchiveStream, StringLengthForms) {
    struct Row {
        std::size_t length;
        std::vector<std::uint8_t> prefix;
    } rows[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto& r : rows) {
        StoringArchive out;
        const std::string text(r.length, 'k');
        out.WriteString(text);
        EXPECT_EQ(out.Bytes().size(), r.prefix.size() + r.length) << r.length;
        EXPECT_EQ(Prefix(out.Bytes(), r.prefix.size()), r.prefix) << r.length;
        LoadingArchive in(out.Bytes());
        EXPECT_EQ(in.ReadString(), text);
        EXPECT_TRUE(in.Ok());
        EXPECT_TRUE(in.AtEnd());
    }
}

TEST(ArchiveStream, CountForms) {
    struct Row {
        std::uint32_t count;
        std::vector<std::uint8_t> bytes;
    } rows[] = {{0, {0, 0}},
                {0xFFFE, {0xFE, 0xFF}},
                {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
                {0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}}};
    for (const auto& r : rows) {
        StoringArchive out;
        out.WriteCount(r.count);
        EXPECT_EQ(out.Bytes(), r.bytes);
        LoadingArchive in(out.Bytes());
        EXPECT_EQ(in.ReadCount(), r.count);
        EXPECT_TRUE(in.Ok());
    }
}

TEST(ArchiveStream, WideStringIsReadAsCodePage932) {
    // 0xFF 0xFFFE, then a 1-byte character count, then UTF-16LE "肌a".
    const std::vector<std::uint8_t> bytes = {0xFF, 0xFE, 0xFF, 0x02, 0x8C, 0x80, 'a', 0x00};
    LoadingArchive in(bytes);
    EXPECT_EQ(in.ReadString(), "\x94\xA7" "a");
    EXPECT_TRUE(in.Ok());
    EXPECT_TRUE(in.AtEnd());
}

TEST(ArchiveStream, ShortInputFailsWithoutReadingPastTheEnd) {
    const std::vector<std::vector<std::uint8_t>> cases = {
        {},                              // nothing at all
        {0x05, 'a', 'b'},                // length larger than what remains
        {0xFF, 0x10},                    // 16-bit length cut short
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},  // 4 GiB claimed: must not allocate
        {0xFF, 0xFE, 0xFF, 0x03, 'a', 0},            // wide string shorter than its count
    };
    for (const auto& bytes : cases) {
        LoadingArchive in(bytes);
        EXPECT_EQ(in.ReadString(), "");
        EXPECT_FALSE(in.Ok());
        // The failure is sticky: later reads give zero.
        EXPECT_EQ(in.ReadU32(), 0u);
        EXPECT_FALSE(in.Ok());
    }
}

TEST(ArchiveStream, NumbersAreLittleEndian) {
    StoringArchive out;
    out.WriteU16(0x1234);
    out.WriteI32(-2);
    out.WriteF32(1.5f);
    out.WriteF64(-0.25);
    EXPECT_EQ(Prefix(out.Bytes(), 6), (std::vector<std::uint8_t>{0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF}));
    LoadingArchive in(out.Bytes());
    EXPECT_EQ(in.ReadU16(), 0x1234);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadF32(), 1.5f);
    EXPECT_EQ(in.ReadF64(), -0.25);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_TRUE(in.Ok());
}

}  // namespace
