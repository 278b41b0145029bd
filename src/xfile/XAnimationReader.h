#pragma once
// An "AnimationSet" block: one animation per "Animation" whose frame reference names a frame of the
// file, with its rotation, scale and position keys.

#include <span>
#include <string_view>

#include "platform/rm/Library.h"

namespace xfile {

class XTokenizer;

struct XFrameEntry {
    std::string_view name;  // points into the text
    rm::Ref<rm::Frame> frame;
};

// Reads the set after its keyword into `set`. A frame reference is looked up in `frames` (exact
// name, first entry wins); an animation whose frame is not there is not made, and its tokens are
// read by the set's own loop.
void ReadAnimationSet(XTokenizer& tokens, rm::Library& library, rm::AnimationSet& set,
                      std::span<const XFrameEntry> frames);

}  // namespace xfile
