#pragma once
// The part definition texts of the archive (code page 932): pose sets, tree definitions and colour
// definitions. Tokens are separated by the text's separator characters; runs of separators count
// as one, "//" starts a comment that runs to the end of its token, and a token counts only when it
// is longer than the text's minimum. Every read stays inside the text it is given.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scene {

// Tree definition files are read up to this many lines; colour definitions up to this many tokens.
inline constexpr std::size_t kMaxTreeLines = 1024;
inline constexpr std::size_t kMaxColorTokens = 260;

// Tokens of `text` split at any byte of `separators` (outside two-byte characters), comments cut,
// kept when longer than `minLength` bytes, at most `maxTokens`.
std::vector<std::string> Tokenize(std::string_view text, std::string_view separators, std::size_t minLength,
                                  std::size_t maxTokens = static_cast<std::size_t>(-1));

// A pose set: the part mesh paths in load order (separated by CR, LF, "|" or ";").
std::vector<std::string> ParsePoseSet(std::string_view text);

struct TreeLine {
    std::string folder;
    std::string label;
    std::string flags;
    bool hasFlags = false;
};
// A tree definition: lines (CR, LF) longer than 3 bytes with folder|label|flags; at most 1024
// lines are read (the rest is skipped). Lines whose folder or label is empty are left out.
std::vector<TreeLine> ParseTreeDefinition(std::string_view text);

struct ColorLine {
    std::string targetFrame;
    std::string generalName;
    std::string remark;
};
// A colour definition: tokens (CR, LF, ";") longer than 1 byte with frame|general name|remark; at
// most 260 tokens are used. Tokens whose frame or general name is empty are left out.
std::vector<ColorLine> ParseColorDefinition(std::string_view text);

// True when the flags of a tree line mark an entry whose files add option parts.
bool FlagsAddParts(std::string_view flags);

}  // namespace scene
