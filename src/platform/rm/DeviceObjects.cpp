#include "platform/rm/DeviceObjects.h"

namespace rm {

bool DeviceObjects::Create(const void* mainWindow) {
    if (!m_directDraw) {
        m_directDraw = surface::DirectDraw::Create();
        if (m_directDraw) m_directDraw->SetCooperativeLevel(mainWindow, surface::DDSCL_NORMAL);
    }
    if (!m_library) m_library = Library::Create();
    return Exists();
}

void DeviceObjects::Release() {
    m_library = nullptr;
    m_directDraw = nullptr;
}

}  // namespace rm
