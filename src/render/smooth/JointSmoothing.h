#pragma once
// Joint smoothing: where two skin meshes meet, vertices of the two meshes lie on the same cut.
// Every pair of such vertices closer than the threshold gets one normal, the normalised sum of
// both, so shading runs on across the joint. Only normals change, in place.
//
// Pairs are visited exactly in the order of the plain quadratic walk (meshes i, j in order; vertices
// of A in order; for each, vertices of B in order), so each normal ends up as that walk would leave
// it; a grid over B's vertices finds the close ones without comparing every pair. When two normals
// sum to the zero vector there is no direction to give them: both are left as they are.

#include <functional>
#include <vector>

#include "base/Progress.h"
#include "platform/rm/Frame.h"
#include "render/smooth/SmoothMesh.h"

// What a pair smoothing reports: its position (0-100) while it walks A's vertices.
using PairProgress = std::function<void(int position)>;

// Smooths one ordered pair (A, B). False when a vertex that has a close partner is missing from
// its mesh's face list: the message is shown and the rest of this pair is skipped (changes made
// before stay).
bool SmoothPair(SmoothMesh& a, SmoothMesh& b, float threshold, const PairProgress& progress = {});

// The whole operation on the skin frames (at most 512 are used): collects their meshes, smooths
// every ordered pair of different meshes, writes the normals back. `abort` is asked once per visited
// pair; when it answers true the pairs stop and what was done so far is written back. Returns the
// number of mesh records.
int SmoothJoints(const std::vector<rm::Ref<rm::Frame>>& skinFrames, double threshold, ProgressSink& progress,
                 const std::function<bool()>& abort);

// Every mesh of the frames, in frame order then visual order.
std::vector<SmoothMesh> CollectSmoothMeshes(const std::vector<rm::Ref<rm::Frame>>& frames);
// Writes each record's normals back into its mesh.
void WriteBackNormals(std::vector<SmoothMesh>& meshes);

inline constexpr std::size_t kMaxSkinFrames = 512;
// The joining distance of both the smoothing command and the render.
inline constexpr double kJointThreshold = 0.01;
