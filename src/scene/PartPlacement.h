#pragma once
// Where a part stands relative to the part it hangs on. A part's frame hangs on a link frame of its
// parent part, and that link frame carries the pose set's turn of the joint; the placement here
// spans both (the part frame in the parent part frame's coordinates), so it means the same body
// position whatever pose set the figure was loaded from. A part without a parent part is placed
// relative to its frame's own parent.

#include "platform/rm/Types.h"

class CPartObject;

namespace scene {

// The part frame's matrix in its parent part frame's coordinates (row vectors: a point of the part
// times this matrix is the point in the parent part's coordinates). Identity without a frame.
rm::Matrix4 PlacementInParentPart(const CPartObject& part);
// Sets the part frame's own matrix so that PlacementInParentPart gives `placement`.
void SetPlacementInParentPart(CPartObject& part, const rm::Matrix4& placement);

}  // namespace scene
