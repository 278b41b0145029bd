#include "scene/SceneRecords.h"

#include "base/ArchiveStream.h"
#include "platform/rm/Material.h"
#include "scene/PartIndexTable.h"

namespace scene {

namespace {

void WriteColorRecord(StoringArchive& ar, const ColorRecord& c) {
    ar.WriteU32(kColorRecordId);
    ar.WriteString(c.generalName);
    ar.WriteString(c.remark);
    ar.WriteString(c.targetFrame);
    ar.WriteU32(c.diffuse);
    ar.WriteU32(c.specular);
    ar.WriteU32(c.emissive);
    ar.WriteF32(c.power);
    ar.WriteString(c.ownerPath);
    ar.WriteI32(c.ownerIndex);
}

// A colour record of the part with index `owner`: any other owner is a file that cannot be trusted.
bool ReadColorRecord(LoadingArchive& ar, std::int32_t owner, ColorRecord& c) {
    if (ar.ReadU32() != kColorRecordId || !ar.Ok()) {
        CPartIndexTable::CountError();
        return false;
    }
    c.generalName = ar.ReadString();
    c.remark = ar.ReadString();
    c.targetFrame = ar.ReadString();
    c.diffuse = ar.ReadU32();
    c.specular = ar.ReadU32();
    c.emissive = ar.ReadU32();
    c.power = rm::UsablePower(ar.ReadF32());
    c.ownerPath = ar.ReadString();
    c.ownerIndex = ar.ReadI32();
    return ar.Ok() && c.ownerIndex == owner;
}

// What a count read from the file may be: not negative, and no more items than the bytes left can
// hold at their smallest.
bool CountFits(const LoadingArchive& ar, std::int64_t count, std::size_t minItemSize) {
    return ar.Ok() && count >= 0 && static_cast<std::uint64_t>(count) <= ar.Remaining() / minItemSize;
}

struct RecordReader {
    LoadingArchive& ar;
    std::uint32_t total;
    std::int32_t& next;

    bool Read(std::int32_t parentIndex, int depth, PartRecord& r) {
        if (next < 0 || static_cast<std::uint32_t>(next) >= total) return false;  // more than announced
        r.index = next++;
        if (ar.ReadU32() != kPartRecordId || !ar.Ok()) {
            CPartIndexTable::CountError();
            return false;
        }
        ar.ReadI32();  // the index as written: the order reproduces it
        r.parentIndex = ar.ReadI32();
        // A record nests in its parent's record: its parent index names the enclosing record (or
        // -1 at the top).
        if (r.parentIndex != parentIndex) return false;
        r.folder = ar.ReadString();
        r.definitionPath = ar.ReadString();
        r.linkName = ar.ReadString();
        r.parentFrameName = ar.ReadString();
        for (float& f : r.placement) f = ar.ReadF32();
        for (float& f : r.box) f = ar.ReadF32();
        r.parentDefinitionPath = ar.ReadString();
        const std::int32_t colorCount = ar.ReadI32();
        if (!CountFits(ar, colorCount, kMinColorRecordSize)) return false;
        r.colors.resize(static_cast<std::size_t>(colorCount));
        for (ColorRecord& c : r.colors)
            if (!ReadColorRecord(ar, r.index, c)) return false;
        const std::int32_t childCount = ar.ReadI32();
        if (!CountFits(ar, childCount, kMinPartRecordSize)) return false;
        if (childCount > 0 && depth + 1 > kMaxPartDepth) return false;
        r.children.resize(static_cast<std::size_t>(childCount));
        for (PartRecord& child : r.children)
            if (!Read(r.index, depth + 1, child)) return false;
        return ar.Ok();
    }
};

}  // namespace

void WritePartRecord(StoringArchive& ar, const PartRecord& r) {
    ar.WriteU32(kPartRecordId);
    ar.WriteI32(r.index);
    ar.WriteI32(r.parentIndex);
    ar.WriteString(r.folder);
    ar.WriteString(r.definitionPath);
    ar.WriteString(r.linkName);
    ar.WriteString(r.parentFrameName);
    for (float f : r.placement) ar.WriteF32(f);
    for (float f : r.box) ar.WriteF32(f);
    ar.WriteString(r.parentDefinitionPath);
    ar.WriteI32(static_cast<std::int32_t>(r.colors.size()));
    for (const ColorRecord& c : r.colors) WriteColorRecord(ar, c);
    ar.WriteI32(static_cast<std::int32_t>(r.children.size()));
    for (const PartRecord& child : r.children) WritePartRecord(ar, child);
}

bool ReadPartRecords(LoadingArchive& ar, std::uint32_t count, std::uint32_t total, std::int32_t& next,
                     std::vector<PartRecord>& records) {
    if (!CountFits(ar, count, kMinPartRecordSize)) return false;
    RecordReader reader{ar, total, next};
    records.resize(count);
    for (PartRecord& record : records)
        if (!reader.Read(-1, 0, record)) return false;
    return true;
}

}  // namespace scene
