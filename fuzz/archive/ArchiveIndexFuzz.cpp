// libFuzzer harness of the archive index reader: any bytes as an index file, read through the same
// bounded loading the reader uses on disk.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive/ArchiveIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto readAt = [&](std::uint64_t offset, void* buffer, std::size_t count) {
        if (offset > size || count > size - offset) return false;
        if (count) std::memcpy(buffer, data + offset, count);
        return true;
    };
    const auto index = archive::ArchiveIndex::Load(size, readAt);
    if (index) {
        const auto& h = index->Header();
        // What the reader relies on after accepting an index.
        if (h.largestSize > archive::kMaxEntrySize || h.dataAreaOffset > h.totalLength) std::abort();
        if (index->Size() > h.entryCount) std::abort();
    }
    const auto parsed = archive::ArchiveIndex::Parse({data, size}, size);
    if (parsed.has_value() != index.has_value()) std::abort();
    return 0;
}
