#pragma once
// The sizes of the reader's tables. Content past them is read over (so the text stays in step)
// and left out; see CXFileReader for what is left out where.

namespace xfile {

inline constexpr int kMaxFrames = 128;        // frames per file
inline constexpr int kMaxMaterials = 32;      // top-level materials per file
inline constexpr int kMaxMeshMaterials = 32;  // materials of one mesh material list
inline constexpr int kMaxFaceCorners = 6;     // corners of one face
inline constexpr int kMaxNesting = 256;       // depth of blocks in a top-level object read over

}  // namespace xfile
