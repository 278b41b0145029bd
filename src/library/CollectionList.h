#pragma once
// What the collection window shows: the entries of a category's plist.txt and the list image they
// are drawn into once, so that painting and moving the selection never decode a picture again.
//
// Entry i takes the band y = 65·i … 65·i + 65 of the list image (W × count·65 + 1, W = window
// width − 4): its thumbnail at (1, 65·i + 1), at most 64 × 64 (a larger picture is cut to its
// cell), its name's lines at x = 66 from y = 65·i + 2, 16 pixels apart, and a dark grey frame. A
// thumbnail that is missing or does not decode gets a plain grey box instead.

#include <QImage>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface/DirectDraw.h"
#include "platform/surface/Surface.h"
#include "scene/PartListFile.h"

class CCommunicator;
class QPainter;

namespace collection {

inline constexpr int kRowHeight = 65;
inline constexpr int kThumbnailSize = 64;
inline constexpr int kTextX = 66;
inline constexpr int kLineHeight = 16;
// The window's client rows above the list image.
inline constexpr int kTopMargin = 2;
// The window is count · 65 + 3 high; the list image is 4 pixels narrower than the window.
inline int WindowHeight(std::size_t count) { return static_cast<int>(count) * kRowHeight + 3; }
inline int ImageWidth(int windowWidth) { return windowWidth - 4; }
inline int ImageHeight(std::size_t count) { return static_cast<int>(count) * kRowHeight + 1; }

// The entry under client row y: −1 at y ≤ 2 (nothing is hit), else (y − 2) / 65 up to the last.
int EntryAt(int y, std::size_t count);

// The entries of folder + "plist.txt" in `archive` (folder "" for the root, else ending in "\");
// empty when the file is missing or holds no valid line.
std::vector<scene::PartListEntry> ReadPartList(CCommunicator& archive, const std::string& folder);

// The index of the entry whose part path is `partPath` (compared without regard to case, as the
// archive's names are); 0 when none is.
int EntryInUse(const std::vector<scene::PartListEntry>& entries, std::string_view partPath);

// The list image of `entries` for a window `windowWidth` wide; null when the surface cannot be made.
surface::Ref<surface::Surface> BuildListImage(const surface::DirectDraw& directDraw, CCommunicator& archive,
                                              const std::vector<scene::PartListEntry>& entries, int windowWidth);

// How many thumbnails the list images have decoded since the program started: a list is drawn
// once per load (or width), never again for a paint.
std::size_t ThumbnailsDecoded();

// Paints the window's picture straight from the list image: the list image at (0, 2), then the
// selected entry (−1: none) highlighted: dark blue behind its text, the text in white (the list
// image merged onto the blue with "destination OR NOT source"), and a yellow frame. Only the
// selected entry's text area is made anew.
void PaintList(QPainter& painter, const QImage& listImage, int selection);

}  // namespace collection
