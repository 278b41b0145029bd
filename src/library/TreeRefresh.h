#pragma once
// The main view's tree refresh: finds the check box a person toggled since the last refresh and
// carries the change into the scene, then remembers every item's check state.
//
// Each item's data word holds the check state the view saw last (0 or 1). The walk goes through
// the items shown (expanded branches) from the top; the first item whose box differs from its
// data word is processed, and only that one:
//   - a category (an item with children) passes its new state to each direct child, whose part
//     is shown or hidden; the category's own part is not touched;
//   - any other item shows or hides its part; when it has a parent, checking it checks the parent
//     and unchecking the last checked child unchecks the parent (the parent's part stays).
// Every item's state is then recorded, shown or not, so that a box that code sets on a hidden
// item is never taken for a person's toggle later.

#include "scene/PartsTree.h"

class CMainDoc;

// `full` false only records the states. `document` may be null (nothing is shown or hidden).
// Returns the item processed, or 0.
HTREEITEM RefreshTree(CPartsTree& tree, CMainDoc* document, bool full);
