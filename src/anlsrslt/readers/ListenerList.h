// The lists through which the readers call the checks back: plain functions,
// kept for the whole run and walked in the order they were registered, so
// that every run calls them in the same order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace test_support {
class ListenerListsReset;
}

// The generation of every listener list. It never changes in a run; only the
// test support can start a new one, which empties every list at its next use.
class P_ListenerLists {
public:
  static std::uint64_t generation() { return counter(); }

private:
  friend class test_support::ListenerListsReset;
  static std::uint64_t &counter();
};

// A list of listener functions of one kind. Nothing is ever removed.
template <class Listener> class P_ListenerList {
public:
  P_ListenerList() = default;
  P_ListenerList(const P_ListenerList &) = delete;
  P_ListenerList &operator=(const P_ListenerList &) = delete;

  // Appends the function unless the list holds it already; true when added.
  bool addOnce(Listener listener) {
    std::vector<Listener> &listeners = current();
    if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end())
      return false;
    listeners.push_back(listener);
    return true;
  }
  // Appends the function, also when the list holds it already (it is then
  // called once for each registration).
  void add(Listener listener) { current().push_back(listener); }

  bool empty() { return current().empty(); }
  std::size_t size() { return current().size(); }
  bool contains(Listener listener) {
    const std::vector<Listener> &listeners = current();
    return std::find(listeners.begin(), listeners.end(), listener) != listeners.end();
  }

  // Calls every function with the arguments, in registration order. One
  // registered while the walk goes on is called in the same walk. An
  // exception of a listener ends the walk and passes on.
  template <class... Args> void notify(const Args &...args) {
    std::vector<Listener> &listeners = current();
    for (std::size_t i = 0; i < listeners.size(); ++i) {
      const Listener listener = listeners[i];
      listener(args...);
    }
  }

  // Calls every function for which keep gives true, as notify does.
  template <class Keep, class... Args> void notifyIf(Keep keep, const Args &...args) {
    std::vector<Listener> &listeners = current();
    for (std::size_t i = 0; i < listeners.size(); ++i) {
      const Listener listener = listeners[i];
      if (keep(listener))
        listener(args...);
    }
  }

private:
  std::vector<Listener> &current() {
    const std::uint64_t generation = P_ListenerLists::generation();
    if (m_generation != generation) {
      m_listeners.clear();
      m_generation = generation;
    }
    return m_listeners;
  }

  std::vector<Listener> m_listeners;
  std::uint64_t m_generation = P_ListenerLists::generation();
};
