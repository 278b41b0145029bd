#include "scene/PartIndexTable.h"

namespace {
std::uint32_t g_serialErrors = 0;
}

void CPartIndexTable::Prepare(std::size_t capacity) {
    m_parts.clear();
    m_parts.reserve(capacity);
    m_capacity = capacity;
}

std::int32_t CPartIndexTable::Take(CPartObject* part) {
    if (m_parts.size() >= m_capacity) return -1;
    m_parts.push_back(part);
    return static_cast<std::int32_t>(m_parts.size() - 1);
}

CPartObject* CPartIndexTable::At(std::int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_parts.size()) return nullptr;
    return m_parts[static_cast<std::size_t>(index)];
}

CPartIndexTable& CPartIndexTable::Instance() {
    static CPartIndexTable table;
    return table;
}

std::uint32_t CPartIndexTable::ErrorCount() {
    return g_serialErrors;
}
void CPartIndexTable::CountError() {
    ++g_serialErrors;
}
