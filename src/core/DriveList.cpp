#include "core/DriveList.h"

#include <fstream>

std::string ReadDriveList(const std::string& appFolder) {
    std::ifstream file(appFolder + "drive.dat", std::ios::binary);
    if (!file) return kDefaultDriveList;
    char line[256] = {};
    file.getline(line, sizeof line);  // at most 255 characters; stops at "\n"
    std::string list(line);
    const auto cut = list.find_first_of("\r\n");
    if (cut != std::string::npos) list.resize(cut);
    return list;
}
