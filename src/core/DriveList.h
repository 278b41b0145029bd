#pragma once
// drive.dat: the archive's fallback list, one entry per volume, each ending in "|". Only the first
// line counts, read as at most 255 characters with its line end cut off. The entries are folder
// paths of this system (UTF-8), split byte by byte at "|" by the archive.

#include <string>

// The list used when drive.dat is missing.
inline constexpr const char* kDefaultDriveList = "Z:\\Marisole\\Debug\\disk1.vd|Z:\\disk2.vd|";

std::string ReadDriveList(const std::string& appFolder);
