#include "core/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

// $HOME, or the password database's home folder when HOME is unset or empty.
std::string HomeFolder() {
    if (const std::string_view home = Environment("HOME"); !home.empty()) return std::string(home);
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool IsFolder(const std::string& path) {
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string XdgUserFolder(std::string_view xdgValue, std::string_view home, std::string_view homeRelative) {
    // The base directory rules ignore a relative value.
    if (!xdgValue.empty() && xdgValue.front() == '/') return WithSlash(std::string(xdgValue)) + "marisole/";
    if (home.empty() || home.front() != '/') return {};
    return WithSlash(std::string(home)) + std::string(homeRelative) + "/marisole/";
}

std::string ConfigFolder() { return XdgUserFolder(Environment("XDG_CONFIG_HOME"), HomeFolder(), ".config"); }

std::string DataFolder() { return XdgUserFolder(Environment("XDG_DATA_HOME"), HomeFolder(), ".local/share"); }

bool MakeUserFolder(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return false;
    // Each level from the top: one that exists is passed over, a missing one is made.
    for (std::size_t end = folder.find('/', 1); ; end = folder.find('/', end + 1)) {
        const std::string level = folder.substr(0, end);
        if (!level.empty() && !IsFolder(level) && ::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (end == std::string::npos) break;
    }
    return IsFolder(folder);
}
