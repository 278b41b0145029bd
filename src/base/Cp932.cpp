#include "base/Cp932.h"

#include <iconv.h>

#include <cerrno>

namespace cp932 {

std::size_t CharLength(std::string_view text, std::size_t pos) {
    if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos]))) return 2;
    return 1;
}

std::string_view LastChar(std::string_view text) {
    std::size_t start = 0, length = 0;
    for (std::size_t i = 0; i < text.size(); i += length) {
        start = i;
        length = CharLength(text, i);
    }
    return text.substr(start, length);
}

void ToUpperInPlace(std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        if (n == 1 && text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
        i += n;
    }
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    ToUpperInPlace(out);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ToUpper(a) == ToUpper(b);
}

std::size_t FindChar(std::string_view text, char c, std::size_t from) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        if (n == 1 && i >= from && text[i] == c) return i;
        i += n;
    }
    return std::string_view::npos;
}

std::size_t FindLastChar(std::string_view text, char c) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        if (n == 1 && text[i] == c) found = i;
        i += n;
    }
    return found;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = FindChar(text, separator, start);
        if (end == std::string_view::npos) end = text.size();
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

namespace {

// Length of the input character that failed to convert, so that it is skipped whole.
using SkipLength = std::size_t (*)(const unsigned char* p, std::size_t left);

std::size_t SkipOneByte(const unsigned char*, std::size_t) { return 1; }
std::size_t SkipUtf16Unit(const unsigned char*, std::size_t) { return 2; }
std::size_t SkipUtf8Sequence(const unsigned char* p, std::size_t) {
    if (p[0] >= 0xF0) return 4;
    if (p[0] >= 0xE0) return 3;
    if (p[0] >= 0xC0) return 2;
    return 1;
}

// Converts with iconv; an unconvertible or incomplete character is replaced by '?' and skipped,
// so conversion always finishes.
std::string Convert(const char* to, const char* from, const char* data, std::size_t size, SkipLength skipLength) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(data, size);
    std::string out;
    out.resize(size * 4 + 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    std::size_t written = 0;
    while (inLeft > 0) {
        char* dst = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
        written = out.size() - outLeft;
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: replace one unit and go on.
        std::size_t skip = skipLength(reinterpret_cast<const unsigned char*>(in), inLeft);
        if (skip > inLeft) skip = inLeft;
        in += skip;
        inLeft -= skip;
        if (written + 1 > out.size()) out.resize(out.size() * 2);
        out[written++] = '?';
    }
    out.resize(written);
    iconv_close(cd);
    return out;
}

}  // namespace

std::string ToUtf8(std::string_view text) { return Convert("UTF-8", "CP932", text.data(), text.size(), SkipOneByte); }

std::string FromUtf8(std::string_view text) { return Convert("CP932", "UTF-8", text.data(), text.size(), SkipUtf8Sequence); }

std::string FromUtf16(const std::u16string& text) {
    return Convert("CP932", "UTF-16LE", reinterpret_cast<const char*>(text.data()), text.size() * 2, SkipUtf16Unit);
}

}  // namespace cp932
