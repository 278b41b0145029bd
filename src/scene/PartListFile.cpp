#include "scene/PartListFile.h"

#include "base/Cp932.h"

namespace scene {

namespace {

// The line up to its first "//" outside two-byte characters.
std::string_view WithoutComment(std::string_view line) {
    for (std::size_t i = 0; i + 1 < line.size();) {
        const std::size_t n = cp932::CharLength(line, i);
        if (n == 1 && line[i] == '/' && line[i + 1] == '/') return line.substr(0, i);
        i += n;
    }
    return line;
}

// The first three non-empty "|"-separated fields of a line (separators inside two-byte characters
// do not count); the number found.
std::size_t NonEmptyFields(std::string_view line, std::string_view (&fields)[3]) {
    std::size_t count = 0;
    std::size_t begin = 0;
    auto close = [&](std::size_t end) {
        if (end > begin && count < 3) fields[count++] = line.substr(begin, end - begin);
    };
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t n = cp932::CharLength(line, i);
        if (n == 1 && line[i] == '|') {
            close(i);
            begin = i + 1;
        }
        i += n;
    }
    close(line.size());
    return count;
}

}  // namespace

std::vector<PartListEntry> ParsePartList(std::string_view text, std::string_view folder) {
    std::vector<PartListEntry> entries;
    std::size_t pos = 0;
    for (std::size_t lineCount = 0; pos < text.size() && lineCount < kMaxPartListLines; ++lineCount) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = WithoutComment(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size())
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;

        std::string_view fields[3];
        if (NonEmptyFields(line, fields) < 3) continue;
        PartListEntry entry;
        entry.partPath.reserve(folder.size() + fields[0].size());
        entry.partPath.append(folder).append(fields[0]);
        entry.thumbnailPath.reserve(folder.size() + fields[1].size());
        entry.thumbnailPath.append(folder).append(fields[1]);
        entry.name = fields[2];
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> SplitDisplayLines(std::string_view name) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = cp932::CharLength(name, i);
        if (n == 1 && name[i] == '\\') {
            lines.emplace_back(name.substr(begin, i - begin));
            begin = i + 1;
        }
        i += n;
    }
    lines.emplace_back(name.substr(begin));
    return lines;
}

}  // namespace scene
