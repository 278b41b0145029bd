// The pose file image: what is written reads back the same; foreign, newer, damaged, truncated and
// patched files are refused and yield nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "base/PoseFile.h"

namespace {

pose::PoseData Figure() {
    pose::PoseData data;
    data.parts.push_back({"", {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}});
    data.parts.push_back({"ARML\\", {0.8f, 0.6f, 0, -0.6f, 0.8f, 0, 0, 0, 1, 2.5f, 9, -0.25f}});
    data.parts.push_back({"ARML\\FARML\\", {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, -5, 0}});
    data.parts.push_back({std::string(400, 'L') + "\\", {-1, 0, 0, 0, 1, 0, 0, 0, -1, 1e-7f, -3e5f, 7}});
    return data;
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int b = 0; b < 4; ++b) bytes[at + std::size_t(b)] = std::uint8_t(value >> (8 * b));
}

pose::PoseFileStatus Read(const std::vector<std::uint8_t>& bytes, pose::PoseData& out) {
    out.parts.push_back({"stale", {}});  // a refused file must leave nothing behind
    return pose::ReadPose(bytes, out);
}

TEST(PoseFileTest, WhatIsWrittenReadsBackTheSame) {
    for (const pose::PoseData& data : {pose::PoseData{}, Figure()}) {
        const std::vector<std::uint8_t> bytes = pose::WritePose(data);
        ASSERT_GE(bytes.size(), 16u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), std::string(pose::kPoseSignature, 8));
        pose::PoseData read;
        ASSERT_EQ(Read(bytes, read), pose::PoseFileStatus::Ok);
        EXPECT_EQ(read, data);
    }
}

TEST(PoseFileTest, EveryTruncationIsRefused) {
    const std::vector<std::uint8_t> bytes = pose::WritePose(Figure());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        pose::PoseData read;
        const pose::PoseFileStatus status = Read({bytes.begin(), bytes.begin() + std::ptrdiff_t(n)}, read);
        EXPECT_EQ(status, n < 8 ? pose::PoseFileStatus::Foreign : pose::PoseFileStatus::Damaged) << n;
        EXPECT_TRUE(read.parts.empty()) << n;
    }
}

TEST(PoseFileTest, ForeignNewerAndDamagedFilesAreRefused) {
    const std::vector<std::uint8_t> good = pose::WritePose(Figure());
    struct Case {
        const char* what;
        std::size_t at;           // where a u32 is patched in (or one byte when `byte`)
        std::uint32_t value;
        bool byte;
        pose::PoseFileStatus expected;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    std::uint32_t nanBits, infBits;
    std::memcpy(&nanBits, &nan, 4);
    std::memcpy(&infBits, &inf, 4);
    const Case cases[] = {
        {"signature", 0, 'X', true, pose::PoseFileStatus::Foreign},
        {"signature end", 7, 0x1B, true, pose::PoseFileStatus::Foreign},
        {"newer version", 8, 2, false, pose::PoseFileStatus::NewerVersion},
        {"version 0", 8, 0, false, pose::PoseFileStatus::Damaged},
        {"count one more", 12, 5, false, pose::PoseFileStatus::Damaged},
        {"count one less", 12, 3, false, pose::PoseFileStatus::Damaged},
        {"count huge", 12, 0xFFFFFFFFu, false, pose::PoseFileStatus::Damaged},
        {"count beyond the bytes", 12, 0x00100000u, false, pose::PoseFileStatus::Damaged},
        {"root folder length beyond the bytes", 16, 0xFE, true, pose::PoseFileStatus::Damaged},
        {"root folder long form beyond the bytes", 16, 0xFF, true, pose::PoseFileStatus::Damaged},
        {"placement not a number", 17, nanBits, false, pose::PoseFileStatus::Damaged},
        {"placement infinite", 17 + 44, infBits, false, pose::PoseFileStatus::Damaged},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        if (c.byte)
            bytes[c.at] = std::uint8_t(c.value);
        else
            PutU32(bytes, c.at, c.value);
        pose::PoseData read;
        EXPECT_EQ(Read(bytes, read), c.expected) << c.what;
        EXPECT_TRUE(read.parts.empty()) << c.what;
    }

    std::vector<std::uint8_t> trailing = good;
    trailing.push_back(0);
    pose::PoseData twice = Figure();
    twice.parts.push_back(twice.parts[1]);
    for (const auto& bytes : {trailing, pose::WritePose(twice)}) {
        pose::PoseData read;
        EXPECT_EQ(Read(bytes, read), pose::PoseFileStatus::Damaged);
        EXPECT_TRUE(read.parts.empty());
    }
}

}  // namespace
