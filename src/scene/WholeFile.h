#pragma once
// Files read and written whole: scene files and pose files.

#include <cstdint>
#include <string>
#include <vector>

namespace scene {

// The file's bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);
// Writes through a temporary file renamed into place; false when that fails (nothing replaced).
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace scene
