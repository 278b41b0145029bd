#include "archive/TerminalProgress.h"

void TerminalProgress::SetTitle(const std::string& text) {
    m_out << "== " << text << '\n';
}

void TerminalProgress::SetText(const std::string& text) {
    if (!text.empty()) m_out << '[' << m_pos << '/' << m_high << "] " << text << '\n';
}

void TerminalProgress::SetRange(int, int high) {
    m_high = high;
    m_pos = 0;
}
