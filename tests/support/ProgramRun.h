// Test helper: runs a program in a child process with a chosen environment
// and working directory, and collects its exit status, standard output and
// standard error.
#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <map>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace test_support {

struct ProgramResult {
  int exitCode = -1;  // -1 when the process did not exit normally
  int termSignal = 0; // the signal that ended it, if one did
  std::string out;
  std::string err;
  // The process was killed for going past a bound of RunBounds.
  bool stopped = false;
};

// Bounds that keep a faulty program from stalling a test: one that writes
// without end or never ends is killed, and its result says so. They guard
// the test run; they are no measure of speed.
struct RunBounds {
  std::size_t outputBytes = std::numeric_limits<std::size_t>::max(); // both streams together
  int seconds = -1;                                                  // -1: no bound
};

// The environment of this process with the changes applied: a name mapped to
// a value sets it, a name mapped to nothing removes it.
inline std::vector<std::string>
environmentWith(const std::map<std::string, std::optional<std::string>> &changes) {
  std::map<std::string, std::string> merged;
  for (char **entry = environ; *entry; ++entry) {
    const std::string text(*entry);
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos)
      merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto &[name, value] : changes) {
    if (value)
      merged[name] = *value;
    else
      merged.erase(name);
  }
  std::vector<std::string> result;
  for (const auto &[name, value] : merged)
    result.push_back(name + "=" + value);
  return result;
}

// The argument and environment vectors that start a program, NUL-ended:
// pointers into the strings, which outlive them.
struct StartVectors {
  StartVectors(const std::string &program, const std::vector<std::string> &arguments,
               const std::vector<std::string> &environment) {
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &argument : arguments)
      argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    for (const std::string &entry : environment)
      envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
  }
  std::vector<char *> argv;
  std::vector<char *> envp;
};

// A child process with its standard output and standard error on pipes, or
// with its standard output on the descriptor given (the result's out stays
// empty then).
class RunningProgram {
public:
  RunningProgram(const std::string &program, const std::vector<std::string> &arguments,
                 const std::vector<std::string> &environment, const std::string &directory,
                 int standardOutput = -1) {
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
      throw std::runtime_error("cannot create pipes");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, standardOutput >= 0 ? standardOutput : outPipe[1],
                                     STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!directory.empty())
      posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

    StartVectors start(program, arguments, environment);
    const int failed =
        posix_spawn(&m_pid, program.c_str(), &actions, nullptr, start.argv.data(), start.envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    m_out = outPipe[0];
    m_err = errPipe[0];
    if (failed != 0) {
      close(m_out);
      close(m_err);
      throw std::runtime_error("cannot start " + program);
    }
  }
  RunningProgram(const RunningProgram &) = delete;
  RunningProgram &operator=(const RunningProgram &) = delete;
  ~RunningProgram() {
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);
      finish();
    }
  }

  pid_t pid() const { return m_pid; }

  // Reads what the process writes until its standard error holds the text:
  // whether it did before the process closed its standard error or the bound
  // passed. What was read stays for finish(). The bound only keeps a faulty
  // program from stalling the test run; it is no measure of speed.
  bool waitUntilErrorHolds(const std::string &text, int seconds = 60) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (m_errRead.find(text) == std::string::npos) {
      if (m_err < 0 || readReady(millisecondsLeft(seconds, deadline)) <= 0)
        return false;
    }
    return true;
  }

  // Reads both pipes to their end and waits for the process; kills it once
  // it goes past a bound.
  ProgramResult finish(const RunBounds &bounds = {}) {
    ProgramResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(bounds.seconds);
    while (m_out >= 0 || m_err >= 0) {
      const int got = readReady(millisecondsLeft(bounds.seconds, deadline));
      if (got < 0)
        break;
      if (got == 0 || m_outRead.size() + m_errRead.size() > bounds.outputBytes) {
        kill(m_pid, SIGKILL);
        result.stopped = true;
        break;
      }
    }
    closePipes();
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    if (WIFEXITED(status))
      result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
      result.termSignal = WTERMSIG(status);
    result.out = std::move(m_outRead);
    result.err = std::move(m_errRead);
    return result;
  }

private:
  // The milliseconds left until the deadline of a bound, for poll: -1 when
  // there is no bound.
  static int millisecondsLeft(int seconds, std::chrono::steady_clock::time_point deadline) {
    if (seconds < 0)
      return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
  }

  // Reads what is ready on the open pipes, waiting for it at most this long
  // (-1: without a bound); a pipe at its end is closed. 1 when something came
  // or a wait was interrupted, 0 when the time passed, -1 when poll failed.
  int readReady(int waitMilliseconds) {
    pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    const int ready = poll(fds, 2, waitMilliseconds);
    if (ready < 0)
      return errno == EINTR ? 1 : -1;
    if (ready == 0)
      return 0;
    int *pipes[2] = {&m_out, &m_err};
    std::string *sinks[2] = {&m_outRead, &m_errRead};
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0)
        continue;
      char buffer[4096];
      const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        close(fds[i].fd);
        *pipes[i] = -1;
      }
    }
    return 1;
  }

  void closePipes() {
    for (int *end : {&m_out, &m_err}) {
      if (*end >= 0)
        close(*end);
      *end = -1;
    }
  }

  pid_t m_pid = -1;
  int m_out = -1;
  int m_err = -1;
  // What was read from the pipes and not yet handed out.
  std::string m_outRead;
  std::string m_errRead;
};

// Runs the program to its end, or until it goes past a bound.
inline ProgramResult runProgram(const std::string &program, const std::vector<std::string> &arguments,
                                const std::vector<std::string> &environment, const std::string &directory,
                                const RunBounds &bounds = {}) {
  return RunningProgram(program, arguments, environment, directory).finish(bounds);
}

} // namespace test_support
