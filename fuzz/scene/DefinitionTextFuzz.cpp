// Definition text readers (pose sets, tree and colour definitions): any bytes parse without reading
// out of bounds, and what they give keeps the readers' promises: no token or field holds one of its
// separators or a "//" comment outside two-byte characters; pose set paths are longer than one
// byte; tree lines have a folder and a label, colour lines a frame and a general name; at most 1024
// tree lines and 260 colour lines. The first input byte chooses the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/Cp932.h"
#include "scene/DefinitionText.h"

namespace {

// True when `text` holds a byte of `separators`, or a "//", outside two-byte characters.
bool HasSeparatorOrComment(std::string_view text, std::string_view separators) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = cp932::CharLength(text, i);
        if (n == 1 && (separators.find(text[i]) != std::string_view::npos ||
                       (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/')))
            return true;
        i += n;
    }
    return false;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckPoseSet(std::string_view text) {
    for (const std::string& path : scene::ParsePoseSet(text))
        Require(path.size() > 1 && !HasSeparatorOrComment(path, "\r\n|;"));
}

void CheckTree(std::string_view text) {
    const std::vector<scene::TreeLine> lines = scene::ParseTreeDefinition(text);
    Require(lines.size() <= scene::kMaxTreeLines);
    for (const scene::TreeLine& line : lines) {
        Require(!line.folder.empty() && !line.label.empty());
        Require(line.hasFlags || line.flags.empty());
        for (const std::string& field : {line.folder, line.label, line.flags})
            Require(!HasSeparatorOrComment(field, "\r\n|"));
        // The folder, label and flags come out of one line longer than 3 bytes.
        Require(line.folder.size() + line.label.size() + line.flags.size() + (line.hasFlags ? 2 : 1) > 3);
        scene::FlagsAddParts(line.flags);
    }
}

void CheckColours(std::string_view text) {
    const std::vector<scene::ColorLine> lines = scene::ParseColorDefinition(text);
    Require(lines.size() <= scene::kMaxColorTokens);
    for (const scene::ColorLine& line : lines) {
        Require(!line.targetFrame.empty() && !line.generalName.empty());
        for (const std::string& field : {line.targetFrame, line.generalName, line.remark})
            Require(!HasSeparatorOrComment(field, "\r\n;|"));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0: CheckPoseSet(text); break;
        case 1: CheckTree(text); break;
        default: CheckColours(text); break;
    }
    return 0;
}
