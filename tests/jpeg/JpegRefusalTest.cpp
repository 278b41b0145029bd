// Files the decoder must refuse, and damaged files that must fail cleanly (run under the sanitizers
// these also show that nothing reads outside the data).
#include <gtest/gtest.h>

#include <string>

#include "JpegBuilder.h"
#include "LibjpegReference.h"
#include "TestPictures.h"
#include "render/jpeg/JpegDecoder.h"

namespace {

using namespace jpegtest;
using Bytes = std::vector<std::uint8_t>;

Bytes ColourFile() {
    BuildPlan plan;
    plan.width = 16;
    plan.height = 16;
    plan.components = {{2, 2}, {1, 1}, {1, 1}};
    plan.block = [](int c, int bx, int by) { return DcBlock(8 * (c + bx - by)); };
    return BuildJpeg(plan);
}

std::size_t At(const Bytes& file, std::uint8_t marker) {
    const std::size_t offset = FindMarkerOffset(file, marker);
    EXPECT_NE(offset, std::string::npos);
    return offset;
}

void SetU16(Bytes& file, std::size_t pos, int value) {
    file[pos] = static_cast<std::uint8_t>(value >> 8);
    file[pos + 1] = static_cast<std::uint8_t>(value);
}

bool HeaderAccepted(const Bytes& file) {
    jpeg::JpegDecoder decoder;
    return decoder.ReadHeader(file);
}

TEST(JpegRefusal, HeadersThatAreRefused) {
    struct Row {
        const char* name;
        std::function<void(Bytes&)> damage;
    } rows[] = {
        {"EXIF first (FF D8 FF E1)", [](Bytes& f) { f[3] = 0xE1; }},
        {"no APP0 right after SOI", [](Bytes& f) { f.erase(f.begin() + 2, f.begin() + 20); }},
        {"SOF1 extended", [](Bytes& f) { f[At(f, 0xC0) + 1] = 0xC1; }},
        {"SOF2 progressive", [](Bytes& f) { f[At(f, 0xC0) + 1] = 0xC2; }},
        {"SOF3 lossless", [](Bytes& f) { f[At(f, 0xC0) + 1] = 0xC3; }},
        {"SOF5 hierarchical", [](Bytes& f) { f[At(f, 0xC0) + 1] = 0xC5; }},
        {"SOF9 arithmetic", [](Bytes& f) { f[At(f, 0xC0) + 1] = 0xC9; }},
        {"DAC arithmetic conditioning", [](Bytes& f) { f[At(f, 0xC4) + 1] = 0xCC; }},
        {"12-bit samples", [](Bytes& f) { f[At(f, 0xC0) + 4] = 12; }},
        {"component count 0", [](Bytes& f) { f[At(f, 0xC0) + 9] = 0; }},
        {"component count 2", [](Bytes& f) { f[At(f, 0xC0) + 9] = 2; }},
        {"component count 4", [](Bytes& f) { f[At(f, 0xC0) + 9] = 4; }},
        {"horizontal sampling factor 0", [](Bytes& f) { f[At(f, 0xC0) + 11] = 0x02; }},
        {"vertical sampling factor 0", [](Bytes& f) { f[At(f, 0xC0) + 14] = 0x10; }},
        {"quantisation table number 4", [](Bytes& f) { f[At(f, 0xC0) + 12] = 4; }},
        {"quantisation table never defined", [](Bytes& f) { f[At(f, 0xC0) + 15] = 2; }},
        {"width 0", [](Bytes& f) { SetU16(f, At(f, 0xC0) + 7, 0); }},
        {"height 0", [](Bytes& f) { SetU16(f, At(f, 0xC0) + 5, 0); }},
        {"0 x 0", [](Bytes& f) { SetU16(f, At(f, 0xC0) + 5, 0), SetU16(f, At(f, 0xC0) + 7, 0); }},
        {"65535 x 65535",
         [](Bytes& f) { SetU16(f, At(f, 0xC0) + 5, 65535), SetU16(f, At(f, 0xC0) + 7, 65535); }},
        {"more pixels than the scan can code",
         [](Bytes& f) { SetU16(f, At(f, 0xC0) + 5, 900), SetU16(f, At(f, 0xC0) + 7, 900); }},
        {"Huffman class 2", [](Bytes& f) { f[At(f, 0xC4) + 4] = 0x20; }},
        {"Huffman table number 4", [](Bytes& f) { f[At(f, 0xC4) + 4] = 0x04; }},
        {"Huffman counts naming 522 symbols",
         [](Bytes& f) { f[At(f, 0xC4) + 5 + 14] = 255, f[At(f, 0xC4) + 5 + 15] = 255; }},
        {"scan DC table number 4", [](Bytes& f) { f[At(f, 0xDA) + 6] = 0x40; }},
        {"scan AC table number 5", [](Bytes& f) { f[At(f, 0xDA) + 6] = 0x05; }},
        {"scan names a Huffman table never defined", [](Bytes& f) { f[At(f, 0xDA) + 8] = 0x11; }},
        {"scan of fewer components than the frame", [](Bytes& f) { f[At(f, 0xDA) + 4] = 1; }},
        {"end of image before the scan", [](Bytes& f) { f[At(f, 0xDA) + 1] = 0xD9; }},
        {"no scan at all", [](Bytes& f) { f.resize(At(f, 0xDA)); }},
        {"a second SOI", [](Bytes& f) { f[At(f, 0xDB) + 1] = 0xD8; }},
        {"a restart marker among the headers", [](Bytes& f) { f[At(f, 0xC4) + 1] = 0xD3; }},
        {"a reserved marker", [](Bytes& f) { f[At(f, 0xC4) + 1] = 0xF3; }},
        {"segment length past the end", [](Bytes& f) { SetU16(f, At(f, 0xC4) + 2, 0xFFFF); }},
        {"segment length below 2", [](Bytes& f) { SetU16(f, At(f, 0xDB) + 2, 1); }},
        {"frame header shorter than its components", [](Bytes& f) { SetU16(f, At(f, 0xC0) + 2, 11); }},
        {"Huffman segment shorter than its symbols", [](Bytes& f) { SetU16(f, At(f, 0xC4) + 2, 40); }},
        {"scan header shorter than its components", [](Bytes& f) { SetU16(f, At(f, 0xDA) + 2, 6); }},
        {"16-bit quantisation table in an 8-bit sized segment", [](Bytes& f) { f[At(f, 0xDB) + 4] = 0x10; }},
        {"a second frame header",
         [](Bytes& f) {
             const std::size_t sof = At(f, 0xC0);
             const Bytes copy(f.begin() + sof, f.begin() + sof + 19);
             f.insert(f.begin() + sof, copy.begin(), copy.end());
         }},
    };
    const Bytes good = ColourFile();
    ASSERT_TRUE(HeaderAccepted(good));
    ASSERT_TRUE(DecodeWithOurs(good).ok);
    for (const auto& r : rows) {
        Bytes file = good;
        r.damage(file);
        EXPECT_FALSE(HeaderAccepted(file)) << r.name;
        EXPECT_FALSE(DecodeWithOurs(file).ok) << r.name;
    }
}

TEST(JpegRefusal, HeaderVariantsThatAreAccepted) {
    struct Row {
        const char* name;
        std::function<void(Bytes&)> change;
    } rows[] = {
        {"comment and APP15 segments",
         [](Bytes& f) {
             const Bytes extra{0xFF, 0xFE, 0x00, 0x05, 'a', 'b', 'c', 0xFF, 0xEF, 0x00, 0x02};
             f.insert(f.begin() + static_cast<std::ptrdiff_t>(At(f, 0xDB)), extra.begin(), extra.end());
         }},
        {"fill bytes before a marker",
         [](Bytes& f) { f.insert(f.begin() + static_cast<std::ptrdiff_t>(At(f, 0xC0)), 3, 0xFF); }},
        {"junk between segments",
         [](Bytes& f) {
             f.insert(f.begin() + static_cast<std::ptrdiff_t>(At(f, 0xC0)), {0x12, 0xFF, 0x00, 0x34});
         }},
        {"bytes after the last quantisation table",
         [](Bytes& f) {
             const std::size_t dqt = At(f, 0xDB);
             SetU16(f, dqt + 2, 67 + 5);
             f.insert(f.begin() + static_cast<std::ptrdiff_t>(dqt + 4 + 65), 5, 0x00);
         }},
    };
    const Bytes good = ColourFile();
    const auto expected = DecodeWithOurs(good);
    for (const auto& r : rows) {
        Bytes file = good;
        r.change(file);
        const auto d = DecodeWithOurs(file);
        EXPECT_TRUE(d.ok) << r.name;
        EXPECT_EQ(d.pixels, expected.pixels) << r.name;
    }
}

TEST(JpegRefusal, TwoSixteenBitQuantisationTablesInOneSegment) {
    // Each table is read by its own size (129 bytes), so the second one lands in slot 1 intact.
    BuildPlan plan;
    plan.wideQuant = true;
    plan.quant.fill(300);
    plan.block = [](int, int, int) {
        ZigzagBlock b = DcBlock(1);
        b[1] = 1;
        return b;
    };
    const auto expected = DecodeWithOurs(BuildJpeg(plan));
    ASSERT_TRUE(expected.ok);

    plan.quant.fill(7);
    Bytes file = BuildJpeg(plan);
    const std::size_t dqt = At(file, 0xDB);
    Bytes second{0x11};                                                      // 16-bit entries, slot 1
    for (int k = 0; k < 64; ++k) second.insert(second.end(), {0x01, 0x2C});  // 300
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(dqt + 4 + 129), second.begin(), second.end());
    SetU16(file, dqt + 2, 2 + 2 * 129);
    file[At(file, 0xC0) + 12] = 1;  // the component uses slot 1
    const auto d = DecodeWithOurs(file);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, expected.pixels);
}

