#pragma once
// Marker codes of the JPEG files the system reads, and the one routine that finds the next marker.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace jpeg {

enum Marker : std::uint8_t {
    kSOF0 = 0xC0,
    kDHT = 0xC4,
    kRST0 = 0xD0,
    kRST7 = 0xD7,
    kSOI = 0xD8,
    kEOI = 0xD9,
    kSOS = 0xDA,
    kDQT = 0xDB,
    kDNL = 0xDC,
    kDRI = 0xDD,
    kAPP0 = 0xE0,
    kAPP1 = 0xE1,
    kAPP15 = 0xEF,
    kCOM = 0xFE,
};

struct FoundMarker {
    std::uint8_t code = 0;
    std::size_t next = 0;  // first byte after the marker code
};

// Scans forward from `pos` for a byte FF followed by a non-zero byte; that byte is the marker code.
// FF 00 (a stuffed data byte) is passed over, and a run of FF fill bytes before a marker belongs to
// that marker. Nothing found before the end: no result.
std::optional<FoundMarker> FindMarker(std::span<const std::uint8_t> data, std::size_t pos);

}  // namespace jpeg
