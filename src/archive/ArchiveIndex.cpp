#include "archive/ArchiveIndex.h"

#include <algorithm>

#include "archive/NativeFile.h"
#include "base/ArchiveStream.h"

namespace archive {

namespace {

// A directory larger than this is not read: the builder's indexes hold a name and 16 bytes per file.
constexpr std::uint64_t kMaxDirectoryBytes = 256u << 20;

std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::uint64_t pos) {
    if (pos + 4 > bytes.size()) return 0;
    LoadingArchive in(bytes.subspan(static_cast<std::size_t>(pos), 4));
    return in.ReadU32();
}

}  // namespace

std::optional<ArchiveIndex> ArchiveIndex::Parse(std::span<const std::uint8_t> bytes,
                                                std::uint64_t fileLength) {
    const auto header = VolumeHeader::Parse(bytes);
    if (!header || bytes.size() > fileLength) return std::nullopt;
    if (fileLength != header->totalLength && header->formatFlag != 1) return std::nullopt;
    if (header->largestSize > kMaxEntrySize || header->dataAreaOffset > header->totalLength)
        return std::nullopt;

    const std::uint64_t tableStart = header->nameTableOffset;
    const std::uint64_t tableEnd = tableStart + header->nameTableLength;
    const std::uint64_t count = header->entryCount;
    if (tableEnd > bytes.size()) return std::nullopt;
    // Every name takes at least its length byte and every record at least 16 bytes.
    if (count > header->nameTableLength || count * EntryRecord::kSize > bytes.size() - tableEnd)
        return std::nullopt;

    std::uint64_t recordSize = EntryRecord::kSize;
    if (count > 0) {
        recordSize = U32At(bytes, tableEnd);
        if (recordSize < EntryRecord::kSize || count * recordSize > bytes.size() - tableEnd)
            return std::nullopt;
    }

    ArchiveIndex index;
    index.m_header = *header;
    index.m_entries.reserve(static_cast<std::size_t>(count));
    LoadingArchive names(bytes.subspan(static_cast<std::size_t>(tableStart), header->nameTableLength));
    if (names.ReadCount() != count) return std::nullopt;
    const std::uint64_t dataAreaLength = header->totalLength - header->dataAreaOffset;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::string name = names.ReadString();
        LoadingArchive in(
            bytes.subspan(static_cast<std::size_t>(tableEnd + i * recordSize), EntryRecord::kSize));
        EntryRecord record;
        record.recordSize = in.ReadU32();
        record.storedSize = in.ReadU32();
        record.dataOffset = in.ReadU32();
        record.flags = in.ReadU32();
        if (!names.Ok() || !in.Ok()) return std::nullopt;
        if (record.storedSize > header->largestSize ||
            std::uint64_t{record.dataOffset} + record.storedSize > dataAreaLength)
            return std::nullopt;
        index.m_entries.try_emplace(std::move(name), record);  // a repeated name keeps its first record
    }
    return index;
}

std::optional<ArchiveIndex> ArchiveIndex::Load(NativeFile& file) {
    return Load(file.Size(), [&file](std::uint64_t offset, void* buffer, std::size_t count) {
        return file.ReadAt(offset, buffer, count);
    });
}

std::optional<ArchiveIndex> ArchiveIndex::Load(std::uint64_t fileLength, const ReadAt& readAt) {
    std::vector<std::uint8_t> bytes(
        static_cast<std::size_t>(std::min<std::uint64_t>(fileLength, VolumeHeader::kSize)));
    if (!readAt(0, bytes.data(), bytes.size())) return std::nullopt;
    const auto header = VolumeHeader::Parse(bytes);
    if (!header) return std::nullopt;

    // The directory ends after the records, whose size is in the first record; read up to that
    // size field first, then the rest. Parse checks everything again on the bytes it gets.
    const std::uint64_t tableEnd = std::uint64_t{header->nameTableOffset} + header->nameTableLength;
    std::uint64_t extent = std::min(fileLength, tableEnd + 4);
    if (extent > kMaxDirectoryBytes) return std::nullopt;
    auto readPrefix = [&](std::uint64_t end) {
        const std::size_t have = bytes.size();
        if (end <= have) return true;
        bytes.resize(static_cast<std::size_t>(end));
        return readAt(have, bytes.data() + have, bytes.size() - have);
    };
    if (!readPrefix(extent)) return std::nullopt;
    const std::uint64_t recordSize = std::max<std::uint64_t>(U32At(bytes, tableEnd), EntryRecord::kSize);
    const std::uint64_t recordBytes = recordSize * header->entryCount;  // below 2^64: both below 2^32
    if (recordBytes > kMaxDirectoryBytes) return std::nullopt;
    extent = std::min(fileLength, tableEnd + recordBytes);
    if (extent > kMaxDirectoryBytes || !readPrefix(extent)) return std::nullopt;
    return Parse(bytes, fileLength);
}

const EntryRecord* ArchiveIndex::Find(std::string_view name) const {
    const auto it = m_entries.find(std::string(name));
    return it == m_entries.end() ? nullptr : &it->second;
}

}  // namespace archive
