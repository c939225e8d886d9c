#include "platform/Signals.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <unistd.h>

namespace platform {

namespace {

constexpr FatalSignal allFatalSignals[] = {
    FatalSignal::interrupt,     FatalSignal::abort,        FatalSignal::illegalInstruction,
    FatalSignal::floatingPoint, FatalSignal::segmentation, FatalSignal::terminate,
    FatalSignal::hangup,        FatalSignal::quit,         FatalSignal::cpuTimeLimit,
    FatalSignal::busError};

} // namespace

int signalNumber(FatalSignal signal) {
  switch (signal) {
  case FatalSignal::interrupt:
    return SIGINT;
  case FatalSignal::abort:
    return SIGABRT;
  case FatalSignal::illegalInstruction:
    return SIGILL;
  case FatalSignal::floatingPoint:
    return SIGFPE;
  case FatalSignal::segmentation:
    return SIGSEGV;
  case FatalSignal::terminate:
    return SIGTERM;
  case FatalSignal::hangup:
    return SIGHUP;
  case FatalSignal::quit:
    return SIGQUIT;
  case FatalSignal::cpuTimeLimit:
    return SIGXCPU;
  case FatalSignal::busError:
    return SIGBUS;
  }
  return 0;
}

void installFatalSignalHandler(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  for (FatalSignal signal : allFatalSignals)
    sigaddset(&action.sa_mask, signalNumber(signal));
  action.sa_flags = SA_RESETHAND;
  for (FatalSignal signal : allFatalSignals)
    sigaction(signalNumber(signal), &action, nullptr);
}

void ignoreWriteFailureSignals() {
  struct sigaction action = {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGPIPE, SIGXFSZ})
    sigaction(signal, &action, nullptr);
}

void writeToStandardError(const char *bytes, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(STDERR_FILENO, bytes, length);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return;
    }
    bytes += written;
    length -= static_cast<std::size_t>(written);
  }
}

void exitImmediately(int status) { ::_exit(status); }

const char *buildPlatformName() { return "Linux"; }

} // namespace platform
