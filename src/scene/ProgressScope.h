#pragma once
// A progress display for the length of one operation, made the document's current one (the mesh
// reader and the part loader report to it) and restored afterwards.

#include <functional>
#include <memory>

#include "base/Progress.h"

namespace scene {

class ProgressScope {
  public:
    ProgressScope(const std::function<std::unique_ptr<ProgressSink>()>& factory, ProgressSink*& current)
        : m_current(current), m_previous(current) {
        if (factory) m_sink = factory();
        m_current = m_sink ? m_sink.get() : &m_null;
    }
    ~ProgressScope() { m_current = m_previous; }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    ProgressSink& operator*() { return *m_current; }

  private:
    ProgressSink*& m_current;
    ProgressSink* m_previous;
    std::unique_ptr<ProgressSink> m_sink;
    NullProgress m_null;
};

}  // namespace scene
