// The undo history on its own: steps, the 64 limit, redo, forgetting a frame.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "view/UndoHistory.h"

namespace {

// A value in a shared map, standing in for a frame's placement.
using Store = std::map<std::string, int>;

class ValueRecord final : public UndoRecord {
  public:
    ValueRecord(Store& store, std::string key, int value)
        : m_store(store), m_key(std::move(key)), m_value(value) {}
    std::unique_ptr<UndoRecord> CaptureCurrent() const override {
        const auto it = m_store.find(m_key);
        if (it == m_store.end()) return nullptr;
        return std::make_unique<ValueRecord>(m_store, m_key, it->second);
    }
    bool Apply() const override {
        const auto it = m_store.find(m_key);
        if (it == m_store.end()) return false;
        it->second = m_value;
        return true;
    }
    bool IsAboutFrame(std::string_view name) const override { return name == m_key; }

  private:
    Store& m_store;
    std::string m_key;
    int m_value;
};

// Records the value, then changes it, as a drag does.
void Change(CUndoHistory& history, Store& store, const std::string& key, int value) {
    history.SetPending(std::make_unique<ValueRecord>(store, key, store[key]));
    ASSERT_TRUE(history.CommitPending());
    store[key] = value;
}

TEST(UndoHistory, KeepsTheNewest64StepsAndUndoesNewestFirst) {
    Store store{{"a", 0}};
    CUndoHistory history;
    for (int i = 1; i <= 65; ++i) Change(history, store, "a", i);
    EXPECT_EQ(history.UndoCount(), 64u);
    for (int expected = 64; expected >= 1; --expected) {
        ASSERT_TRUE(history.Undo());
        EXPECT_EQ(store["a"], expected);
    }
    EXPECT_FALSE(history.Undo()) << "the oldest change was pushed out";
    EXPECT_EQ(store["a"], 1);
    EXPECT_EQ(history.RedoCount(), 64u);
}

TEST(UndoHistory, RedoPutsBackWhatUndoReplacedAndANewStepEmptiesIt) {
    Store store{{"a", 0}, {"b", 0}};
    CUndoHistory history;
    Change(history, store, "a", 5);
    Change(history, store, "b", 7);
    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(store, (Store{{"a", 0}, {"b", 0}}));
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(store["a"], 5);
    EXPECT_EQ(history.RedoCount(), 1u) << "the other undone step stays redoable";
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(store["a"], 0);
    EXPECT_EQ(history.RedoCount(), 2u);

    Change(history, store, "b", 9);
    EXPECT_EQ(history.RedoCount(), 0u);
    EXPECT_FALSE(history.Redo());
}

TEST(UndoHistory, APendingRecordEntersOnlyWhenCommitted) {
    Store store{{"a", 1}};
    CUndoHistory history;
    history.SetPending(std::make_unique<ValueRecord>(store, "a", 1));
    history.DiscardPending();
    EXPECT_FALSE(history.CommitPending());
    EXPECT_EQ(history.UndoCount(), 0u);
}

TEST(UndoHistory, ForgetFrameDropsItsRecordsFromBothListsAndEmptySteps) {
    Store store{{"a", 0}, {"b", 0}};
    CUndoHistory history;
    Change(history, store, "a", 1);
    Change(history, store, "b", 2);
    Change(history, store, "a", 3);
    ASSERT_TRUE(history.Undo());  // a: 3 -> 1, on the redo list
    UndoStep both;
    both.push_back(std::make_unique<ValueRecord>(store, "a", 100));
    both.push_back(std::make_unique<ValueRecord>(store, "b", 200));
    history.Push(std::move(both));  // a two-record step; empties redo
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(store["a"], 100);
    EXPECT_EQ(store["b"], 200);
    EXPECT_EQ(history.RedoCount(), 1u);

    history.ForgetFrame("a");
    EXPECT_EQ(history.UndoCount(), 1u) << "only b's step is left";
    EXPECT_EQ(history.RedoCount(), 1u) << "the redo step keeps b's record";
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(store["a"], 100) << "a was forgotten";
    EXPECT_EQ(store["b"], 2);
}

TEST(UndoHistory, AStepForAThingThatIsGoneIsDroppedWithoutARedoAndChangesNothing) {
    Store store{{"a", 0}, {"b", 0}};
    CUndoHistory history;
    int heard = 0;
    Change(history, store, "b", 1);
    Change(history, store, "a", 1);
    history.SetChangeListener([&heard] { ++heard; });
    store.erase("a");
    EXPECT_TRUE(history.Undo());
    EXPECT_EQ(history.UndoCount(), 1u);
    EXPECT_EQ(history.RedoCount(), 0u);
    EXPECT_EQ(heard, 0) << "an undo that restored nothing is no change of the scene";
    EXPECT_TRUE(history.Undo());
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(store["b"], 0);
    store.erase("b");
    EXPECT_TRUE(history.Redo());
    EXPECT_EQ(heard, 1) << "nor is a redo that restored nothing";
}

TEST(UndoHistory, TheListenerHearsPushesUndosAndRedosButNotPendingOrClear) {
    Store store{{"a", 0}};
    CUndoHistory history;
    int heard = 0;
    history.SetChangeListener([&heard] { ++heard; });
    history.SetPending(std::make_unique<ValueRecord>(store, "a", 0));
    EXPECT_EQ(heard, 0) << "a pending change has not happened yet";
    ASSERT_TRUE(history.CommitPending());
    EXPECT_EQ(heard, 1);
    history.Push({});
    EXPECT_EQ(heard, 1) << "an empty step changes nothing";
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(heard, 2);
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(heard, 3);
    EXPECT_TRUE(history.Undo());
    EXPECT_TRUE(history.Redo());
    EXPECT_EQ(heard, 5);
    history.Clear();
    EXPECT_FALSE(history.Undo());
    EXPECT_FALSE(history.Redo());
    EXPECT_EQ(heard, 5) << "nothing to undo or redo is no change";
}

}  // namespace
