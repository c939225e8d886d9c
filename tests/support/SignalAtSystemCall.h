// Test helper: runs a program under ptrace and sends it a signal as it enters
// a chosen system call, the way a kill (or any signal) can come at any point
// of a run: the call so many calls after the first one of a given number.
// Where this process may not trace its children, nothing runs.
#pragma once

#include "support/ProgramRun.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace test_support {

struct SignalledRun {
  bool traced = false;    // the program ran under ptrace
  bool signalled = false; // it reached the call and got the signal there
  int exitCode = -1;      // -1 when it did not exit normally
  int termSignal = 0;     // the signal that ended it, if one did
};

// Runs the program (its words after its name) with the environment in the
// directory, its standard streams on /dev/null and the file-size limit given,
// and sends it the signal as it enters the call that comes `after` calls
// after its first call numbered `first` (0: that call itself). A signal that
// it handles comes once the call has run; SIGKILL ends it before.
inline SignalledRun runWithSignalAtCall(const std::string &program, const std::vector<std::string> &words,
                                        const std::vector<std::string> &environment,
                                        const std::string &directory, long first, unsigned after, int signal,
                                        rlim_t fileSizeLimit = RLIM_INFINITY) {
  StartVectors start(program, words, environment);
  SignalledRun run;
  const pid_t pid = ::fork();
  if (pid < 0)
    return run;
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    for (int stream = 0; stream < 3; ++stream)
      ::dup2(null, stream);
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = fileSizeLimit;
    if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0 || ::chdir(directory.c_str()) != 0 ||
        ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
      ::_exit(127);
    ::execve(program.c_str(), start.argv.data(), start.envp.data());
    ::_exit(127);
  }
  int status = 0;
  // The stop at the program's start, then its calls one by one.
  if (::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status) ||
      ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return run;
  }
  run.traced = true;
  bool counting = false;
  unsigned count = 0;
  int passOn = 0;
  for (;;) {
    ::ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void *>(static_cast<long>(passOn)));
    passOn = 0;
    if (::waitpid(pid, &status, 0) != pid) {
      if (errno == EINTR)
        continue;
      break;
    }
    if (WIFEXITED(status)) {
      run.exitCode = WEXITSTATUS(status);
      break;
    }
    if (WIFSIGNALED(status)) {
      run.termSignal = WTERMSIG(status);
      break;
    }
    if (!WIFSTOPPED(status))
      continue;
    if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
      // A signal on its way to the program: it gets it.
      passOn = WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status);
      continue;
    }
    __ptrace_syscall_info info{};
    if (::ptrace(PTRACE_GET_SYSCALL_INFO, pid, reinterpret_cast<void *>(sizeof info), &info) <= 0 ||
        info.op != PTRACE_SYSCALL_INFO_ENTRY)
      continue;
    counting = counting || static_cast<long>(info.entry.nr) == first;
    if (counting && !run.signalled && count++ == after) {
      run.signalled = true;
      ::kill(pid, signal);
    }
  }
  return run;
}

} // namespace test_support
