#include "archive/VolumeHeader.h"

#include "base/ArchiveStream.h"

namespace archive {

namespace {
constexpr char kSignature[16] = "VD_01%";
constexpr std::size_t kReservedBytes = 80;
}  // namespace

std::optional<VolumeHeader> VolumeHeader::Parse(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kSize) return std::nullopt;
    LoadingArchive in(bytes.first(kSize));
    VolumeHeader h;
    h.nameTableOffset = in.ReadU32();
    in.ReadBytes(sizeof kSignature);  // written, never tested
    h.totalLength = in.ReadU32();
    h.formatFlag = in.ReadU32();
    h.entryCount = in.ReadU32();
    h.nameTableLength = in.ReadU32();
    h.largestSize = in.ReadU32();
    h.dataAreaOffset = in.ReadU32();
    return h;
}

void VolumeHeader::Write(StoringArchive& out) const {
    out.WriteU32(nameTableOffset);
    out.WriteBytes(std::string_view(kSignature, sizeof kSignature));
    out.WriteU32(totalLength);
    out.WriteU32(formatFlag);
    out.WriteU32(entryCount);
    out.WriteU32(nameTableLength);
    out.WriteU32(largestSize);
    out.WriteU32(dataAreaOffset);
    for (std::size_t i = 0; i < kReservedBytes; ++i) out.WriteU8(0);
}

void EntryRecord::Write(StoringArchive& out) const {
    out.WriteU32(recordSize);
    out.WriteU32(storedSize);
    out.WriteU32(dataOffset);
    out.WriteU32(flags);
}

}  // namespace archive
