#pragma once
// A copy of a surface as a QImage (RGB32), whatever its pixel format: for showing surfaces in
// widgets and for saving them in tests.

#include <QImage>

#include "platform/surface/Surface.h"

namespace surface {

QImage ToImage(const Surface& s);

}  // namespace surface
