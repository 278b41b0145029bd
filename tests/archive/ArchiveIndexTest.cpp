#include <gtest/gtest.h>

#include <functional>

#include "ArchiveFixtures.h"
#include "archive/ArchiveIndex.h"
#include "base/ArchiveStream.h"

namespace {

using fixture::Bytes;
using fixture::PutU32;

// A well-formed index of two entries (the volume's data area holding 10 + 20 bytes), with records
// `recordSize` bytes apart.
Bytes GoodIndex(std::uint32_t recordSize = 16) {
    StoringArchive names;
    names.WriteCount(2);
    names.WriteString("LIGHT.TXT");
    names.WriteString("BODY\\PLIST.TXT");
    archive::VolumeHeader h;
    h.entryCount = 2;
    h.nameTableLength = static_cast<std::uint32_t>(names.Bytes().size());
    h.largestSize = 20;
    h.dataAreaOffset = 124 + h.nameTableLength + 2 * recordSize;
    h.totalLength = h.dataAreaOffset + 30;
    StoringArchive out;
    h.Write(out);
    out.WriteBytes(names.Bytes());
    const std::uint32_t records[2][4] = {{recordSize, 10, 0, 0}, {recordSize, 20, 10, 1}};
    for (const auto& r : records) {
        for (std::uint32_t v : r) out.WriteU32(v);
        for (std::uint32_t pad = 16; pad < recordSize; ++pad) out.WriteU8(0xEE);
    }
    return out.TakeBytes();
}

constexpr std::size_t kTotalLength = 20, kFormatFlag = 24, kEntryCount = 28, kTableLength = 32, kLargest = 36,
                      kDataArea = 40;
std::size_t Records(const Bytes& index) {
    return 124 + fixture::U32At(index, kTableLength);
}

TEST(ArchiveIndex, AcceptanceByLengthOrFormatFlag) {
    struct Row {
        const char* what;
        std::function<void(Bytes&)> change;
        bool accepted;
    } rows[] = {
        {"index shorter than its volume, flag 1", [](Bytes&) {}, true},
        {"index longer than its volume, flag 1", [](Bytes& b) { b.resize(b.size() + 500, 0x5A); }, true},
        {"index of any total length field, flag 1", [](Bytes& b) { PutU32(b, kTotalLength, 0x7FFFFFFF); },
         true},
        {"flag 0, length equal to the total length",
         [](Bytes& b) {
             PutU32(b, kFormatFlag, 0);
             PutU32(b, kTotalLength, static_cast<std::uint32_t>(b.size()));
             PutU32(b, kDataArea, static_cast<std::uint32_t>(b.size()));
             PutU32(b, Records(b) + 4, 0);
             PutU32(b, Records(b) + 20, 0);
             PutU32(b, Records(b) + 24, 0);
         },
         true},
        {"flag 0, length differing", [](Bytes& b) { PutU32(b, kFormatFlag, 0); }, false},
        {"flag 2, length differing", [](Bytes& b) { PutU32(b, kFormatFlag, 2); }, false},
    };
    for (const auto& r : rows) {
        Bytes index = GoodIndex();
        r.change(index);
        EXPECT_EQ(archive::ArchiveIndex::Parse(index, index.size()).has_value(), r.accepted) << r.what;
    }
}

TEST(ArchiveIndex, MapsNamesToRecords) {
    for (std::uint32_t recordSize : {16u, 32u}) {
        const Bytes index = GoodIndex(recordSize);
        const auto parsed = archive::ArchiveIndex::Parse(index, index.size());
        ASSERT_TRUE(parsed) << recordSize;
        EXPECT_EQ(parsed->Size(), 2u);
        const archive::EntryRecord* plist = parsed->Find("BODY\\PLIST.TXT");
        ASSERT_NE(plist, nullptr);
        EXPECT_EQ(plist->storedSize, 20u);
        EXPECT_EQ(plist->dataOffset, 10u);
        EXPECT_TRUE(plist->IsCompressed());
        EXPECT_EQ(parsed->Find("light.txt"), nullptr);  // callers upper-case first
    }
}

TEST(ArchiveIndex, CountsAndOffsetsThatDoNotFitAreRefused) {
    struct Row {
        const char* what;
        std::function<void(Bytes&)> change;
    } rows[] = {
        {"shorter than a header", [](Bytes& b) { b.resize(100); }},
        {"entry count above the name table's", [](Bytes& b) { PutU32(b, kEntryCount, 3); }},
        {"entry count of 2^32 - 1", [](Bytes& b) { PutU32(b, kEntryCount, 0xFFFFFFFF); }},
        {"name table past the end", [](Bytes& b) { PutU32(b, kTableLength, 0x7FFFFFF0); }},
        {"name table offset past the end", [](Bytes& b) { PutU32(b, 0, 0xFFFFFFF0); }},
        {"name running past the name table", [](Bytes& b) { b[126] = 200; }},
        {"name count differing from the entry count", [](Bytes& b) { b[124] = 1; }},
        {"records cut short", [](Bytes& b) { b.pop_back(); }},
        {"record size below 16", [](Bytes& b) { PutU32(b, Records(b), 8); }},
        {"record size past the end", [](Bytes& b) { PutU32(b, Records(b), 0x80000000); }},
        {"stored size above the largest", [](Bytes& b) { PutU32(b, Records(b) + 4, 21); }},
        {"data past the data area", [](Bytes& b) { PutU32(b, Records(b) + 16 + 8, 11); }},
        {"data offset wrapping around", [](Bytes& b) { PutU32(b, Records(b) + 16 + 8, 0xFFFFFFF0); }},
        {"data area after the total length",
         [](Bytes& b) { PutU32(b, kDataArea, fixture::U32At(b, kTotalLength) + 1); }},
        {"largest entry beyond what is allocated", [](Bytes& b) { PutU32(b, kLargest, 0xFFFFFFFF); }},
    };
    for (const auto& r : rows) {
        Bytes index = GoodIndex();
        r.change(index);
        EXPECT_FALSE(archive::ArchiveIndex::Parse(index, index.size())) << r.what;
    }
}

TEST(ArchiveIndex, EmptyIndex) {
    StoringArchive out;
    archive::VolumeHeader h;
    h.nameTableLength = 2;
    h.dataAreaOffset = h.totalLength = 126;
    h.Write(out);
    out.WriteCount(0);
    const auto parsed = archive::ArchiveIndex::Parse(out.Bytes(), out.Bytes().size());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Size(), 0u);
}

}  // namespace

namespace {

TEST(ArchiveIndex, LoadReadsOnlyTheDirectoryOfAVolume) {
    // A whole volume given as index: accepted by its length, and only the directory is read.
    Bytes volume = GoodIndex();
    const std::size_t directoryEnd = volume.size();
    volume.resize(volume.size() + 30, 0xAB);
    PutU32(volume, kFormatFlag, 0);
    std::uint64_t furthest = 0;
    const auto index =
        archive::ArchiveIndex::Load(volume.size(), [&](std::uint64_t offset, void* buffer, std::size_t n) {
            if (offset + n > volume.size()) return false;
            furthest = std::max<std::uint64_t>(furthest, offset + n);
            std::copy_n(volume.begin() + static_cast<std::ptrdiff_t>(offset), n,
                        static_cast<std::uint8_t*>(buffer));
            return true;
        });
    ASSERT_TRUE(index);
    EXPECT_EQ(index->Size(), 2u);
    EXPECT_EQ(furthest, directoryEnd);
}

}  // namespace
