// The tree refresh on a bare model: which toggle it finds and how it records what it saw.

#include <gtest/gtest.h>

#include "library/TreeRefresh.h"
#include "scene/PartsTree.h"

namespace {

struct Tree {
    CPartsTree model;
    HTREEITEM category = 0, first = 0, second = 0, grandchild = 0, other = 0;
    Tree() {
        category = model.InsertItem("category");
        first = model.InsertItem("first", category);
        second = model.InsertItem("second", category);
        grandchild = model.InsertItem("grandchild", first);
        other = model.InsertItem("other");
        for (HTREEITEM item : model.Inserted()) model.SetCheck(item, true);
        model.Expand(category);
        RefreshTree(model, nullptr, false);
    }
};

}  // namespace

TEST(TreeRefresh, RecordsTheStateOfEveryItemShownOrNot) {
    Tree t;
    // The grandchild's branch is collapsed; code unchecks it.
    ASSERT_FALSE(t.model.IsExpanded(t.first));
    t.model.SetCheck(t.grandchild, false);
    EXPECT_EQ(RefreshTree(t.model, nullptr, true), 0u) << "a hidden item is not a person's toggle";
    EXPECT_EQ(t.model.GetItemData(t.grandchild), 0u) << "but its state is recorded";
    // Opening the branch later does not take the old change for a new one.
    t.model.Expand(t.first);
    EXPECT_EQ(RefreshTree(t.model, nullptr, true), 0u);
    EXPECT_TRUE(t.model.GetCheck(t.first));
}

TEST(TreeRefresh, ProcessesOnlyTheFirstChangedItem) {
    Tree t;
    t.model.SetCheck(t.second, false);
    t.model.SetCheck(t.other, false);
    EXPECT_EQ(RefreshTree(t.model, nullptr, true), t.second);
    EXPECT_TRUE(t.model.GetCheck(t.category)) << "a sibling is still checked";
    EXPECT_EQ(RefreshTree(t.model, nullptr, true), 0u) << "the other change was recorded as seen";
}

TEST(TreeRefresh, ACategoryPassesItsStateToDirectChildrenOnly) {
    Tree t;
    t.model.SetCheck(t.category, false);
    EXPECT_EQ(RefreshTree(t.model, nullptr, true), t.category);
    EXPECT_FALSE(t.model.GetCheck(t.first));
    EXPECT_FALSE(t.model.GetCheck(t.second));
    EXPECT_TRUE(t.model.GetCheck(t.grandchild)) << "grandchildren keep their state";
    EXPECT_EQ(t.model.GetItemData(t.first), 0u);
}

TEST(TreeRefresh, WithoutFullItOnlyRecords) {
    Tree t;
    t.model.SetCheck(t.second, false);
    t.model.SetCheck(t.first, false);
    EXPECT_EQ(RefreshTree(t.model, nullptr, false), 0u);
    EXPECT_TRUE(t.model.GetCheck(t.category)) << "nothing was carried to the parent";
    EXPECT_EQ(t.model.GetItemData(t.second), 0u);
}

// The refresh walks the branches the model holds open, so the model keeps the selected item in
// them: a collapse takes the selection up to the collapsed item, a selection opens its branch.
TEST(TreeRefresh, TheSelectedItemsToggleIsFoundAfterItsBranchClosesOrOpens) {
    Tree t;
    t.model.SelectItem(t.second);
    t.model.Expand(t.category, false);
    ASSERT_EQ(t.model.GetSelectedItem(), t.category) << "the selection left the closed branch";
    t.model.SetCheck(t.category, false);
    EXPECT_EQ(RefreshTree(t.model, nullptr, true), t.category);

    t.model.Expand(t.category, false);
    t.model.SelectItem(t.grandchild);
    EXPECT_TRUE(t.model.IsExpanded(t.category));
    EXPECT_TRUE(t.model.IsExpanded(t.first));
    t.model.SetCheck(t.grandchild, false);
    EXPECT_EQ(RefreshTree(t.model, nullptr, true), t.grandchild);

    // A branch that does not hold the selection closes without moving it.
    t.model.SelectItem(t.other);
    t.model.Expand(t.category, false);
    EXPECT_EQ(t.model.GetSelectedItem(), t.other);
}
