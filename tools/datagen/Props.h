#pragma once
// The props offered under the option entry: each a part of its own in the folder PROP\, modelled
// where it belongs on the standing figure (hat on the head, sword in the right hand, chair under the
// sitting figure), in the coordinates of the character root.

#include <string>
#include <vector>

#include "FrameNode.h"

namespace datagen {

struct Prop {
    std::string file;  // e.g. "hat.x"
    PartFile part;
};

std::vector<Prop> BuildProps();

}  // namespace datagen
