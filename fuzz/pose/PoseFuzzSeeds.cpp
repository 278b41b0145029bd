// Writes a starting corpus of pose files, made by the pose file writer itself, into the folder
// given: an empty pose, a root part alone, and a whole figure of turned parts (folder names long
// and short).

#include <cmath>
#include <cstdio>
#include <string>

#include "SeedFile.h"
#include "base/PoseFile.h"

namespace {

pose::Placement Turned(float degrees, float x, float y, float z) {
    const float t = degrees * 3.14159265f / 180.0f, c = std::cos(t), s = std::sin(t);
    return {1, 0, 0, 0, c, s, 0, -s, c, x, y, z};
}

bool Write(const std::string& path, const pose::PoseData& data) {
    return fuzzseed::WriteSeed(path, pose::WritePose(data));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pose_fuzz_seeds FOLDER\n");
        return 1;
    }
    const std::string folder = std::string(argv[1]) + "/";
    pose::PoseData root;
    root.parts.push_back({"", Turned(0, 0, 0, 0)});
    pose::PoseData figure = root;
    const std::string folders[] = {"HEAD\\", "ARML\\", "ARML\\FARML\\", "ARML\\FARML\\HANDL\\", "LEGR\\",
                                   "LEGR\\SHINR\\", std::string(300, 'X') + "\\"};
    float degrees = 10;
    for (const std::string& f : folders) figure.parts.push_back({f, Turned(degrees += 15, 0.5f, -4, 1)});
    const bool ok = Write(folder + "empty.mrp", {}) && Write(folder + "root.mrp", root) &&
                    Write(folder + "figure.mrp", figure);
    return ok ? 0 : 1;
}
