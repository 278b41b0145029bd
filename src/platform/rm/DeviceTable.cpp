#include "platform/rm/DeviceTable.h"

#include "platform/rm/Library.h"

namespace rm {

void DeviceTable::Fill(const Library& library) {
    if (!m_entries.empty()) return;
    library.EnumDevices([this](const DeviceInfo& info) { Add(info); });
}

bool DeviceTable::Add(const DeviceInfo& info) {
    if (m_entries.size() >= kMaxEntries) return false;
    DeviceInfo e = info;
    if (e.name.size() > 79) e.name.resize(79);
    if (e.description.size() > 127) e.description.resize(127);
    m_entries.push_back(std::move(e));
    return true;
}

int DeviceTable::FindDevice(std::string_view text) const {
    for (std::size_t i = m_entries.size(); i-- > 0;)
        if (m_entries[i].name.find(text) != std::string::npos) return static_cast<int>(i);
    return -1;
}

}  // namespace rm
