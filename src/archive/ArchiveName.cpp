#include "archive/ArchiveName.h"

#include "base/Cp932.h"

namespace archive {

namespace {

// Two-byte lower-case ranges of code page 932 and the code of the capital of their first character.
struct CaseRange {
    unsigned first;
    unsigned last;
    unsigned upperFirst;
};
constexpr CaseRange kCaseRanges[] = {
    {0x8281, 0x829A, 0x8260},  // full-width a-z
    {0x83BF, 0x83D6, 0x839F},  // Greek alpha-omega
    {0x8470, 0x847E, 0x8440},  // Cyrillic a-n (0x847F is not a character)
    {0x8480, 0x8491, 0x844F},  // Cyrillic o-ya
    {0xFA40, 0xFA49, 0xFA4A},  // small Roman numerals i-x
    {0xEEEF, 0xEEF8, 0x8754},  // the same numerals in the second extension block
};

unsigned UpperTwoByte(unsigned code) {
    for (const CaseRange& r : kCaseRanges)
        if (code >= r.first && code <= r.last) return r.upperFirst + (code - r.first);
    return code;
}

bool IsSeparator(char c, std::string_view separators) {
    return separators.find(c) != std::string_view::npos;
}

}  // namespace

std::string UpperName(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t n = cp932::CharLength(out, i);
        if (n == 1) {
            if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
        } else {
            const unsigned code =
                (static_cast<unsigned char>(out[i]) << 8) | static_cast<unsigned char>(out[i + 1]);
            const unsigned upper = UpperTwoByte(code);
            out[i] = static_cast<char>(upper >> 8);
            out[i + 1] = static_cast<char>(upper & 0xFF);
        }
        i += n;
    }
    return out;
}

std::vector<std::string> SplitList(std::string_view text, std::string_view separators) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size();) {
        const bool atEnd = i == text.size();
        const std::size_t n = atEnd ? 1 : cp932::CharLength(text, i);
        if (atEnd || (n == 1 && IsSeparator(text[i], separators))) {
            if (i > start) pieces.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
        i += n;
    }
    return pieces;
}

std::vector<std::string> SplitPathList(std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('|', start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

std::vector<std::string> NameToPathPieces(std::string_view name) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size();) {
        const bool atEnd = i == name.size();
        const std::size_t n = atEnd ? 1 : cp932::CharLength(name, i);
        if (atEnd || (n == 1 && (name[i] == '\\' || name[i] == '/'))) {
            const std::string_view piece = name.substr(start, i - start);
            if (piece.empty() || piece == "." || piece == ".." || piece.find('\0') != std::string_view::npos)
                return {};
            pieces.push_back(cp932::ToUtf8(piece));
            start = i + 1;
        }
        i += n;
    }
    return pieces;
}

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

namespace {
std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}
}  // namespace

std::string FileStem(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string FileExtension(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

}  // namespace archive
