#include "scene/PartPaths.h"

#include "base/Cp932.h"

namespace scene {

std::string FolderOf(std::string_view path) {
    const std::size_t slash = cp932::FindLastChar(path, '\\');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash + 1));
}

std::string LinkNameOf(std::string_view path) {
    std::string folder = FolderOf(path);
    if (folder.empty()) return {};
    folder.pop_back();
    const std::size_t slash = cp932::FindLastChar(folder, '\\');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

std::string ParentFolderOf(std::string_view path) {
    std::string folder = FolderOf(path);
    if (folder.empty()) return {};
    folder.pop_back();
    const std::size_t slash = cp932::FindLastChar(folder, '\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string WithBackslash(std::string_view folder) {
    std::string out(folder);
    if (out.empty() || cp932::FindLastChar(out, '\\') != out.size() - 1) out += '\\';
    return out;
}

std::string FolderKey(std::string_view folder) {
    std::string out;
    bool dropping = false;
    for (std::size_t i = 0; i < folder.size();) {
        const std::size_t n = cp932::CharLength(folder, i);
        const char c = folder[i];
        if (n == 1 && c == '\\')
            dropping = false;
        else if (n == 1 && c == '_')
            dropping = true;
        if (!dropping) out.append(folder.substr(i, n));
        i += n;
    }
    return out;
}

bool FoldersMatch(std::string_view a, std::string_view b) {
    return cp932::EqualsNoCase(FolderKey(a), FolderKey(b));
}

std::string ColorDefinitionOf(std::string_view meshPath) {
    if (meshPath.empty()) return {};
    return std::string(meshPath.substr(0, meshPath.size() - 1)) + "txt";
}

std::string DefaultColorDefinitionOf(std::string_view meshPath) {
    return FolderOf(meshPath) + "default.txt";
}

std::string TreeDefinitionOf(std::string_view poseSetPath) {
    const std::size_t dot = cp932::FindChar(poseSetPath, '.');
    return std::string(poseSetPath.substr(0, dot)) + ".tre";
}

bool IsPoseSetPath(std::string_view path) {
    return path.size() >= 4 && cp932::EqualsNoCase(path.substr(path.size() - 4), ".OBJ");
}

}  // namespace scene
