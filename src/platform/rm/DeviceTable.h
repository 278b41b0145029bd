#pragma once
// The process's table of enumerated 3D devices (at most 16, in enumeration order) and the lookup
// of the last device whose name contains a text.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/rm/DeviceInfo.h"

namespace rm {

class Library;

class DeviceTable {
  public:
    static constexpr std::size_t kMaxEntries = 16;

    // Fills the table from the library's enumeration (once; later calls keep the entries).
    void Fill(const Library& library);
    // Appends one entry (names cut to 79 bytes, descriptions to 127); false when full.
    bool Add(const DeviceInfo& info);
    void Clear() { m_entries.clear(); }

    std::size_t Count() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    const DeviceInfo& Entry(std::size_t i) const { return m_entries[i]; }
    // Index of the last entry (highest index first) whose name contains `text`; -1 when none.
    int FindDevice(std::string_view text) const;

  private:
    std::vector<DeviceInfo> m_entries;
};

}  // namespace rm
