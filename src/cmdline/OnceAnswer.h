// Answers taken from the current argument set once per process (an option
// consulted on every diagnostic, a debug word that switches a behaviour) and
// kept for the rest of the run.
#pragma once

#include <cstdint>
#include <optional>

namespace test_support {
class OnceAnswerReset;
}

// The generation of every once-computed answer. It never changes in a run;
// only the test support can start a new one, which makes every answer be
// computed again at its next use.
class C_OnceAnswers {
public:
  static std::uint64_t generation() { return counter(); }

private:
  friend class test_support::OnceAnswerReset;
  static std::uint64_t &counter();
};

// One answer: computed at its first use, then kept. Held in a function-local
// static beside the code that asks.
template <class T> class C_OnceAnswer {
public:
  using Compute = T (*)();

  explicit C_OnceAnswer(Compute compute) : m_compute(compute) {}
  C_OnceAnswer(const C_OnceAnswer &) = delete;
  C_OnceAnswer &operator=(const C_OnceAnswer &) = delete;

  const T &get() {
    const std::uint64_t generation = C_OnceAnswers::generation();
    if (!m_value || m_generation != generation) {
      m_value = m_compute();
      m_generation = generation;
    }
    return *m_value;
  }

private:
  Compute m_compute;
  std::optional<T> m_value;
  std::uint64_t m_generation = 0;
};
