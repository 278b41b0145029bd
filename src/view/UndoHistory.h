#pragma once
// The application's one undo history: a list of steps, newest first, at most 64, and a redo list
// beside it. A step is a small group of records undone and redone together (a drag is one step of
// one placement). A record puts back the state it captured, and before doing so captures the
// state it overwrites, which becomes the record of the other list.
//
// A change is captured before it happens (the pending record) and enters the history only when it
// really happens (CommitPending); any new step empties the redo list.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class UndoRecord {
  public:
    virtual ~UndoRecord() = default;
    // The current state of what this record restores, as a record; null when that thing is gone.
    virtual std::unique_ptr<UndoRecord> CaptureCurrent() const = 0;
    // Puts the captured state back; false when the thing it restores no longer exists.
    virtual bool Apply() const = 0;
    // Whether this record restores the frame of that name (ForgetFrame drops such records).
    virtual bool IsAboutFrame(std::string_view /*frameName*/) const { return false; }
};

using UndoStep = std::vector<std::unique_ptr<UndoRecord>>;

class CUndoHistory {
  public:
    static constexpr std::size_t kMaxSteps = 64;

    // The pending record replaces any earlier pending change; null just discards it.
    void SetPending(std::unique_ptr<UndoRecord> record);
    // A pending change of several records (a drag that turns several frames) undone together.
    void SetPendingStep(UndoStep step);
    void DiscardPending() { m_pending.clear(); }
    bool HasPending() const { return !m_pending.empty(); }
    // Puts the pending change at the front of the history as one step; false when none was pending.
    bool CommitPending();
    // Puts a step at the front of the history (an empty step is ignored). The redo list empties; the
    // oldest step goes when more than kMaxSteps are kept.
    void Push(UndoStep step);

    // Undoes the newest step and keeps what it replaced on the redo list; false when empty.
    bool Undo();
    // Redoes the newest undone step; false when there is none.
    bool Redo();

    // Drops every record about the frame of that name from both lists (steps left empty go).
    void ForgetFrame(std::string_view frameName);
    // Empties both lists and the pending record.
    void Clear();

    // Told of every change that enters the history, is undone or is redone (the document's
    // unsaved-changes mark); not of Clear, ForgetFrame, pending records, nor of an undo or redo
    // that found nothing to restore.
    void SetChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }
    const UndoStep& NewestUndo() const { return m_undo.front(); }

  private:
    // Applies a step, newest record last in, first out, and gives the step that undoes it;
    // `applied` tells whether any record found what it restores.
    static UndoStep ApplyStep(const UndoStep& step, bool* applied);
    void Changed() const;

    std::deque<UndoStep> m_undo;  // front: newest
    std::deque<UndoStep> m_redo;  // front: newest undone
    UndoStep m_pending;
    std::function<void()> m_changed;
};
