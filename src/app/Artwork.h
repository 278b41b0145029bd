#pragma once
// The application's own pictures, drawn in code: the 16-pixel icon list of the tree views and tabs,
// the toolbar buttons, the splash picture and the frames of the progress animation.

#include <QIcon>
#include <QList>
#include <QPixmap>

namespace artwork {

// Indexes of the shared icon list that the tree views and tabs use.
enum IconIndex {
    ICON_COLLECTION = 0,  // tab: collection
    ICON_COLOR = 1,       // tab: colours
    ICON_LIGHT = 2,       // tab: lights
    ICON_OPTION = 3,      // tab: options
    ICON_PART = 4,
    ICON_PART_HIDDEN = 5,
    ICON_FIGURE = 6,  // character item, general names
    ICON_FIGURE_ALT = 7,
    ICON_CATEGORY = 8,  // tree-definition entries
    ICON_CATEGORY_OPEN = 9,
    ICON_SUN = 10,  // directional light
    ICON_SUN_ALT = 11,
    ICON_POINT_LIGHT = 12,
    ICON_POINT_LIGHT_ALT = 13,
    ICON_COUNT = 14
};

QList<QIcon> CreateIconList();
// One 16-pixel icon of the list as an image with transparent background (for tests and previews).
QPixmap IconPixmap(int index);

// Toolbar button picture of a command (blank for an unknown command); 24 × 22 inside a 28 × 26 button.
QIcon ToolbarIcon(int commandId);

// The splash picture (fixed size) and the progress animation's frame `frame` (0..7) of width w.
QPixmap SplashPicture();
QPixmap ProgressAnimationFrame(int frame, int width, int height);

}  // namespace artwork
