#include "scene/DefinitionText.h"

#include "base/Cp932.h"

namespace scene {

std::vector<std::string> Tokenize(std::string_view text, std::string_view separators, std::size_t minLength,
                                  std::size_t maxTokens) {
    std::vector<std::string> tokens;
    auto finish = [&](std::size_t begin, std::size_t end) {
        std::string_view token = text.substr(begin, end - begin);
        // "//" outside two-byte characters starts a comment.
        for (std::size_t i = 0; i + 1 < token.size();) {
            const std::size_t n = cp932::CharLength(token, i);
            if (n == 1 && token[i] == '/' && token[i + 1] == '/') {
                token = token.substr(0, i);
                break;
            }
            i += n;
        }
        if (token.size() > minLength) tokens.emplace_back(token);
    };
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size() && tokens.size() < maxTokens;) {
        const std::size_t n = cp932::CharLength(text, i);
        if (n == 1 && separators.find(text[i]) != std::string_view::npos) {
            if (i > begin) finish(begin, i);
            begin = i + 1;
        }
        i += n;
    }
    if (begin < text.size() && tokens.size() < maxTokens) finish(begin, text.size());
    return tokens;
}

std::vector<std::string> ParsePoseSet(std::string_view text) {
    return Tokenize(text, "\r\n|;", 1);
}

namespace {
// The "|"-separated fields of a token, empty fields kept.
std::vector<std::string> Fields(std::string_view token) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < token.size();) {
        const std::size_t n = cp932::CharLength(token, i);
        if (n == 1 && token[i] == '|') {
            fields.emplace_back(token.substr(begin, i - begin));
            begin = i + 1;
        }
        i += n;
    }
    fields.emplace_back(token.substr(begin));
    return fields;
}
}  // namespace

std::vector<TreeLine> ParseTreeDefinition(std::string_view text) {
    std::vector<TreeLine> lines;
    for (const std::string& token : Tokenize(text, "\r\n", 3, kMaxTreeLines)) {
        std::vector<std::string> f = Fields(token);
        TreeLine line;
        line.folder = f[0];
        if (f.size() > 1) line.label = f[1];
        if (f.size() > 2) {
            line.flags = f[2];
            line.hasFlags = true;
        }
        if (line.folder.empty() || line.label.empty()) continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<ColorLine> ParseColorDefinition(std::string_view text) {
    std::vector<ColorLine> lines;
    for (const std::string& token : Tokenize(text, "\r\n;", 1, kMaxColorTokens)) {
        std::vector<std::string> f = Fields(token);
        ColorLine line;
        line.targetFrame = f[0];
        if (f.size() > 1) line.generalName = f[1];
        if (f.size() > 2) line.remark = f[2];
        if (line.targetFrame.empty() || line.generalName.empty()) continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool FlagsAddParts(std::string_view flags) {
    for (std::size_t i = 0; i + 3 <= flags.size();) {
        if (flags.substr(i, 3) == "ADD") return true;
        i += cp932::CharLength(flags, i);
    }
    return false;
}

}  // namespace scene
