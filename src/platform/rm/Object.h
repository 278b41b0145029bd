#pragma once
// The base of every retained-mode object: counted, with a name and one 32-bit application tag.
// Objects made by a Library register in its name table so that GetNamedObject finds them while
// they live; the table outlives the library object itself (objects may outlive their creator).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rm/Types.h"
#include "platform/surface/Counted.h"

namespace rm {

class ObjectRegistry;

class Object : public platform::Counted {
  public:
    // Sets the name (bytes, code page 932 as given); an empty name removes it.
    std::uint32_t SetName(std::string_view name);
    const std::string& GetName() const { return m_name; }
    // Copies the name and its terminating zero into `buffer` of `*size` bytes; `*size` becomes the
    // length needed including the zero. Fails (nothing copied) when the buffer is too small.
    std::uint32_t GetName(std::uint32_t* size, char* buffer) const;

    std::uint32_t SetAppData(std::uint32_t data) {
        m_appData = data;
        return D3DRM_OK;
    }
    std::uint32_t GetAppData() const { return m_appData; }

    // A short class name ("Frame", "MeshBuilder", ...), for EnumerateObjects and tests.
    virtual const char* GetClassName() const = 0;

  protected:
    explicit Object(std::shared_ptr<ObjectRegistry> registry);
    ~Object() override;

  private:
    std::shared_ptr<ObjectRegistry> m_registry;
    std::string m_name;
    std::uint64_t m_createdAt = 0;
    std::uint64_t m_namedAt = 0;
    std::uint32_t m_appData = 0;
    friend class ObjectRegistry;
};

// An array of objects handed out by GetChildren, GetVisuals, AddFaces ... It holds a reference to
// each element; GetElement adds one more for the caller.
template <class T>
class ObjectArray {
  public:
    ObjectArray() = default;
    std::uint32_t GetSize() const { return static_cast<std::uint32_t>(m_items.size()); }
    // The element's reference (null past the end).
    Ref<T> GetElement(std::uint32_t i) const { return i < m_items.size() ? m_items[i] : Ref<T>(); }
    T* operator[](std::uint32_t i) const { return m_items[i].Get(); }
    void Append(Ref<T> item) { m_items.push_back(std::move(item)); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

  private:
    std::vector<Ref<T>> m_items;
};

}  // namespace rm
