#include "render/jpeg/JpegMarkers.h"

namespace jpeg {

std::optional<FoundMarker> FindMarker(std::span<const std::uint8_t> data, std::size_t pos) {
    const std::size_t end = data.size();
    while (pos < end) {
        if (data[pos] != 0xFF) {
            ++pos;
            continue;
        }
        std::size_t next = pos + 1;
        while (next < end && data[next] == 0xFF) ++next;
        if (next >= end) return std::nullopt;
        if (data[next] != 0x00) return FoundMarker{data[next], next + 1};
        pos = next + 1;
    }
    return std::nullopt;
}

}  // namespace jpeg
