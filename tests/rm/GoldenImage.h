#pragma once
// Golden images: a rendered 32-bit surface is compared pixel by pixel, exactly, with a PNG under
// tests/rm/golden/ that a person has looked at. With MARISOLE_UPDATE_GOLDEN=1 in the environment
// the PNG is (re)written instead; such a change is committed with the reason.

#include <string>

#include "platform/surface/Surface.h"

namespace rmtest {

// Empty when the surface matches the golden image; otherwise what differs.
std::string CompareWithGolden(const surface::Surface& s, const std::string& name);

}  // namespace rmtest
