#pragma once
// The 124-byte header that starts both a volume file and its index file, and the 16-byte entry
// record. All integers are 32-bit little-endian.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class StoringArchive;

namespace archive {

// Entries larger than this are refused by the reader (and left out by the builder): the reader's two
// buffers are sized from the largest entry, so a forged size must not decide an allocation.
inline constexpr std::uint32_t kMaxEntrySize = 256u << 20;

struct VolumeHeader {
    static constexpr std::size_t kSize = 124;

    std::uint32_t nameTableOffset = kSize;
    std::uint32_t totalLength = 0;
    std::uint32_t formatFlag = 1;
    std::uint32_t entryCount = 0;
    std::uint32_t nameTableLength = 0;
    std::uint32_t largestSize = 0;
    std::uint32_t dataAreaOffset = 0;

    // Reads the header from the first kSize bytes; none when fewer are given.
    static std::optional<VolumeHeader> Parse(std::span<const std::uint8_t> bytes);
    // Writes the kSize bytes (signature "VD_01%", reserved bytes zero).
    void Write(StoringArchive& out) const;
};

struct EntryRecord {
    static constexpr std::uint32_t kSize = 16;
    static constexpr std::uint32_t kCompressed = 1;

    std::uint32_t recordSize = kSize;
    std::uint32_t storedSize = 0;
    std::uint32_t dataOffset = 0;  // relative to the header's data area offset
    std::uint32_t flags = 0;

    bool IsCompressed() const { return (flags & kCompressed) != 0; }
    void Write(StoringArchive& out) const;
};

}  // namespace archive
