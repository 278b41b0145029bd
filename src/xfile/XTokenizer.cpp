#include "xfile/XTokenizer.h"

#include <array>

#include "xfile/XNumber.h"
#include "xfile/XProgressMeter.h"

namespace xfile {

namespace {

constexpr std::array<bool, 256> MakeSeparators() {
    std::array<bool, 256> table{};
    for (unsigned char c : {' ', ';', ',', '\t', '\n', '\r'}) table[c] = true;
    return table;
}
constexpr std::array<bool, 256> kSeparator = MakeSeparators();

bool IsSeparator(char c) {
    return kSeparator[static_cast<unsigned char>(c)];
}

}  // namespace

XTokenizer::XTokenizer(std::string_view text, XProgressMeter* progress)
    : m_begin(text.data()),
      m_pos(text.data()),
      m_end(text.data() + text.size()),
      m_token(text.data()),
      m_progress(progress) {}

std::string_view XTokenizer::Next() {
    const char* p = m_pos;
    const char* const end = m_end;
    while (p < end && IsSeparator(*p)) ++p;
    const char* const start = p;
    while (p < end && !IsSeparator(*p)) ++p;
    m_pos = p;
    m_token = start;
    if (start == p) {
        m_ended = true;
        return {};
    }
    if (--m_untilProgress == 0) ReportProgress();
    return {start, static_cast<std::size_t>(p - start)};
}

void XTokenizer::ReportProgress() {
    m_untilProgress = kProgressEvery;
    if (m_progress) m_progress->Update(TokenOffset());
}

void XTokenizer::SkipLine() {
    while (m_pos < m_end && *m_pos != '\n') ++m_pos;
    if (m_pos < m_end) ++m_pos;
}

void XTokenizer::SkipBlock(int depth) {
    while (depth > 0) {
        const std::string_view t = Next();
        if (t.empty()) return;
        if (t == "{")
            ++depth;
        else if (t == "}")
            --depth;
    }
}

std::string_view XTokenizer::NumberToken() {
    if (m_mismatch) return {};
    const std::string_view t = Next();
    if (t.empty() || t == "{" || t == "}") {
        m_mismatch = true;
        m_braceDelta = t.empty() ? 0 : (t == "{" ? 1 : -1);
        return {};
    }
    return t;
}

long XTokenizer::ReadLong() {
    const std::string_view t = NumberToken();
    return t.empty() ? 0 : ParseLong(t);
}

double XTokenizer::ReadReal() {
    const std::string_view t = NumberToken();
    return t.empty() ? 0.0 : ParseReal(t);
}

void XTokenizer::Recover(int depth) {
    if (m_mismatch) depth += m_braceDelta;
    m_mismatch = false;
    m_braceDelta = 0;
    SkipBlock(depth);
}

bool XTokenizer::CanHold(long count, long tokensPerItem) const {
    if (count <= 0) return true;
    const std::size_t room = (Remaining() + 1) / 2;
    return static_cast<unsigned long>(count) <= room / static_cast<unsigned long>(tokensPerItem);
}

}  // namespace xfile
