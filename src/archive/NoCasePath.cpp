#include "archive/NoCasePath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "archive/ArchiveName.h"
#include "base/Cp932.h"

namespace archive {

namespace {

std::string FoldKey(const std::string& utf8Name) {
    return UpperName(cp932::FromUtf8(utf8Name));
}

}  // namespace

std::vector<std::string> ListEntriesNoCase(const std::string& folder, const std::string& name) {
    std::vector<std::string> found;
    const std::string key = FoldKey(name);
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (FoldKey(entry) == key) found.push_back(entry);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<std::string> FindEntryNoCase(const std::string& folder, const std::string& name) {
    std::error_code ec;
    if (std::filesystem::exists(folder + name, ec)) return name;
    const auto found = ListEntriesNoCase(folder, name);
    if (found.empty()) return std::nullopt;
    return found.front();
}

std::optional<std::string> FindPathNoCase(const std::string& folder, const std::vector<std::string>& pieces) {
    std::string path = WithTrailingSlash(folder);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto entry = FindEntryNoCase(path, pieces[i]);
        if (!entry) return std::nullopt;
        path += *entry;
        if (i + 1 < pieces.size()) path.push_back('/');
    }
    return path;
}

}  // namespace archive
