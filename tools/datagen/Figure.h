#pragma once
// The jointed figure. Every part is modelled in its own coordinates with the joint to its parent
// at the origin and limbs hanging along -y; the parent carries a leaf frame named after the child
// folder (the link frame) whose matrix places the child: the joint's offset in the parent and the
// pose's turn of the joint. Sides are built for the left (+x, the figure's left seen from the
// camera) and mirrored for the right. Frame names are unique across the whole figure, so a colour
// definition never finds a frame of a child part hanging below.

#include <functional>
#include <map>
#include <string>

#include "FrameNode.h"

namespace datagen {

// Joint names are the child folder names: HEAD, ARML/ARMR, FARML/FARMR, HANDL/HANDR, LEGL/LEGR,
// SHINL/SHINR, FOOTL/FOOTR.
Vec3 JointOffset(const std::string& joint);
const std::vector<std::string>& JointNames();

// The matrix of a link frame for a joint: the joint's turn, then its offset.
using LinkMatrix = std::function<Mat4(const std::string& joint)>;

// Variant numbers start at 0. Side is 'L' or 'R'.
PartFile BuildBody(int variant, const LinkMatrix& link);
PartFile BuildHead(int variant);
PartFile BuildUpperArm(char side, const LinkMatrix& link);
PartFile BuildForearm(char side, const LinkMatrix& link);
PartFile BuildHand(char side, int variant);
PartFile BuildThigh(char side, const LinkMatrix& link);
PartFile BuildShin(char side, const LinkMatrix& link);
PartFile BuildFoot(char side);

int BodyVariants();
int HeadVariants();
int HandVariants();

// Mirrors a part built for the left side onto the right: x negated, corners reversed so that
// faces stay clockwise, link frames renamed by the caller.
void MirrorX(FrameNode& node);

// Surfaces shared by the parts (the colours of the mesh files; the scene recolours by general name).
namespace look {
Surface Skin();
Surface Hair();
Surface Eye();
Surface Mouth();
Surface Shirt();
Surface Jacket();
Surface Dress();
Surface Trousers();
Surface Shoes();
Surface Dark();
}  // namespace look

// Cross-sections shared by the two sides of a joint, in the child's coordinates (origin at the
// joint). Both parts write these exact rings, so the cut vertices coincide in the standing pose.
Ring NeckRing();
Ring ElbowRing();
Ring WristRing();
constexpr int kLimbSegments = 16;
constexpr int kNeckSegments = 20;

}  // namespace datagen
