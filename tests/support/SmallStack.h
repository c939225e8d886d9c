// Test helper: runs a piece of work on a thread of its own whose stack is as
// small as asked, so that work which recurses once per element of a long
// chain overflows it, while work that loops does not. Whatever the work throws
// is thrown again in the calling thread.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <pthread.h>
#include <stdexcept>

namespace test_support {

inline void runWithStack(std::size_t stackBytes, const std::function<void()> &work) {
  struct Job {
    const std::function<void()> *work;
    std::exception_ptr error;
  } job{&work, nullptr};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  const int sized = pthread_attr_setstacksize(&attributes, stackBytes);
  pthread_t thread;
  const int started = sized != 0 ? sized
                                 : pthread_create(
                                       &thread, &attributes,
                                       [](void *argument) -> void * {
                                         Job &running = *static_cast<Job *>(argument);
                                         try {
                                           (*running.work)();
                                         } catch (...) {
                                           running.error = std::current_exception();
                                         }
                                         return nullptr;
                                       },
                                       &job);
  pthread_attr_destroy(&attributes);
  if (started != 0)
    throw std::runtime_error("cannot start a thread with a small stack");
  pthread_join(thread, nullptr);
  if (job.error)
    std::rethrow_exception(job.error);
}

} // namespace test_support
