#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LzwReference.h"
#include "SampleData.h"
#include "archive/LzwCoder.h"
#include "archive/LzwDecoder.h"
#include "archive/LzwFormat.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(const std::string& s) {
    return {s.begin(), s.end()};
}

Bytes Compressed(const Bytes& input) {
    Bytes out;
    EXPECT_TRUE(lzw::Compress(input, out));
    return out;
}

// Expands into a buffer of exactly the header's length plus `slack`, so that any write past the
// length lands outside the allocation (and the sanitizer build catches it).
struct Expanded {
    bool ok = false;
    std::size_t length = 0;
    Bytes bytes;
};
Expanded Expand(const Bytes& stream, std::size_t slack = lzw::kExpandSlack) {
    Expanded e;
    const auto total = lzw::ExpandedLength(stream).value_or(0);
    e.bytes.assign(total + slack, 0xCC);
    e.ok = lzw::Expand(e.bytes, e.length, stream);
    e.bytes.resize(std::min<std::size_t>(e.length, e.bytes.size()));
    return e;
}

TEST(LzwCodec, FixedVectors) {
    struct Row {
        std::string input;
        Bytes stream;
    } rows[] = {
        {"", {0xB2, 0xFE, 0x67, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x80, 0x40}},
        {"abc", {0xB2, 0xFE, 0x67, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x30, 0x98, 0x8C, 0x70}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Compressed(B(r.input)), r.stream) << r.input;
        const Expanded e = Expand(r.stream);
        EXPECT_TRUE(e.ok) << r.input;
        EXPECT_EQ(e.length, r.input.size());
        EXPECT_EQ(e.bytes, B(r.input));
    }
}

TEST(LzwCodec, CodeUsedInTheStepThatDefinesIt) {
    // "aaaa": a, then code 259 ("aa") is emitted while the decoder is still defining it.
    const Bytes stream = Compressed(B("aaaa"));
    const auto codes = lzwref::ParseCodes(stream);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes[0].value, 'a');
    EXPECT_EQ(codes[1].value, 259u);
    EXPECT_EQ(codes[2].value, 'a');
    EXPECT_EQ(Expand(stream).bytes, B("aaaa"));
}

TEST(LzwCodec, FirstBumpAtCode512) {
    const Bytes input(100000, 'z');
    const Bytes stream = Compressed(input);
    const auto codes = lzwref::ParseCodes(stream);
    std::size_t dataCodes = 0;
    for (const auto& c : codes) {
        if (c.value == lzw::kCodeBump) break;
        EXPECT_EQ(c.width, 9u);
        ++dataCodes;
    }
    // Codes 259..511 are defined by the first 253 data codes; defining 511 makes the next code 512.
    EXPECT_EQ(dataCodes, 253u);
    const Expanded e = Expand(stream);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.bytes, input);
}

TEST(LzwCodec, FlushAfterCode32767StartsOverAtNineBits) {
    const Bytes input = sample::RandomBytes(40000, 7);
    const Bytes stream = Compressed(input);
    const auto codes = lzwref::ParseCodes(stream);
    std::size_t flushAt = 0, dataCodes = 0, bumps = 0;
    for (std::size_t i = 0; i < codes.size() && !flushAt; ++i) {
        if (codes[i].value == lzw::kCodeFlush)
            flushAt = i;
        else if (codes[i].value == lzw::kCodeBump)
            ++bumps;
        else
            ++dataCodes;
    }
    ASSERT_GT(flushAt, 0u);
    EXPECT_EQ(dataCodes, 32767u - 259u + 1u);  // one definition per data code
    EXPECT_EQ(bumps, 6u);                      // 9 -> 15 bits
    EXPECT_EQ(codes[flushAt].width, 15u);
    EXPECT_EQ(codes[flushAt + 1].width, 9u);
    EXPECT_LT(codes[flushAt + 1].value, 256u);
    EXPECT_EQ(Expand(stream).bytes, input);
}

Bytes Pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>("abababcabcd"[i % 11]);
    return b;
}

Bytes AllValues(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return b;
}

TEST(LzwCodec, RoundTripsMatchTheReferenceStream) {
    struct Row {
        const char* what;
        Bytes input;
    } rows[] = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"zero byte", {0x00}},
        {"two bytes", B("xy")},
        {"long run", Bytes(300000, 0)},
        {"pattern", Pattern(70000)},
        {"every value", AllValues(9000)},
        {"random, crossing FLUSH five times", sample::RandomBytes(170000, 3)},
        {"mesh text", sample::MeshText(400000, 5)},
        {"mesh text then random",
         [] {
             Bytes b = sample::MeshText(100000, 9);
             const Bytes r = sample::RandomBytes(50000, 11);
             b.insert(b.end(), r.begin(), r.end());
             return b;
         }()},
    };
    for (const auto& r : rows) {
        const Bytes stream = Compressed(r.input);
        EXPECT_EQ(stream, lzwref::Compress(r.input)) << r.what;
        const Expanded e = Expand(stream);
        EXPECT_TRUE(e.ok) << r.what;
        EXPECT_EQ(e.bytes, r.input) << r.what;
        EXPECT_EQ(lzwref::Expand(stream), r.input) << r.what;
    }
}

TEST(LzwCodec, IncompressibleInputGrowsByAtMostFifteenEighths) {
    const Bytes input = sample::RandomBytes(100000, 21);
    EXPECT_LE(Compressed(input).size(), lzw::kHeaderSize + input.size() * 15 / 8 + 16);
}

