#pragma once
// Golden images of the software rasteriser: a rendered 32-bit surface compared with its PNG under
// tests/rm/golden/ (see support/GoldenImage.h; a differing picture goes to the build folder).

#include <string>

#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceImage.h"
#include "support/GoldenImage.h"

namespace rmtest {

// Empty when the surface matches the golden image; otherwise what differs.
inline std::string CompareWithGolden(const surface::Surface& s, const std::string& name) {
    return golden::CompareWithGolden(surface::ToImage(s), MARISOLE_RM_GOLDEN_DIR, MARISOLE_RM_GOLDEN_OUT, name);
}

}  // namespace rmtest