TEST(JpegRefusal, ProgressiveAndArithmeticFilesOfACommonEncoder) {
    const auto picture = MakePicture(48, 40, 3);
    struct Row {
        const char* name;
        EncodeOptions options;
    } rows[] = {
        {"progressive", {.progressive = true}},
        {"arithmetic", {.arithmetic = true}},
        {"progressive arithmetic", {.progressive = true, .arithmetic = true}},
    };
    for (const auto& r : rows) {
        const auto file = LibjpegEncode(picture, 48, 40, r.options);
        ASSERT_FALSE(file.empty()) << r.name;
        ASSERT_EQ(LibjpegDecode(file).width, 48) << r.name;  // a good file for the reference
        EXPECT_FALSE(HeaderAccepted(file)) << r.name;
    }
}

// Replaces the entropy-coded data of a one-block grey file built with JpegBuilder's tables
// (DC size codes are 4 bits, AC symbol i has the 8-bit code i: 0 EOB, 1 ZRL, 2 + 10·R + S − 1).
Bytes GreyBlockWithScan(const Bytes& scan) {
    Bytes file = BuildJpeg(BuildPlan{});
    const std::size_t sos = At(file, 0xDA);
    const std::size_t scanStart = sos + 2 + (file[sos + 2] << 8 | file[sos + 3]);
    file.resize(scanStart);
    file.insert(file.end(), scan.begin(), scan.end());
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
}

