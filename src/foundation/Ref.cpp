#include "foundation/Ref.h"

#include <algorithm>
#include <vector>

void U_Ref::deleteReleased(U_Ref *object) {
  // The objects released by the deletion under way on this thread, waiting
  // for it to end; null while none is under way.
  thread_local std::vector<U_Ref *> *waiting = nullptr;
  if (waiting) {
    try {
      waiting->push_back(object);
      return;
    } catch (...) {
      // No room to wait in: the object goes at once, inside the other.
    }
    delete object;
    return;
  }
  std::vector<U_Ref *> queue;
  waiting = &queue;
  for (U_Ref *next = object;;) {
    const std::size_t before = queue.size();
    delete next;
    // What this deletion released goes before what waited already, first
    // released first: the order of deletions one inside the other.
    std::reverse(queue.begin() + static_cast<std::ptrdiff_t>(before), queue.end());
    if (queue.empty())
      break;
    next = queue.back();
    queue.pop_back();
  }
  waiting = nullptr;
}
