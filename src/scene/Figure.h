#pragma once
// A figure of the scene: a jointed character loaded from a pose set. Its parts hang below its root
// frame; its category item in the tree holds the entries of its parts. A scene holds up to
// kMaxFigures of them; each keeps its number for as long as it lives (and in the scene file), so
// removing figure 2 leaves figure 3 named as it was.

#include <string>

#include "platform/rm/Frame.h"
#include "scene/PartsTree.h"

namespace scene {

inline constexpr int kMaxFigures = 8;

struct Figure {
    int number = 1;
    HTREEITEM item = 0;
    rm::Ref<rm::Frame> root;
    std::string poseSetPath;  // "" until a pose set is loaded
    // A pose set was loaded for it once: loading another replaces its parts, after a question.
    bool poseSetLoaded = false;
};

// "キャラクタ" for figure 1, "キャラクタ n" for the others (code page 932, as tree labels are).
std::string FigureLabel(int number);
// The root frame's name: "frm-_root" for figure 1, as scenes always named it, "frm-_root#n" for
// the others, so that no two figures share a frame name.
std::string FigureRootName(int number);

}  // namespace scene
