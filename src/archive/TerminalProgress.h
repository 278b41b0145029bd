#pragma once
// Progress of a long operation as lines on a terminal: every title, and every text with the
// position it was shown at.

#include <ostream>
#include <string>

#include "base/Progress.h"

class TerminalProgress final : public ProgressSink {
  public:
    explicit TerminalProgress(std::ostream& out) : m_out(out) {}
    void SetTitle(const std::string& text) override;
    void SetText(const std::string& text) override;
    void SetRange(int low, int high) override;
    void SetPos(int position) override { m_pos = position; }

  private:
    std::ostream& m_out;
    int m_high = 100;
    int m_pos = 0;
};
