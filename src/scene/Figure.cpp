#include "scene/Figure.h"

#include "scene/SceneTexts.h"

namespace scene {

std::string FigureLabel(int number) {
    return number == 1 ? std::string(kCharacterLabel) : std::string(kCharacterLabel) + " " + std::to_string(number);
}

std::string FigureRootName(int number) {
    return number == 1 ? std::string("frm-_root") : "frm-_root#" + std::to_string(number);
}

}  // namespace scene
