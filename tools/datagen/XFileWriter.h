#pragma once
// Writes a part file in the text mesh layout the reader expects: header line, a Header block, one
// top-level frame with nested frames (FrameTransformMatrix, then Mesh with MeshMaterialList before
// MeshNormals and MeshTextureCoords after them) and an AnimationSet as the last element.

#include <string>

#include "FrameNode.h"

namespace datagen {

std::string WriteXFile(const PartFile& part);

// Fixed-point text of a real with six decimals; -0 is written as 0 so that output never depends on
// the sign of a rounding residue.
std::string Real(double v);

}  // namespace datagen
