#include "library/TreeRefresh.h"

#include <vector>

#include "scene/MainDoc.h"

namespace {

HTREEITEM FindToggled(const CPartsTree& tree) {
    for (HTREEITEM item = tree.GetFirstVisibleItem(); item != 0; item = tree.GetNextVisibleItem(item))
        if ((tree.GetItemData(item) != 0) != tree.GetCheck(item)) return item;
    return 0;
}

void ShowPart(CMainDoc* document, HTREEITEM item, bool show) {
    if (document) document->SetPartVisible(item, show ? 1 : 0);
}

void CarryToggle(CPartsTree& tree, CMainDoc* document, HTREEITEM item) {
    const bool checked = tree.GetCheck(item);
    if (tree.ItemHasChildren(item)) {
        for (HTREEITEM child : std::vector<HTREEITEM>(tree.Children(item))) {
            tree.SetCheck(child, checked);
            ShowPart(document, child, checked);
        }
        return;
    }
    const HTREEITEM parent = tree.GetParentItem(item);
    if (parent != TVI_ROOT) {
        if (checked) {
            tree.SetCheck(parent, true);
        } else {
            bool anyChecked = false;
            for (HTREEITEM sibling : tree.Children(parent)) anyChecked = anyChecked || tree.GetCheck(sibling);
            if (!anyChecked) tree.SetCheck(parent, false);
        }
    }
    ShowPart(document, item, checked);
}

void RecordAll(CPartsTree& tree, HTREEITEM parent) {
    for (HTREEITEM item : std::vector<HTREEITEM>(tree.Children(parent))) {
        const std::uint32_t seen = tree.GetCheck(item) ? 1 : 0;
        if (tree.GetItemData(item) != seen) tree.SetItemData(item, seen);
        RecordAll(tree, item);
    }
}

}  // namespace

HTREEITEM RefreshTree(CPartsTree& tree, CMainDoc* document, bool full) {
    HTREEITEM processed = 0;
    if (full) {
        processed = FindToggled(tree);
        if (processed) CarryToggle(tree, document, processed);
    }
    RecordAll(tree, TVI_ROOT);
    return processed;
}
