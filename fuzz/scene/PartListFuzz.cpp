// plist.txt reader: any bytes parse without reading out of bounds, and every entry keeps what the
// reader promises: at most 1024 of them; both paths are the folder and a non-empty field; no field
// holds a line end, or a "|" or "//" outside two-byte characters; and the display lines of a name,
// joined by "\" again, give the name back. The first input byte chooses the folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/Cp932.h"
#include "scene/PartListFile.h"

namespace {

// True when `field` has "//" starting outside a two-byte character.
bool HasComment(std::string_view field) {
    for (std::size_t i = 0; i + 1 < field.size();) {
        const std::size_t n = cp932::CharLength(field, i);
        if (n == 1 && field[i] == '/' && field[i + 1] == '/') return true;
        i += n;
    }
    return false;
}

bool IsField(std::string_view field) {
    return !field.empty() && field.find_first_of("\r\n") == std::string_view::npos &&
           cp932::FindChar(field, '|') == std::string_view::npos && !HasComment(field);
}

bool IsPath(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
           IsField(path.substr(folder.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The archive root, a plain folder and one whose name ends in "ソ" (0x83 0x5C).
    static constexpr std::string_view kFolders[] = {"", "PROP\\", "\x83\x5C\\"};
    if (size == 0) return 0;
    const std::string_view folder = kFolders[data[0] % std::size(kFolders)];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::vector<scene::PartListEntry> entries = scene::ParsePartList(text, folder);
    if (entries.size() > scene::kMaxPartListLines) std::abort();
    for (const scene::PartListEntry& entry : entries) {
        if (!IsPath(entry.partPath, folder) || !IsPath(entry.thumbnailPath, folder) || !IsField(entry.name))
            std::abort();
        const std::vector<std::string> lines = scene::SplitDisplayLines(entry.name);
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (cp932::FindChar(lines[i], '\\') != std::string_view::npos) std::abort();
            if (i > 0) joined += '\\';
            joined += lines[i];
        }
        if (joined != entry.name) std::abort();
    }
    return 0;
}
