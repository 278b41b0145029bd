#pragma once
// Thumbnails drawn by the project's own renderer: the entry's part files, as written, are read
// back with the text mesh reader (animation sets at time 50), hung on each other's link frames,
// lit by an ambient light and a sun, framed by a camera that fits their bounds, and rendered by
// the software rasteriser (Gouraud, textured eyes). The result is a picture of what the library
// will show.

#include <QImage>
#include <string>
#include <vector>

#include "Math3.h"

namespace datagen {

struct RmPart {
    std::string text;   // the part file as written
    std::string joint;  // link frame it hangs on ("HEAD", "ARML", ...), "" for a top part
};

struct RmView {
    Vec3 direction{0.45, -0.25, 1.0};  // from the camera towards the subject
    double fill = 0.82;                // share of the picture the subject's extent takes
};

// Null image when the renderer refuses the scene.
QImage RenderParts(const std::vector<RmPart>& parts, const std::string& eyeBmp, int size, const RmView& view);

}  // namespace datagen
