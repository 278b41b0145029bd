#pragma once
// Shows the wait cursor for as long as it lives, when asked to; puts back only what it set, so a
// nested wait never takes away an outer one's cursor.

#include <QApplication>

class CWaitCursor {
  public:
    explicit CWaitCursor(bool show = true) : m_set(show && QApplication::instance()) {
        if (m_set) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~CWaitCursor() {
        if (m_set) QApplication::restoreOverrideCursor();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

  private:
    bool m_set;
};
