#include "cmdline/OnceAnswer.h"

std::uint64_t &C_OnceAnswers::counter() {
  static std::uint64_t generation = 0;
  return generation;
}
