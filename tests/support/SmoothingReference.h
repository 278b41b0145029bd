#pragma once
// The plain quadratic pair walk: every vertex of A against every vertex of B, looking each normal
// up in the face list as it goes. The fast pair smoothing must leave exactly the same normals.

#include "platform/rm/VectorMath.h"
#include <vector>

#include "render/smooth/JointSmoothing.h"
#include "render/smooth/SmoothMesh.h"

inline bool SmoothPairReference(SmoothMesh& a, SmoothMesh& b, float t) {
    if (!(a.boxMin.x <= b.boxMax.x && a.boxMax.x >= b.boxMin.x && a.boxMin.y <= b.boxMax.y &&
          a.boxMax.y >= b.boxMin.y && a.boxMin.z <= b.boxMax.z && a.boxMax.z >= b.boxMin.z))
        return true;
    for (std::uint32_t i = 0; i < a.vertices.size(); ++i) {
        for (std::uint32_t j = 0; j < b.vertices.size(); ++j) {
            rm::Vector d;
            rm::D3DRMVectorSubtract(&d, &a.vertices[i], &b.vertices[j]);
            if (!(rm::D3DRMVectorModulus(&d) < t)) continue;
            const std::uint32_t na = FindFirstNormal(a.faceData, i);
            const std::uint32_t nb = FindFirstNormal(b.faceData, j);
            if (na == SmoothMesh::kNoNormal || nb == SmoothMesh::kNoNormal) return false;
            rm::Vector sum;
            rm::D3DRMVectorAdd(&sum, &a.normals[na], &b.normals[nb]);
            if (rm::D3DRMVectorModulus(&sum) == 0.0f) continue;
            rm::D3DRMVectorNormalize(&sum);
            a.normals[na] = sum;
            b.normals[nb] = sum;
        }
    }
    return true;
}

// Calls fn(i, j) for every ordered pair of different meshes of `count`, in the order the
// smoothing visits them.
template <typename PairFn>
void ForEachOrderedPair(std::size_t count, PairFn&& fn) {
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t j = 0; j < count; ++j)
            if (i != j) fn(i, j);
}

// Smooths every ordered pair with the grid walk or with the plain quadratic walk.
enum class PairWalk { Grid, Quadratic };
inline void SmoothAllPairs(std::vector<SmoothMesh>& meshes, float t, PairWalk walk) {
    ForEachOrderedPair(meshes.size(), [&](std::size_t i, std::size_t j) {
        if (walk == PairWalk::Grid)
            SmoothPair(meshes[i], meshes[j], t);
        else
            SmoothPairReference(meshes[i], meshes[j], t);
    });
}
