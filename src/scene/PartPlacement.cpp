#include "scene/PartPlacement.h"

#include "platform/rm/Frame.h"
#include "platform/rm/VectorMath.h"
#include "scene/PartObject.h"

namespace scene {

namespace {

// The world matrix of the frame a part is placed in: its parent part's frame, or its frame's parent.
rm::Matrix4 ReferenceWorld(const CPartObject& part) {
    if (const CPartObject* parent = part.GetParent(); parent && parent->GetFrame())
        return parent->GetFrame()->WorldMatrix();
    if (const rm::Frame* up = part.GetFrame()->Parent()) return up->WorldMatrix();
    return rm::Matrix4{};
}

}  // namespace

rm::Matrix4 PlacementInParentPart(const CPartObject& part) {
    if (!part.GetFrame()) return rm::Matrix4{};
    return rm::Multiply(part.GetFrame()->WorldMatrix(), rm::Inverse(ReferenceWorld(part)));
}

void SetPlacementInParentPart(CPartObject& part, const rm::Matrix4& placement) {
    rm::Frame* frame = part.GetFrame();
    if (!frame) return;
    const rm::Matrix4 world = rm::Multiply(placement, ReferenceWorld(part));
    const rm::Frame* up = frame->Parent();
    frame->AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE,
                        up ? rm::Multiply(world, rm::Inverse(up->WorldMatrix())) : world);
}

}  // namespace scene
