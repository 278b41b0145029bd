#pragma once
// The pose file (*.mrp): the placements of a figure's parts, free of the 3D library so that the
// content generator and the fuzz harness use it too. Layout, little-endian, strings counted (see
// ArchiveStream.h):
//
//   signature   8 bytes  "MRPOSE" 0x0D 0x1A (a foreign file is refused)
//   version     u32      1
//   part count  u32      checked against the bytes that remain (each record at least
//                        kMinPoseRecordSize bytes) before any record is made
//   parts       per part: str folder path relative to the figure's root part ("" for the root
//               part itself, "ARML\FARML\" for a forearm), then 12 × f32, the 4x3 placement in
//               row-vector order (rows x, y, z axes, then the origin)
//
// The placement of a part is where its frame sits in its parent part's frame (the link frame it
// hangs on included, so a pose carries over between pose sets whose links differ); the root part's
// is where its frame sits in the frame it hangs on. No trailing bytes are allowed; a folder path
// appears once.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pose {

inline constexpr char kPoseSignature[8] = {'M', 'R', 'P', 'O', 'S', 'E', '\x0D', '\x1A'};
inline constexpr std::uint32_t kPoseVersion = 1;
// An empty folder string (1 byte) and the 12 floats.
inline constexpr std::size_t kMinPoseRecordSize = 1 + 12 * 4;

// Rows x, y, z axes and the origin, each x, y, z (row vectors: p' = p * M).
using Placement = std::array<float, 12>;

struct PartPose {
    std::string folder;  // relative to the figure's root part folder, "" for the root part
    Placement placement{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    bool operator==(const PartPose&) const = default;
};

struct PoseData {
    std::vector<PartPose> parts;
    bool operator==(const PoseData&) const = default;
};

enum class PoseFileStatus { Ok, Foreign, NewerVersion, Damaged };

// The whole file image.
std::vector<std::uint8_t> WritePose(const PoseData& pose);

// Reads a whole file image into `out` (left empty unless the status is Ok).
PoseFileStatus ReadPose(std::span<const std::uint8_t> bytes, PoseData& out);

}  // namespace pose
