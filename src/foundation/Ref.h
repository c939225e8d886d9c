// Intrusive reference counting: every shared object of the system derives
// from U_Ref and lives exactly as long as some U_RefPtr holds it.
#pragma once

#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

// Base of every reference-counted object. The count starts at 0 and a copy
// never inherits it: only the handles decide the lifetime.
class U_Ref {
public:
  U_Ref() = default;
  U_Ref(const U_Ref &) {}
  U_Ref &operator=(const U_Ref &) { return *this; }
  virtual ~U_Ref() = 0;

  std::uint32_t referenceCount() const { return m_refCount; }
  std::int32_t marker() const { return m_marker; }

  // Used by the handles only. Plain integers: the system is single-threaded.
  void addReference() { ++m_refCount; }
  // Drops one count; deletes the object when none is left.
  void releaseReference() {
    if (--m_refCount == 0)
      deleteReleased(this);
  }

private:
  // Deletes an object whose last count went. An object released while
  // another one is being deleted (by the parts of that one) is deleted after
  // it, not inside its destructor, so that a long chain of objects (an
  // include chain, a macro history) goes one object after another without
  // taking stack for each; the objects go in the same order as they would
  // one inside the other, and all are gone when the first release returns.
  static void deleteReleased(U_Ref *object);

  std::uint32_t m_refCount = 0;
  std::int32_t m_marker = 4711;
};

inline U_Ref::~U_Ref() = default;

// One-pointer handle to a U_Ref object; each handle holding an object
// accounts for exactly one count of it. Handles compare by address.
template <class T> class U_RefPtr {
public:
  U_RefPtr() = default;
  U_RefPtr(T *object) : m_ptr(object) { acquire(); }
  U_RefPtr(const U_RefPtr &other) : m_ptr(other.m_ptr) { acquire(); }
  template <class U, class = std::enable_if_t<std::is_convertible_v<U *, T *>>>
  U_RefPtr(const U_RefPtr<U> &other) : m_ptr(other.pointer()) {
    acquire();
  }
  ~U_RefPtr() { reset(); }

  // The new object gains its count before the old one loses its own, so that
  // assigning a handle to itself keeps the object alive.
  U_RefPtr &operator=(const U_RefPtr &other) { return assign(other.m_ptr); }
  U_RefPtr &operator=(T *object) { return assign(object); }

  // Consumes a handle given by value: the pointers change places, and the
  // consumed handle releases the old object when it goes.
  void take(U_RefPtr other) { swap(other); }
  void swap(U_RefPtr &other) { std::swap(m_ptr, other.m_ptr); }

  void reset() {
    T *old = m_ptr;
    m_ptr = nullptr;
    if (old)
      old->releaseReference();
  }
  void clear() { reset(); }

  bool isSet() const { return m_ptr != nullptr; }
  T *pointer() const { return m_ptr; }
  T *get() const { return m_ptr; }
  T *operator->() const { return m_ptr; }
  T &operator*() const { return *m_ptr; }

  friend bool operator==(const U_RefPtr &a, const U_RefPtr &b) { return a.m_ptr == b.m_ptr; }
  friend bool operator!=(const U_RefPtr &a, const U_RefPtr &b) { return a.m_ptr != b.m_ptr; }
  friend bool operator<(const U_RefPtr &a, const U_RefPtr &b) {
    return std::less<const T *>()(a.m_ptr, b.m_ptr);
  }

private:
  void acquire() {
    if (m_ptr)
      m_ptr->addReference();
  }
  U_RefPtr &assign(T *object) {
    if (object)
      object->addReference();
    T *old = m_ptr;
    m_ptr = object;
    if (old)
      old->releaseReference();
    return *this;
  }

  T *m_ptr = nullptr;
};
