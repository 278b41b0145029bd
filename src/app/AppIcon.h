#pragma once
// The application's icon, drawn in code in the splash picture's style (the evening sky and the
// waving mannequin), at any square size: the window icon, and the icon files of the desktop menu
// that the build draws with tools/icongen.

#include <QImage>

namespace artwork {

// The icon at `size` × `size` pixels on a transparent background.
QImage ApplicationIcon(int size);

}  // namespace artwork
