#include "platform/rm/ObjectRegistry.h"

#include "platform/rm/Object.h"

namespace rm {

std::uint64_t ObjectRegistry::Add(Object* o) {
    const std::uint64_t n = ++m_sequence;
    m_live.emplace(n, o);
    return n;
}

void ObjectRegistry::Remove(Object* o) {
    Rename(o, {});
    m_live.erase(o->m_createdAt);
}

void ObjectRegistry::Rename(Object* o, std::string_view name) {
    if (!o->m_name.empty()) {
        auto it = m_names.find(o->m_name);
        if (it != m_names.end()) {
            it->second.erase(o->m_namedAt);
            if (it->second.empty()) m_names.erase(it);
        }
    }
    o->m_name.assign(name);
    o->m_namedAt = 0;
    if (!name.empty()) {
        o->m_namedAt = ++m_sequence;
        auto it = m_names.find(name);
        if (it == m_names.end())
            it = m_names.emplace(std::string(name), std::map<std::uint64_t, Object*>{}).first;
        it->second.emplace(o->m_namedAt, o);
    }
}

Object* ObjectRegistry::Find(std::string_view name) const {
    auto it = m_names.find(name);
    if (it == m_names.end() || it->second.empty()) return nullptr;
    return it->second.rbegin()->second;
}

void ObjectRegistry::ForEach(const std::function<void(Object*)>& f) const {
    for (const auto& [n, o] : m_live) f(o);
}

}  // namespace rm
