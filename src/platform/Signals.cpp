#include "platform/Signals.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace platform {

namespace {

// The fatal signals and the real-time ones.
sigset_t fatalSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (FatalSignal signal : allFatalSignals)
    sigaddset(&set, signalNumber(signal));
  const SignalRange realTime = realTimeSignals();
  for (int number = realTime.first; number <= realTime.last; ++number)
    sigaddset(&set, number);
  return set;
}

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
  case FatalSignal::trap:
    return SIGTRAP;
  case FatalSignal::badSystemCall:
    return SIGSYS;
  case FatalSignal::user1:
    return SIGUSR1;
  case FatalSignal::user2:
    return SIGUSR2;
  case FatalSignal::alarm:
    return SIGALRM;
  case FatalSignal::virtualAlarm:
    return SIGVTALRM;
  case FatalSignal::profilingAlarm:
    return SIGPROF;
  case FatalSignal::pollable:
    return SIGIO;
  case FatalSignal::powerFailure:
    return SIGPWR;
  case FatalSignal::stackFault:
    return SIGSTKFLT;
  }
  return 0;
}

SignalRange realTimeSignals() { return {SIGRTMIN, SIGRTMAX}; }

void installFatalSignalHandler(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  action.sa_mask = fatalSignalSet();
  action.sa_flags = SA_RESETHAND;
  for (FatalSignal signal : allFatalSignals)
    sigaction(signalNumber(signal), &action, nullptr);
  const SignalRange realTime = realTimeSignals();
  for (int number = realTime.first; number <= realTime.last; ++number)
    sigaction(number, &action, nullptr);
}

HeldSignals::HeldSignals() {
  sigset_t all;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &m_before);
}

HeldSignals::~HeldSignals() { sigprocmask(SIG_SETMASK, &m_before, nullptr); }

void holdAllSignalsUntilExit() {
  sigset_t held;
  sigfillset(&held);
  sigprocmask(SIG_BLOCK, &held, nullptr);
}

void releaseFaultsBeforeExit() {
  sigset_t faults;
  sigemptyset(&faults);
  for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS, SIGABRT})
    sigaddset(&faults, signal);
  sigprocmask(SIG_UNBLOCK, &faults, nullptr);
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

void writeToStandardError(const char *text) { writeToStandardError(text, std::strlen(text)); }

void writeNumberToStandardError(unsigned long long number) {
  char digits[24];
  std::size_t first = sizeof digits;
  do {
    digits[--first] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number > 0);
  writeToStandardError(digits + first, sizeof digits - first);
}

void exitImmediately(int status) { ::_exit(status); }

const char *buildPlatformName() { return "Linux"; }

} // namespace platform
