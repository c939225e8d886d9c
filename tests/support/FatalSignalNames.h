// Test helper: every signal whose default action ends a process and that a
// handler can take (so neither SIGKILL nor SIGSTOP, nor SIGPIPE and SIGXFSZ,
// which the program ignores), with the name that the program's report gives
// it, and whether it stands for a fault of the process itself.
#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace test_support {

struct NamedSignal {
  int number;
  std::string name;
  bool fault = false; // raised by the process against itself
};

inline const std::vector<NamedSignal> &fatalSignals() {
  static const std::vector<NamedSignal> signals = {
      {SIGINT, "SIGINT"},
      {SIGABRT, "SIGABRT"},
      {SIGILL, "SIGILL", true},
      {SIGFPE, "SIGFPE", true},
      {SIGSEGV, "SIGSEGV", true},
      {SIGTERM, "SIGTERM"},
      {SIGHUP, "SIGHUP"},
      {SIGQUIT, "SIGQUIT"},
      {SIGXCPU, "SIGXCPU"},
      {SIGBUS, "SIGBUS", true},
      {SIGTRAP, "SIGTRAP", true},
      {SIGSYS, "SIGSYS", true},
      {SIGUSR1, "SIGUSR1"},
      {SIGUSR2, "SIGUSR2"},
      {SIGALRM, "SIGALRM"},
      {SIGVTALRM, "SIGVTALRM"},
      {SIGPROF, "SIGPROF"},
      {SIGIO, "SIGIO"},
      {SIGPWR, "SIGPWR"},
      {SIGSTKFLT, "SIGSTKFLT"},
      {SIGRTMIN, "SIGRTMIN"},
      {SIGRTMIN + 1, "SIGRTMIN+1"},
      {SIGRTMAX, "SIGRTMIN+" + std::to_string(SIGRTMAX - SIGRTMIN)}};
  return signals;
}

} // namespace test_support
