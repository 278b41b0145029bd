#include "render/output/BmpImage.h"

#include <gtest/gtest.h>

#include "platform/rm/WorkerPool.h"

#include <QFile>
#include <QTemporaryDir>
#include <QDir>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

struct Surface {
    std::uint32_t width, height;
    std::vector<std::uint32_t> pixels;
    Surface(std::uint32_t w, std::uint32_t h, std::uint32_t fill = 0) : width(w), height(h), pixels(w * h, fill) {}
    std::uint32_t& At(std::uint32_t x, std::uint32_t y) { return pixels[y * width + x]; }
    SurfacePixels View() const {
        return {reinterpret_cast<const std::uint8_t*>(pixels.data()), static_cast<std::ptrdiff_t>(width * 4), width,
                height};
    }
};

TEST(BmpImage, HeaderAndStride) {
    struct Row {
        std::uint32_t w, h;
        std::size_t stride, fileSize;
    } rows[] = {{321, 1, 964, 1018}, {640, 480, 1920, 54 + 1920 * 480}, {1, 1, 4, 58}, {2, 3, 8, 78}};
    for (const auto& r : rows) {
        Surface s(r.w, r.h, 0x00102030);
        const auto bmp = EncodeBmp24(s.View(), r.w, r.h, false);
        ASSERT_EQ(bmp.size(), r.fileSize) << r.w;
        EXPECT_EQ(BmpStride(r.w), r.stride);
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(U32(bmp, 2), r.fileSize);
        EXPECT_EQ(U32(bmp, 6), 0u);
        EXPECT_EQ(U32(bmp, 10), 54u);
        EXPECT_EQ(U32(bmp, 14), 40u);
        EXPECT_EQ(U32(bmp, 18), r.w);
        EXPECT_EQ(U32(bmp, 22), r.h);
        EXPECT_EQ(bmp[26] | (bmp[27] << 8), 1);
        EXPECT_EQ(bmp[28] | (bmp[29] << 8), 24);
        for (std::size_t at = 30; at < 54; at += 4) EXPECT_EQ(U32(bmp, at), 0u) << at;
        // Pixels are blue, green, red; the filler after a row stays zero.
        EXPECT_EQ(bmp[54], 0x30);
        EXPECT_EQ(bmp[55], 0x20);
        EXPECT_EQ(bmp[56], 0x10);
        for (std::size_t at = 54 + 3 * r.w; at < 54 + r.stride; ++at) EXPECT_EQ(bmp[at], 0) << at;
    }
}

TEST(BmpImage, RowsAreStoredBottomUp) {
    Surface s(2, 3);
    s.At(0, 2) = 0x00AABBCC;  // bottom-left of the surface
    s.At(1, 0) = 0x00112233;  // top-right
    const auto bmp = EncodeBmp24(s.View(), 2, 3, false);
    ASSERT_FALSE(bmp.empty());
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 54, bmp.begin() + 57), (std::vector<std::uint8_t>{0xCC, 0xBB, 0xAA}));
    const std::size_t topRow = 54 + 2 * BmpStride(2);
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + topRow + 3, bmp.begin() + topRow + 6),
              (std::vector<std::uint8_t>{0x33, 0x22, 0x11}));
}

TEST(BmpImage, BoxFilterRoundsTowardsZero) {
    Surface s(4, 4);
    // Bottom-left 2x2 block: red 8, 16, 32, 67 → 30 (30.75); green all 255 → 255; blue 17, 34,
    // 68, 136 → 63 (63.75). Every value is at least 4 and all differ, so leaving out any one of
    // the four pixels, or taking one twice, changes each channel's average.
    s.At(0, 3) = 0x0008FF11;
    s.At(1, 3) = 0x0010FF22;
    s.At(0, 2) = 0x0020FF44;
    s.At(1, 2) = 0x0043FF88;
    // Top-right block: all white.
    for (std::uint32_t y = 0; y < 2; ++y)
        for (std::uint32_t x = 2; x < 4; ++x) s.At(x, y) = 0x00FFFFFF;
    const auto bmp = EncodeBmp24(s.View(), 2, 2, true);
    ASSERT_EQ(bmp.size(), 54u + 2 * 8);
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 54, bmp.begin() + 57), (std::vector<std::uint8_t>{63, 255, 30}));
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 62 + 3, bmp.begin() + 62 + 6),
              (std::vector<std::uint8_t>{255, 255, 255}));
}

TEST(BmpImage, PitchWiderThanTheRowIsHonoured) {
    // Two rows of one pixel, 16 bytes apart.
    std::uint32_t memory[8] = {0x00010203, 0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF, 0x00040506, 0, 0, 0};
    const SurfacePixels view{reinterpret_cast<const std::uint8_t*>(memory), 16, 1, 2};
    const auto bmp = EncodeBmp24(view, 1, 2, false);
    ASSERT_EQ(bmp.size(), 54u + 8);
    EXPECT_EQ(bmp[54], 0x06);  // bottom row first
    EXPECT_EQ(bmp[58], 0x03);
}

