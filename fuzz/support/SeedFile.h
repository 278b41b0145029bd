#pragma once
// Writing one seed file of a fuzz corpus (the seed writers run at build time).

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

namespace fuzzseed {

inline bool WriteSeed(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

inline bool WriteSeed(const std::string& path, std::string_view text) {
    return WriteSeed(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace fuzzseed
