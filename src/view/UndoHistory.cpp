#include "view/UndoHistory.h"

#include <algorithm>
#include <utility>

void CUndoHistory::SetPending(std::unique_ptr<UndoRecord> record) {
    m_pending.clear();
    if (record) m_pending.push_back(std::move(record));
}

void CUndoHistory::SetPendingStep(UndoStep step) {
    std::erase(step, nullptr);
    m_pending = std::move(step);
}

bool CUndoHistory::CommitPending() {
    if (m_pending.empty()) return false;
    Push(std::exchange(m_pending, {}));
    return true;
}

void CUndoHistory::Push(UndoStep step) {
    std::erase(step, nullptr);
    if (step.empty()) return;
    m_redo.clear();
    m_undo.push_front(std::move(step));
    while (m_undo.size() > kMaxSteps) m_undo.pop_back();
    Changed();
}

UndoStep CUndoHistory::ApplyStep(const UndoStep& step, bool* applied) {
    UndoStep inverse;
    *applied = false;
    for (auto it = step.rbegin(); it != step.rend(); ++it) {
        std::unique_ptr<UndoRecord> current = (*it)->CaptureCurrent();
        if (!(*it)->Apply()) continue;
        *applied = true;
        if (current) inverse.insert(inverse.begin(), std::move(current));
    }
    return inverse;
}

bool CUndoHistory::Undo() {
    if (m_undo.empty()) return false;
    UndoStep step = std::move(m_undo.front());
    m_undo.pop_front();
    bool applied = false;
    UndoStep inverse = ApplyStep(step, &applied);
    if (!inverse.empty()) m_redo.push_front(std::move(inverse));
    // A step whose things are all gone changes nothing in the scene.
    if (applied) Changed();
    return true;
}

bool CUndoHistory::Redo() {
    if (m_redo.empty()) return false;
    UndoStep step = std::move(m_redo.front());
    m_redo.pop_front();
    bool applied = false;
    UndoStep inverse = ApplyStep(step, &applied);
    // Back onto the history without touching the rest of the redo list.
    if (!inverse.empty()) {
        m_undo.push_front(std::move(inverse));
        while (m_undo.size() > kMaxSteps) m_undo.pop_back();
    }
    if (applied) Changed();
    return true;
}

void CUndoHistory::ForgetFrame(std::string_view frameName) {
    for (auto* list : {&m_undo, &m_redo}) {
        for (UndoStep& step : *list)
            std::erase_if(step, [frameName](const auto& r) { return r->IsAboutFrame(frameName); });
        std::erase_if(*list, [](const UndoStep& step) { return step.empty(); });
    }
    std::erase_if(m_pending, [frameName](const auto& r) { return r->IsAboutFrame(frameName); });
}

void CUndoHistory::Changed() const {
    if (m_changed) m_changed();
}

void CUndoHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_pending.clear();
}