TEST(BmpImage, SizesThatDoNotFitAreRefused) {
    Surface s(4, 4);
    EXPECT_TRUE(EncodeBmp24(s.View(), 4, 4, true).empty()) << "antialiasing needs twice the size";
    EXPECT_TRUE(EncodeBmp24(s.View(), 0, 4, false).empty());
    EXPECT_TRUE(EncodeBmp24(s.View(), 3, 4, false).empty());
}

TEST(BmpImage, ProgressReportsEachNewPercentOnce) {
    // A narrow picture is converted by the calling thread; a wide one, with three threads, in steps.
    for (std::uint32_t width : {1u, 400u}) {
        const rm::ScopedPoolThreads threads(3);
        Surface s(width, 300);
        std::vector<int> shown;
        EncodeBmp24(s.View(), width, 300, false, [&](int p) { shown.push_back(p); });
        ASSERT_EQ(shown.size(), 100u) << width;
        for (int i = 0; i < 100; ++i) EXPECT_EQ(shown[i], i) << width;
    }
}

// A picture large enough to be converted by several threads: every byte as a plain per-channel
// reading of the rule gives it (one output pixel from the surface's pixel or 2x2 block, rows
// bottom-up, filler zero), with one thread and with three.
TEST(BmpImage, LargePicturesConvertByTheRuleWhateverTheThreads) {
    for (const bool antialias : {false, true}) {
        const std::uint32_t w = 419, h = 233, scale = antialias ? 2 : 1;
        Surface s(w * scale, h * scale);
        std::uint32_t seed = 99;
        for (auto& p : s.pixels) {
            seed = seed * 1103515245u + 12345u;
            p = (seed >> 4) & 0x00FFFFFF;
        }
        std::vector<std::uint8_t> expected(54 + BmpStride(w) * h, 0);
        for (std::uint32_t r = 0; r < h; ++r)
            for (std::uint32_t c = 0; c < w; ++c)
                for (int channel = 0; channel < 3; ++channel) {  // blue, green, red
                    std::uint32_t sum = 0;
                    for (std::uint32_t dy = 0; dy < scale; ++dy)
                        for (std::uint32_t dx = 0; dx < scale; ++dx)
                            sum += (s.At(c * scale + dx, (h - 1 - r) * scale + dy) >> (8 * channel)) & 0xFF;
                    expected[54 + BmpStride(w) * r + 3 * c + channel] = static_cast<std::uint8_t>(sum / (scale * scale));
                }
        for (unsigned threadCount : {1u, 3u}) {
            SCOPED_TRACE(std::to_string(threadCount) + (antialias ? " threads, antialiased" : " threads"));
            const rm::ScopedPoolThreads threads(threadCount);
            const auto bmp = EncodeBmp24(s.View(), w, h, antialias);
            ASSERT_EQ(bmp.size(), expected.size());
            EXPECT_TRUE(std::equal(bmp.begin() + 54, bmp.end(), expected.begin() + 54));
        }
    }
}

// The block is the caller's to keep: a second picture of the same size is built in the same memory,
// a smaller one too, and each holds its own pixels only.
TEST(BmpImage, TheBlockIsReusedFromOnePictureToTheNext) {
    std::vector<std::uint8_t> block;
    Surface first(300, 250, 0x00FF8040), second(300, 250, 0x00102030), small(5, 3, 0x00A0B0C0);
    ASSERT_TRUE(EncodeBmp24Into(block, first.View(), 300, 250, false));
    const std::uint8_t* memory = block.data();
    ASSERT_TRUE(EncodeBmp24Into(block, second.View(), 300, 250, false));
    EXPECT_EQ(block.data(), memory);
    EXPECT_EQ(block, EncodeBmp24(second.View(), 300, 250, false));
    ASSERT_TRUE(EncodeBmp24Into(block, small.View(), 5, 3, false));
    EXPECT_EQ(block.data(), memory);
    EXPECT_EQ(block, EncodeBmp24(small.View(), 5, 3, false));
    EXPECT_FALSE(EncodeBmp24Into(block, small.View(), 4, 3, false));
    EXPECT_TRUE(block.empty()) << "a size that does not fit leaves no stale picture behind";
}

TEST(BmpImage, WritingReplacesAtomicallyAndFailuresLeaveNothing) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/out.bmp";
    ASSERT_TRUE(WriteFileReplacing(path, {1, 2, 3}));
    QFile written(QString::fromStdString(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("\x01\x02\x03", 3));
    // A folder that does not exist.
    EXPECT_FALSE(WriteFileReplacing(dir.path().toStdString() + "/missing/out.bmp", {1}));
    EXPECT_FALSE(QFile::exists(dir.path() + "/missing/out.bmp"));
}

TEST(BmpImage, AWriteThatRunsOutOfSpaceFailsAndKeepsThePreviousFile) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/out.bmp";
    ASSERT_TRUE(WriteFileReplacing(path, {9, 9}));
    // A file size limit makes the write fail part-way, as a full disk would.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &tight);
    const bool written = WriteFileReplacing(path, std::vector<std::uint8_t>(1 << 20, 7));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    QFile kept(QString::fromStdString(path));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("\x09\x09", 2));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left behind";
}

}  // namespace
