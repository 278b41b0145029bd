// profile.dat parser: any bytes must load or be refused without reading out of bounds, and what
// loads must write back to bytes that load to the same map.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSettingsStore store;
    if (!store.Deserialize(data, size)) return 0;
    const auto bytes = store.Serialize();
    CSettingsStore again;
    if (!again.Deserialize(bytes.data(), bytes.size()) || again.Values() != store.Values()) std::abort();
    return 0;
}
