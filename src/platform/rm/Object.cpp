#include "platform/rm/Object.h"

#include <cstring>

#include "platform/rm/ObjectRegistry.h"

namespace rm {

Object::Object(std::shared_ptr<ObjectRegistry> registry) : m_registry(std::move(registry)) {
    if (m_registry) m_createdAt = m_registry->Add(this);
}

Object::~Object() {
    if (m_registry) m_registry->Remove(this);
}

std::uint32_t Object::SetName(std::string_view name) {
    if (m_registry)
        m_registry->Rename(this, name);
    else
        m_name.assign(name);
    return D3DRM_OK;
}

std::uint32_t Object::GetName(std::uint32_t* size, char* buffer) const {
    if (!size) return D3DRMERR_BADVALUE;
    const std::uint32_t needed = static_cast<std::uint32_t>(m_name.size() + 1);
    if (buffer) {
        if (*size < needed) {
            *size = needed;
            return D3DRMERR_BADVALUE;
        }
        std::memcpy(buffer, m_name.c_str(), needed);
    }
    *size = needed;
    return D3DRM_OK;
}

}  // namespace rm
