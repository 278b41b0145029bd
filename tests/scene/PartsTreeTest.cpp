// The parts tree model.

#include <gtest/gtest.h>

#include "scene/PartsTree.h"

namespace {

TEST(PartsTree, InsertedHandlesFollowInsertionAndDeletion) {
    CPartsTree tree;
    const HTREEITEM a = tree.InsertItem("a", 8, 9);
    const HTREEITEM a1 = tree.InsertItem("a1", a);
    const HTREEITEM b = tree.InsertItem("b");
    const HTREEITEM a2 = tree.InsertItem("a2", a);
    EXPECT_EQ(tree.Inserted(), (std::vector<HTREEITEM>{a, a1, b, a2}));
    EXPECT_EQ(tree.Children(a), (std::vector<HTREEITEM>{a1, a2}));
    int image = 0, selected = 0;
    ASSERT_TRUE(tree.GetItemImage(a, image, selected));
    EXPECT_EQ(image, 8);
    EXPECT_EQ(selected, 9);

    tree.SelectItem(a2);
    EXPECT_TRUE(tree.DeleteItem(a));  // with its children
    EXPECT_EQ(tree.Inserted(), (std::vector<HTREEITEM>{b}));
    EXPECT_FALSE(tree.Exists(a1));
    EXPECT_EQ(tree.GetSelectedItem(), 0u);
    EXPECT_FALSE(tree.DeleteItem(a));
    EXPECT_EQ(tree.InsertedAt(0), b);
    EXPECT_EQ(tree.InsertedAt(5), 0u);

    const HTREEITEM c = tree.InsertItem("c");
    EXPECT_NE(c, a);  // handles are not reused
    tree.DeleteAllItems();
    EXPECT_EQ(tree.InsertedCount(), 0u);
    EXPECT_EQ(tree.GetCount(), 0u);
    EXPECT_EQ(tree.InsertItem("x", 0x7777), 0u);  // no such parent
}

TEST(PartsTree, VisibleWalkFollowsExpandedBranches) {
    CPartsTree tree;
    const HTREEITEM a = tree.InsertItem("a");
    const HTREEITEM a1 = tree.InsertItem("a1", a);
    const HTREEITEM a11 = tree.InsertItem("a11", a1);
    const HTREEITEM b = tree.InsertItem("b");
    const HTREEITEM b1 = tree.InsertItem("b1", b);
    auto walk = [&tree] {
        std::vector<HTREEITEM> seen;
        for (HTREEITEM i = tree.GetFirstVisibleItem(); i; i = tree.GetNextVisibleItem(i)) seen.push_back(i);
        return seen;
    };
    EXPECT_EQ(walk(), (std::vector<HTREEITEM>{a, b}));
    tree.Expand(a);
    tree.Expand(a1);
    EXPECT_EQ(walk(), (std::vector<HTREEITEM>{a, a1, a11, b}));
    tree.EnsureVisible(b1);
    EXPECT_EQ(walk(), (std::vector<HTREEITEM>{a, a1, a11, b, b1}));
    const HTREEITEM first = tree.InsertItem("first", TVI_ROOT, TVI_ROOT);  // not a sibling: at the end
    EXPECT_EQ(tree.Children(TVI_ROOT).back(), first);
    const HTREEITEM after = tree.InsertItem("after-a", TVI_ROOT, a);
    EXPECT_EQ(tree.GetNextSiblingItem(a), after);
}

TEST(PartsTree, ListenersHearEveryChange) {
    CPartsTree tree;
    std::vector<std::pair<CPartsTree::Change, HTREEITEM>> heard;
    const int id =
        tree.AddListener([&heard](CPartsTree::Change c, HTREEITEM i) { heard.emplace_back(c, i); });
    const HTREEITEM a = tree.InsertItem("a");
    tree.SetCheck(a, true);
    tree.SetItemText(a, "A");
    tree.SetItemData(a, 1);
    tree.SelectItem(a);
    tree.DeleteItem(a);
    using C = CPartsTree::Change;
    EXPECT_EQ(
        heard,
        (std::vector<std::pair<C, HTREEITEM>>{
            {C::Inserted, a}, {C::Check, a}, {C::Text, a}, {C::Data, a}, {C::Selected, a}, {C::Deleted, a}}));
    EXPECT_TRUE(tree.GetCheck(0) == false);
    tree.RemoveListener(id);
    tree.InsertItem("b");
    EXPECT_EQ(heard.size(), 6u);
}

}  // namespace
