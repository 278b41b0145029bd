#pragma once
// The live objects of one library and their names. Shared by the library and every object it
// made; an object removes itself when it dies.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace rm {

class Object;

class ObjectRegistry {
  public:
    // Registers a new object; returns its creation number (the enumeration order).
    std::uint64_t Add(Object* o);
    void Remove(Object* o);
    void Rename(Object* o, std::string_view name);
    // The live object of that exact name; when several share it, the one named last.
    Object* Find(std::string_view name) const;
    void ForEach(const std::function<void(Object*)>& f) const;
    std::size_t LiveCount() const { return m_live.size(); }

  private:
    std::map<std::uint64_t, Object*> m_live;  // creation number -> object
    // name -> (naming sequence -> object)
    std::map<std::string, std::map<std::uint64_t, Object*>, std::less<>> m_names;
    std::uint64_t m_sequence = 0;
};

}  // namespace rm
