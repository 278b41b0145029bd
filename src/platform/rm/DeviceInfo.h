#pragma once
// What device enumeration reports for each 3D device: identifier, name and description.

#include <array>
#include <cstdint>
#include <string>

namespace rm {

struct DeviceGuid {
    std::array<std::uint8_t, 16> bytes{};
    friend bool operator==(const DeviceGuid&, const DeviceGuid&) = default;
};

struct DeviceInfo {
    DeviceGuid guid;
    std::string name;
    std::string description;
    bool hardware = false;
};

// The identifier of the software rasteriser ("RGB Emulation").
const DeviceGuid& RgbEmulationGuid();

}  // namespace rm
