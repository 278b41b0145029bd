// Reading and writing the pose file image.

#include "base/PoseFile.h"

#include <cmath>
#include <cstring>
#include <set>

#include "base/ArchiveStream.h"

namespace pose {

std::vector<std::uint8_t> WritePose(const PoseData& pose) {
    StoringArchive ar;
    ar.WriteBytes(std::string_view(kPoseSignature, sizeof kPoseSignature));
    ar.WriteU32(kPoseVersion);
    ar.WriteU32(static_cast<std::uint32_t>(pose.parts.size()));
    for (const PartPose& part : pose.parts) {
        ar.WriteString(part.folder);
        for (float v : part.placement) ar.WriteF32(v);
    }
    return ar.TakeBytes();
}

PoseFileStatus ReadPose(std::span<const std::uint8_t> bytes, PoseData& out) {
    out.parts.clear();
    if (bytes.size() < sizeof kPoseSignature ||
        std::memcmp(bytes.data(), kPoseSignature, sizeof kPoseSignature) != 0)
        return PoseFileStatus::Foreign;
    LoadingArchive ar(bytes.subspan(sizeof kPoseSignature));
    const std::uint32_t version = ar.ReadU32();
    if (!ar.Ok()) return PoseFileStatus::Damaged;
    if (version > kPoseVersion) return PoseFileStatus::NewerVersion;
    if (version < 1) return PoseFileStatus::Damaged;
    const std::uint32_t count = ar.ReadU32();
    if (!ar.Ok() || count > ar.Remaining() / kMinPoseRecordSize) return PoseFileStatus::Damaged;

    PoseData read;
    read.parts.reserve(count);
    std::set<std::string> seen;
    for (std::uint32_t i = 0; i < count; ++i) {
        PartPose part;
        part.folder = ar.ReadString();
        for (float& v : part.placement) {
            v = ar.ReadF32();
            if (!std::isfinite(v)) return PoseFileStatus::Damaged;
        }
        if (!ar.Ok() || !seen.insert(part.folder).second) return PoseFileStatus::Damaged;
        read.parts.push_back(std::move(part));
    }
    if (!ar.AtEnd()) return PoseFileStatus::Damaged;
    out = std::move(read);
    return PoseFileStatus::Ok;
}

}  // namespace pose
