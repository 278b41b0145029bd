#pragma once
// The directory of one volume as read from its index file: header, and a hash map from entry name
// to entry record. Every count and offset is checked against the bytes it claims before anything
// is allocated from it; an index that does not fit its own length is refused, never trusted.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archive/VolumeHeader.h"

namespace archive {

class NativeFile;

class ArchiveIndex {
  public:
    // Parses an index from the first bytes of its file (at least up to the end of the entry
    // records); `fileLength` is the length of the whole file, which decides acceptance together
    // with the format flag (an index is shorter than its volume, so it passes by the flag). None
    // when the index is refused or anything does not fit.
    static std::optional<ArchiveIndex> Parse(std::span<const std::uint8_t> bytes, std::uint64_t fileLength);

    // Reads just the directory part of an open index file (header, name table, records) and parses
    // it. None when it is refused.
    static std::optional<ArchiveIndex> Load(NativeFile& file);
    // The same on any file: `readAt(offset, buffer, count)` reads exactly, or fails.
    using ReadAt = std::function<bool(std::uint64_t, void*, std::size_t)>;
    static std::optional<ArchiveIndex> Load(std::uint64_t fileLength, const ReadAt& readAt);

    const VolumeHeader& Header() const { return m_header; }
    // The record of an (already upper-cased) name, or null.
    const EntryRecord* Find(std::string_view name) const;
    std::size_t Size() const { return m_entries.size(); }

  private:
    VolumeHeader m_header;
    std::unordered_map<std::string, EntryRecord> m_entries;
};

}  // namespace archive
