#pragma once
// The counted base of every platform object (3D library and surface library) and the intrusive
// reference that holds it. An object starts with one reference for its creator; Release() of the
// last reference deletes it. Ref<T> adds the new reference before dropping the old one, so
// assigning a reference to itself or to a child of what it held is safe.

#include <cstdint>
#include <utility>

namespace platform {

class Counted {
  public:
    Counted() = default;
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

    std::uint32_t AddRef() { return ++m_refs; }
    // Returns the count left; 0 means the object is gone.
    std::uint32_t Release() {
        const std::uint32_t left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    std::uint32_t RefCount() const { return m_refs; }

  protected:
    virtual ~Counted() = default;

  private:
    std::uint32_t m_refs = 1;
};

template <class T>
class Ref {
  public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    // Shares `p`: adds a reference.
    explicit Ref(T* p) : m_p(p) {
        if (m_p) m_p->AddRef();
    }
    Ref(const Ref& o) : Ref(o.m_p) {}
    Ref(Ref&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    template <class U>
    Ref(const Ref<U>& o) : Ref(static_cast<T*>(o.Get())) {}
    template <class U>
    Ref(Ref<U>&& o) noexcept : m_p(o.Detach()) {}
    ~Ref() {
        if (m_p) m_p->Release();
    }

    // Takes over the reference the caller owns (a freshly created object's first reference).
    static Ref Adopt(T* p) {
        Ref r;
        r.m_p = p;
        return r;
    }

    Ref& operator=(const Ref& o) {
        Reset(o.m_p);
        return *this;
    }
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) {
            T* old = m_p;
            m_p = std::exchange(o.m_p, nullptr);
            if (old) old->Release();
        }
        return *this;
    }
    Ref& operator=(std::nullptr_t) {
        Reset(nullptr);
        return *this;
    }

    // Holds `p` (adding a reference) and drops the previous one afterwards.
    void Reset(T* p = nullptr) {
        if (p) p->AddRef();
        T* old = std::exchange(m_p, p);
        if (old) old->Release();
    }
    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(m_p, nullptr); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.m_p == b.m_p; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return a.m_p == nullptr; }

  private:
    T* m_p = nullptr;
};

// A reference of type T to an object held as U, or null when it is not a T.
template <class T, class U>
Ref<T> RefCast(const Ref<U>& r) {
    return Ref<T>(dynamic_cast<T*>(r.Get()));
}
template <class T, class U>
Ref<T> RefCast(U* p) {
    return Ref<T>(dynamic_cast<T*>(p));
}

}  // namespace platform