TEST(LzwCodec, ExpandNeedsNoSlackAndWritesNothingPastTheLength) {
    const Bytes input = sample::MeshText(20000, 2);
    const Expanded exact = Expand(Compressed(input), 0);
    EXPECT_TRUE(exact.ok);
    EXPECT_EQ(exact.bytes, input);

    Bytes out(input.size() + lzw::kExpandSlack + 64, 0xCC);
    std::size_t length = 0;
    ASSERT_TRUE(lzw::Expand(out, length, Compressed(input)));
    // The slack after the text is zeroed, and nothing beyond it is touched.
    for (std::size_t i = input.size(); i < input.size() + lzw::kExpandSlack; ++i) ASSERT_EQ(out[i], 0) << i;
    for (std::size_t i = input.size() + lzw::kExpandSlack; i < out.size(); ++i) ASSERT_EQ(out[i], 0xCC) << i;
}

// An empty file expands into an output with no storage at all (a null data pointer), as the reader
// hands over for an entry of length 0; under the sanitizer build any use of that pointer is a fault.
TEST(LzwCodec, EmptyStreamExpandsIntoAnOutputWithoutStorage) {
    std::size_t length = 99;
    EXPECT_TRUE(lzw::Expand(std::span<std::uint8_t>(), length, Compressed({})));
    EXPECT_EQ(length, 0u);
    // A stream declaring bytes still refuses an output without room, and one without a header fails.
    EXPECT_FALSE(lzw::Expand(std::span<std::uint8_t>(), length, Compressed(B("a"))));
    EXPECT_EQ(length, 1u);
    EXPECT_FALSE(lzw::Expand(std::span<std::uint8_t>(), length, {}));
    EXPECT_EQ(length, 0u);
}

TEST(LzwCodec, DecoderIsReusable) {
    lzw::LzwDecoder decoder;
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        const Bytes input = sample::MeshText(50000 * seed, seed);
        Bytes out(input.size());
        std::size_t length = 0;
        ASSERT_TRUE(decoder.Expand(out, length, Compressed(input)));
        EXPECT_EQ(out, input);
    }
}

// Builds a stream from codes of the given widths (for damaged streams the coder never writes).
Bytes StreamOf(std::uint32_t length, const std::vector<lzwref::Code>& codes) {
    Bytes out = {0xB2,
                 0xFE,
                 0x67,
                 0xFF,
                 static_cast<std::uint8_t>(length),
                 static_cast<std::uint8_t>(length >> 8),
                 static_cast<std::uint8_t>(length >> 16),
                 static_cast<std::uint8_t>(length >> 24)};
    int bit = 0;
    for (const auto& c : codes) {
        for (int i = static_cast<int>(c.width) - 1; i >= 0; --i) {
            if (bit == 0) out.push_back(0);
            if ((c.value >> i) & 1) out.back() |= static_cast<std::uint8_t>(0x80 >> bit);
            bit = (bit + 1) % 8;
        }
    }
    return out;
}

TEST(LzwCodec, DamagedStreamsAreRefused) {
    std::vector<lzwref::Code> sixteenBits = {{'a', 9}};
    for (unsigned w = 9; w <= 15; ++w) sixteenBits.push_back({257, w});
    sixteenBits.push_back({'a', 16});
    struct Row {
        const char* what;
        Bytes stream;
    } rows[] = {
        {"header cut short", {0xB2, 0xFE, 0x67, 0xFF, 0x03, 0x00, 0x00}},
        {"nothing after the header", StreamOf(3, {})},
        {"code beyond the next free code", StreamOf(4, {{'a', 9}, {300, 9}, {256, 9}})},
        {"next free code as the first code", StreamOf(4, {{259, 9}, {256, 9}})},
        {"BUMP as the first code", StreamOf(4, {{257, 9}, {'a', 10}, {256, 10}})},
        {"FLUSH as the first code", StreamOf(4, {{258, 9}, {'a', 9}, {256, 9}})},
        {"width past 15 bits", StreamOf(4, sixteenBits)},
        {"END before the length is out", StreamOf(5, {{'a', 9}, {'b', 9}, {256, 9}, {256, 9}})},
        {"stream cut short", StreamOf(6, {{'a', 9}, {'b', 9}, {'c', 9}})},
    };
    for (const auto& r : rows) {
        const Expanded e = Expand(r.stream, 0);
        EXPECT_FALSE(e.ok) << r.what;
    }
}

TEST(LzwCodec, LengthLargerThanTheBufferIsRefusedBeforeWriting) {
    const Bytes stream = Compressed(B("hello hello hello"));
    Bytes out(10, 0xCC);
    std::size_t length = 0;
    EXPECT_FALSE(lzw::Expand(out, length, stream));
    EXPECT_EQ(length, 17u);
    EXPECT_EQ(out, Bytes(10, 0xCC));
}

TEST(LzwCodec, EveryTruncationEitherFailsOrGivesTheInput) {
    const Bytes input = sample::MeshText(3000, 4);
    const Bytes stream = Compressed(input);
    for (std::size_t n = 0; n < stream.size(); ++n) {
        const Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(n));
        const Expanded e = Expand(cut, 0);
        if (e.ok) {
            EXPECT_EQ(e.bytes, input) << n;
        }
    }
    // Only the last byte of END may be missing: one byte less of code stream cuts a data code.
    EXPECT_FALSE(Expand(Bytes(stream.begin(), stream.end() - 2), 0).ok);
}

TEST(LzwCodec, DataAfterTheLengthIsIgnored) {
    // A header length shorter than the coded text: decoding stops when the length is out.
    Bytes stream = Compressed(B("abcdefgh"));
    stream[4] = 5;
    const Expanded e = Expand(stream, 0);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.bytes, B("abcde"));
}

}  // namespace
