#pragma once
// One skin mesh as joint smoothing sees it: positions in world coordinates, normals in the mesh's
// own coordinates, the face list, and a world box widened by 0.1 that decides which meshes can touch.

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/rm/Frame.h"
#include "platform/rm/MeshBuilder.h"

struct SmoothMesh {
    rm::Ref<rm::MeshBuilder> mesh;
    std::vector<rm::Vector> vertices;  // world coordinates
    std::vector<rm::Vector> normals;   // the mesh's own coordinates
    std::vector<std::uint32_t> faceData;
    rm::Vector boxMin;  // the widened box's corners in world coordinates, as transformed (not re-sorted)
    rm::Vector boxMax;

    // Normal index of each vertex's first appearance in the face list; kNoNormal when the vertex
    // appears nowhere (or names a normal the mesh does not have).
    static constexpr std::uint32_t kNoNormal = 0xFFFFFFFFu;
    std::vector<std::uint32_t> firstNormal;

    // (grid cell, vertex index) for every vertex, sorted: the vertices of one cell (cells of twice
    // the joining distance) are a run in ascending index order.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> grid;
    // Where each occupied cell's run lies in `grid`: [first, last).
    std::unordered_map<std::uint64_t, std::pair<std::uint32_t, std::uint32_t>> cells;
    float gridCell = 0;
    // The box of the world positions themselves (tight), built with the grid.
    rm::Vector vertexMin, vertexMax;
};

// Builds a record from a mesh of `frame` (positions converted with the frame's Transform).
SmoothMesh MakeSmoothMesh(rm::MeshBuilder& mesh, const rm::Frame& frame);

// The first appearance of `vertex` in `faceData`, walking faces in order (count, then pairs of
// vertex and normal index; a count of 0 ends the list). kNoNormal when not found.
std::uint32_t FindFirstNormal(const std::vector<std::uint32_t>& faceData, std::uint32_t vertex);
