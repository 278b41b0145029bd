// libFuzzer harness of the pose file reader: any bytes are read as a pose file. Nothing may read
// out of bounds or leak, and a file that reads must write back to bytes that read again to the same
// pose and write to the same bytes once more.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/PoseFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pose::PoseData first;
    if (pose::ReadPose(std::span(data, size), first) != pose::PoseFileStatus::Ok) {
        if (!first.parts.empty()) std::abort();  // a refused file yields nothing
        return 0;
    }
    const std::vector<std::uint8_t> written = pose::WritePose(first);
    pose::PoseData second;
    if (pose::ReadPose(written, second) != pose::PoseFileStatus::Ok || !(second == first)) std::abort();
    if (pose::WritePose(second) != written) std::abort();
    return 0;
}
