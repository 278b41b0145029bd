#pragma once
// The shared library objects of the application: the 2D surface library and the retained-mode
// library. The main frame holds one DeviceObjects, creates it when it is created and releases it
// when it is destroyed (after the document has released its parts).

#include "platform/rm/Library.h"
#include "platform/surface/DirectDraw.h"

namespace rm {

class DeviceObjects {
  public:
    DeviceObjects() = default;
    ~DeviceObjects() { Release(); }
    DeviceObjects(const DeviceObjects&) = delete;
    DeviceObjects& operator=(const DeviceObjects&) = delete;

    // Creates both libraries (the surface library with the normal cooperative level for
    // `mainWindow`). True when both exist afterwards; a second call keeps the existing objects.
    bool Create(const void* mainWindow = nullptr);
    // Drops this holder's references: the 3D library first, then the surface library.
    void Release();

    surface::DirectDraw* DirectDraw() const { return m_directDraw.Get(); }
    Library* Library3D() const { return m_library.Get(); }
    bool Exists() const { return m_directDraw && m_library; }

  private:
    Ref<surface::DirectDraw> m_directDraw;
    Ref<Library> m_library;
};

}  // namespace rm
