#pragma once
// Stage 0: walks the hierarchy under the rendered frame and gathers the meshes with their world
// matrices and the lights with their world placement.

#include <vector>

#include "platform/rm/Frame.h"
#include "platform/rm/MeshBuilder.h"
#include "platform/rm/raster/Records.h"

namespace rm::raster {

struct MeshInstance {
    const MeshBuilder* mesh;
    Matrix4 world;
};

struct SceneLight {
    LightType type;
    Rgb color;
    Vector position;   // world origin of the light's frame
    Vector direction;  // world +z axis of the light's frame (unit)
};

struct SceneContents {
    std::vector<MeshInstance> meshes;
    std::vector<SceneLight> lights;
};

// Everything under `root` (root included), in depth-first order, a frame before its children.
SceneContents WalkScene(const Frame& root);

}  // namespace rm::raster
