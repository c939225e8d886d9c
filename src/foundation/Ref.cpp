#include "foundation/Ref.h"

#include <algorithm>
#include <vector>

namespace {

// The queue of the deletion under way on this thread; null while none is.
thread_local std::vector<U_Ref *> *waiting = nullptr;

// A queue kept from one deletion to the next, so that deleting an object with
// parts allocates nothing once the queue has room. Objects released after the
// thread's own objects are gone (by statics destroyed at exit) use a queue of
// their own.
thread_local bool keptQueueGone = false;
struct KeptQueue {
  std::vector<U_Ref *> objects;
  ~KeptQueue() { keptQueueGone = true; }
};
thread_local KeptQueue keptQueue;

} // namespace

void U_Ref::deleteReleased(U_Ref *object) {
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
  std::vector<U_Ref *> ownQueue;
  std::vector<U_Ref *> &queue = keptQueueGone ? ownQueue : keptQueue.objects;
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
  // A wide structure may have needed much room: that is not kept.
  if (queue.capacity() > 4096)
    std::vector<U_Ref *>().swap(queue);
}
