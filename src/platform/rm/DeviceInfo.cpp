#include "platform/rm/DeviceInfo.h"

namespace rm {

const DeviceGuid& RgbEmulationGuid() {
    // A fixed identifier of our own for the software rasteriser.
    static const DeviceGuid guid{
        {0x4d, 0x61, 0x72, 0x69, 0x73, 0x6f, 0x6c, 0x65, 0x52, 0x47, 0x42, 0x45, 0x6d, 0x75, 0x6c, 0x01}};
    return guid;
}

}  // namespace rm
