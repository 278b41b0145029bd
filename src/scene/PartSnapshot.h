#pragma once
// What the scene's undo steps of whole parts keep. A deleted part (with the parts below it) is kept
// as the records a scene file would hold of it, with what a file does not say: the frames' names,
// which parts were hidden, the tree entries and where the part stood among its siblings, so that
// bringing it back gives the same part under the same names. A swapped mesh is kept as the
// definition, the frame's name and the placement it replaced.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "scene/SceneRecords.h"

namespace scene {

// A tree entry of a part made for an entry that adds parts.
struct PartEntry {
    std::size_t part = 0;     // the part's place in the record's pre-order
    std::string parentLabel;  // the entry it was added under
    int figure = 0;           // the figure whose entry that is (0 for none)
    std::string label;
    std::size_t position = 0;  // among that entry's children
    bool checked = true;
};

struct PartSnapshot {
    PartRecord record;
    // Per part of the record, in its pre-order: the frame's name ("" for a part without one) and
    // whether its visuals were shown.
    std::vector<std::string> frameNames;
    std::vector<bool> visible;
    std::vector<PartEntry> entries;
    // The frame of the part it hangs on ("" at the top level), and its place in that part's
    // children (or among the top-level parts).
    std::string parentFrameName;
    std::size_t position = 0;
};

// A figure as a removal found it: what brings it back with the same number, pose set, place in
// the tree and in the scene, parts, poses, colours and ticks.
struct FigureSnapshot {
    int number = 1;
    std::string poseSetPath;
    bool poseSetLoaded = false;
    std::array<float, 9> root{0, 0, 0, 0, 0, 1, 0, 1, 0};  // the root frame's placement in the scene frame
    std::size_t position = 0;                              // among the tree's top-level entries
    std::vector<PartSnapshot> parts;                       // its top-level parts with the parts below them
    std::vector<std::pair<std::string, bool>> ticks;       // its entries' ticks, by folder
};

// A part's mesh as a swap found it.
struct PartMesh {
    std::string definitionPath;
    std::string frameName;
    std::array<float, 9> placement{};  // position, direction and up in the parent frame
};

}  // namespace scene
