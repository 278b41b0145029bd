#pragma once
// The one reader of a mesh text. Tokens are the runs between separators (blank, ";", ",", tab, line
// feed, carriage return); braces are tokens only when separators surround them. Tokens are views
// into the caller's text, which is never written and must outlive them.
//
// Every read is bounded by the end of the text: past it, Next() gives an empty token and Ended()
// turns true for good. Numbers are read through ReadLong/ReadReal, which also notice when the
// structure and the counts of the file disagree: a brace or the end of the text where a number
// belongs sets a sticky "mismatch" state, after which number reads consume nothing and give 0.
// The caller checks it once per item and recovers with Recover().

#include <cstddef>
#include <string_view>

namespace xfile {

class XProgressMeter;

class XTokenizer {
  public:
    explicit XTokenizer(std::string_view text, XProgressMeter* progress = nullptr);

    // The next token, or empty at the end of the text.
    std::string_view Next();
    // Reads one token and ignores it.
    void Skip() { Next(); }
    // Moves past the next line feed (or to the end).
    void SkipLine();
    // Reads tokens, counting "{" up and "}" down from `depth`, until the count is 0 or the text ends.
    void SkipBlock(int depth);

    long ReadLong();
    double ReadReal();

    bool Ended() const { return m_ended; }
    // A number read met a brace or the end of the text (sticky until Recover).
    bool Mismatch() const { return m_mismatch; }
    // Either of the two: nothing more of the current structure can be read.
    bool Failed() const { return m_mismatch || m_ended; }
    // Leaves the mismatch state and skips what remains of the structure the caller was in;
    // `depth` is how many blocks the caller had opened (counting from the one to leave) when
    // the mismatch happened. The brace that caused it is taken into account.
    void Recover(int depth);

    // Bytes not yet read.
    std::size_t Remaining() const { return static_cast<std::size_t>(m_end - m_pos); }
    // True when `count` items of `tokensPerItem` tokens each can still be in the text: a token
    // takes one byte and one separator at least (the last one may end the text instead).
    bool CanHold(long count, long tokensPerItem) const;
    // Offset of the start of the last token read.
    std::size_t TokenOffset() const { return static_cast<std::size_t>(m_token - m_begin); }

  private:
    // Token reads ask the progress meter every this many tokens: cheaper than reading the clock at
    // every token, and at well over 100 MB/s 256 tokens pass in microseconds, far below 30 ms.
    static constexpr int kProgressEvery = 256;

    std::string_view NumberToken();
    void ReportProgress();

    const char* m_begin;
    const char* m_pos;
    const char* m_end;
    const char* m_token;
    XProgressMeter* m_progress;
    int m_untilProgress = kProgressEvery;
    int m_braceDelta = 0;
    bool m_ended = false;
    bool m_mismatch = false;
};

}  // namespace xfile