TEST(JpegRefusal, CorruptEntropyCodedData) {
    struct Row {
        const char* name;
        Bytes scan;
        bool ok;
    } rows[] = {
        // DC size 0, EOB: 0000 00000000, padded with ones.
        {"a good block", {0x00, 0x0F}, true},
        {"no code within 16 bits", {0xC0, 0x00}, false},
        // DC 0000, then ZRL ×3 (k = 49), then R 14 S 1 (k = 63) and a value bit: the block ends at 63.
        {"a run that ends on coefficient 63", {0x00, 0x10, 0x10, 0x18, 0xEF}, true},
        // … R 15 S 1 instead: the run passes coefficient 63.
        {"a run past coefficient 63", {0x00, 0x10, 0x10, 0x19, 0x8F}, false},
        // DC 0000, ZRL ×4: 64 zeros after k = 1.
        {"zero runs past coefficient 63", {0x00, 0x10, 0x10, 0x10, 0x10, 0x1F}, false},
        {"data ends inside a code", {0x00}, false},
        {"a marker inside a code", {0x00, 0xFF, 0xD0, 0x0F}, false},
        {"no data at all", {}, false},
    };
    for (const auto& r : rows) {
        const auto file = GreyBlockWithScan(r.scan);
        if (r.ok) {
            ASSERT_TRUE(HeaderAccepted(file)) << r.name;
        }
        EXPECT_EQ(DecodeWithOurs(file).ok, r.ok) << r.name;
    }
}

TEST(JpegRefusal, RestartIntervalWithoutRestartMarkersFails) {
    // 4 MCUs: a 32 × 32 picture in 4:2:0.
    BuildPlan plan;
    plan.width = plan.height = 32;
    plan.components = {{2, 2}, {1, 1}, {1, 1}};
    plan.block = [](int c, int bx, int by) { return DcBlock(8 * (c + bx + by)); };
    Bytes file = BuildJpeg(plan);
    ASSERT_TRUE(DecodeWithOurs(file).ok);
    const Bytes dri{0xFF, 0xDD, 0x00, 0x04, 0x00, 0x01};
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(At(file, 0xDA)), dri.begin(), dri.end());
    EXPECT_TRUE(HeaderAccepted(file));
    EXPECT_FALSE(DecodeWithOurs(file).ok);
}

TEST(JpegRefusal, EveryTruncationFailsCleanly) {
    BuildPlan plan;
    plan.width = 40;
    plan.height = 24;
    plan.components = {{2, 1}, {1, 1}, {1, 1}};
    plan.restartInterval = 2;
    plan.block = [](int c, int bx, int by) {
        ZigzagBlock b = DcBlock(16 * (c - bx + by));
        b[3] = bx - by;
        b[20] = 3;
        return b;
    };
    const Bytes built = BuildJpeg(plan);
    EncodeOptions options;
    options.restartInterval = 1;
    const Bytes real = LibjpegEncode(MakePicture(50, 30, 3), 50, 30, options);
    for (const Bytes* full : {&built, &real}) {
        ASSERT_TRUE(DecodeWithOurs(*full).ok);
        for (std::size_t n = 0; n < full->size(); ++n) {
            const Bytes prefix(full->begin(), full->begin() + static_cast<std::ptrdiff_t>(n));
            const bool ok = DecodeWithOurs(prefix).ok;
            // Only the end-of-image marker may go missing.
            if (n + 2 < full->size())
                ASSERT_FALSE(ok) << "prefix " << n << " of " << full->size();
            else
                EXPECT_TRUE(ok) << "prefix " << n;
        }
    }
}

}  // namespace
