#pragma once
// The part and colour records of scene files as plain data, and their byte layout. A scene file is
// read whole into records and checked before anything of the open scene is touched; the document
// is then built from the records (SceneBuild.cpp). A deleted part's undo step keeps its records
// the same way.
//
// Part record, little-endian, strings counted:
//   u32 0xF529AC31, i32 serial index, i32 parent index (-1 at the top), str folder, str definition
//   path, str link name, str parent frame name, 9 × f32 placement (position, direction, up relative
//   to that frame), 6 × f32 box, str parent definition path ("(null)" at the top), i32 colour count
//   and the colour records, i32 child count and the child records.
// Colour record: u32 0xB04F41C7, str general name, str remark, str target frame, u32 diffuse,
//   u32 specular, u32 emissive, f32 power, str owner definition path, i32 owner index.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class LoadingArchive;
class StoringArchive;

namespace scene {

inline constexpr std::uint32_t kPartRecordId = 0xF529AC31u;
inline constexpr std::uint32_t kColorRecordId = 0xB04F41C7u;
// Smallest records (every string empty, no colours, no children): a part record is 85 bytes, a
// colour record 28; an option entry 6, a hidden entry 4.
inline constexpr std::size_t kMinPartRecordSize = 85;
inline constexpr std::size_t kMinColorRecordSize = 28;
inline constexpr std::size_t kMinOptionEntrySize = 6;
// A figure entry at its smallest: number, empty pose set, flag, placement.
inline constexpr std::size_t kMinFigureEntrySize = 4 + 1 + 1 + 36;
inline constexpr std::size_t kHiddenEntrySize = 4;
// Part records nest at most this deep (a figure chain is a handful of parts; each part may add up
// to 128 nested frames, and the frame searches recurse through all of them).
inline constexpr int kMaxPartDepth = 32;

struct ColorRecord {
    std::string generalName;
    std::string remark;
    std::string targetFrame;
    std::uint32_t diffuse = 0xFFFFFF;
    std::uint32_t specular = 0x5A5A5A;
    std::uint32_t emissive = 0;
    float power = 50.0f;
    std::string ownerPath;
    std::int32_t ownerIndex = -1;
};

struct PartRecord {
    std::int32_t index = -1;
    std::int32_t parentIndex = -1;
    std::string folder;
    std::string definitionPath;
    std::string linkName;
    std::string parentFrameName;
    // Position, direction and up relative to the parent frame.
    std::array<float, 9> placement{0, 0, 0, 0, 0, 1, 0, 1, 0};
    std::array<float, 6> box{};
    std::string parentDefinitionPath = "(null)";
    std::vector<ColorRecord> colors;
    std::vector<PartRecord> children;

    // This record and every record below it, parents first.
    template <class F>
    void ForEachInTree(F&& f) const {
        f(*this);
        for (const PartRecord& child : children) child.ForEachInTree(f);
    }
};

// A part entry of the tree added under an entry that adds parts: the part's index, the label of
// the entry it was added under, and its own label.
struct OptionEntry {
    std::int32_t index = -1;
    std::string parentLabel;
    std::string label;
    std::int32_t figure = 0;  // the figure whose entry the parent is; 0 for none
};

void WritePartRecord(StoringArchive& ar, const PartRecord& record);

// Reads the part records of one list (the top level of a file, or a snapshot) in order. `total`
// is how many records the whole file announced; indices are handed out in pre-order from `next`,
// which advances. False when a record cannot be trusted: a serial id that does not match (counted
// by CPartIndexTable::CountError), a parent index that is not the enclosing record's, a colour
// owned by another record, more records than announced, nesting past kMaxPartDepth, or counts
// and lengths beyond the bytes that remain. `ar` then tells nothing more.
bool ReadPartRecords(LoadingArchive& ar, std::uint32_t count, std::uint32_t total, std::int32_t& next,
                     std::vector<PartRecord>& records);

}  // namespace scene
