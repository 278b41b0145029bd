// The fast decode paths against the reference path, byte for byte: every test picture at every
// depth, and damaged copies of them (which must be refused alike, or decode alike).
#include <gtest/gtest.h>

#include "PictureCorpus.h"
#include "TestPictures.h"

namespace {

using namespace jpegtest;
using jpeg::DecodePathName;
using jpeg::JpegDecodePath;

// Compares the whole buffers, row padding included: a path must not write anything the reference
// path does not, not even where a failed decode stopped.
void ExpectSameOnEveryPath(const NamedFile& file, int bits, int padding, int* refused = nullptr) {
    const OurDecode reference = DecodeOnPath(file.bytes, JpegDecodePath::kReference, bits, padding);
    if (refused != nullptr && !reference.ok) ++*refused;
    for (JpegDecodePath path : RunnableFastPaths()) {
        const OurDecode fast = DecodeOnPath(file.bytes, path, bits, padding);
        ASSERT_EQ(fast.ok, reference.ok) << file.name << ", " << bits << " bits, " << DecodePathName(path);
        ASSERT_EQ(fast.width, reference.width) << file.name << ", " << DecodePathName(path);
        ASSERT_EQ(fast.height, reference.height) << file.name << ", " << DecodePathName(path);
        ASSERT_TRUE(fast.pixels == reference.pixels)
            << file.name << ", " << bits << " bits, " << DecodePathName(path) << ": the bytes differ";
    }
}

TEST(JpegDecodePaths, EveryTestPictureGivesTheReferenceBytesOnEveryPath) {
    const auto pictures = AllTestPictures();
    for (const NamedFile& file : pictures) {
        ASSERT_FALSE(file.bytes.empty()) << file.name;
        for (int bits : {32, 24, 16, 8}) ExpectSameOnEveryPath(file, bits, bits == 32 ? 0 : 3);
    }
}

TEST(JpegDecodePaths, DamagedPicturesAreRefusedOrDecodedAlikeOnEveryPath) {
    int refused = 0, tried = 0;
    for (const NamedFile& file : AllTestPictures()) {
        if (file.bytes.size() > 100000) continue;  // the large pictures add time, not cases
        for (const NamedFile& damaged : DamagedCopies(file, 12)) {
            ExpectSameOnEveryPath(damaged, 32, 5, &refused);
            ++tried;
        }
    }
    // The damage must reach both outcomes for the comparison to mean something.
    EXPECT_GT(refused, tried / 20);
    EXPECT_LT(refused, tried);
}

TEST(JpegDecodePaths, TheBestPathIsTheLastOneTheProcessorRuns) {
    bool afterBest = false;
    for (JpegDecodePath path : jpeg::kAllDecodePaths) {
        if (afterBest) {
            EXPECT_FALSE(jpeg::ProcessorRuns(path)) << DecodePathName(path);
        }
        if (path == jpeg::BestDecodePath()) afterBest = true;
    }
    EXPECT_TRUE(afterBest);
    EXPECT_TRUE(jpeg::ProcessorRuns(jpeg::BestDecodePath()));
    EXPECT_TRUE(jpeg::ProcessorRuns(JpegDecodePath::kPortable));
#if defined(__x86_64__)
    EXPECT_TRUE(jpeg::ProcessorRuns(JpegDecodePath::kSse2));
#endif
}

}  // namespace
