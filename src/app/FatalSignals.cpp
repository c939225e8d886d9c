#include "app/FatalSignals.h"

#include "platform/AppendProtocol.h"
#include "platform/Signals.h"

namespace {

using platform::FatalSignal;

struct SignalName {
  FatalSignal signal;
  const char *text;
};

constexpr SignalName signalNames[] = {
    {FatalSignal::interrupt, "SIGINT"},       {FatalSignal::illegalInstruction, "SIGILL"},
    {FatalSignal::floatingPoint, "SIGFPE"},   {FatalSignal::segmentation, "SIGSEGV"},
    {FatalSignal::terminate, "SIGTERM"},      {FatalSignal::abort, "SIGABRT"},
    {FatalSignal::hangup, "SIGHUP"},          {FatalSignal::quit, "SIGQUIT"},
    {FatalSignal::cpuTimeLimit, "SIGXCPU"},   {FatalSignal::busError, "SIGBUS"},
    {FatalSignal::trap, "SIGTRAP"},           {FatalSignal::badSystemCall, "SIGSYS"},
    {FatalSignal::user1, "SIGUSR1"},          {FatalSignal::user2, "SIGUSR2"},
    {FatalSignal::alarm, "SIGALRM"},          {FatalSignal::virtualAlarm, "SIGVTALRM"},
    {FatalSignal::profilingAlarm, "SIGPROF"}, {FatalSignal::pollable, "SIGIO"},
    {FatalSignal::powerFailure, "SIGPWR"},    {FatalSignal::stackFault, "SIGSTKFLT"},
};

constexpr int fatalSignalExitCode = 19;

// Writes the signal's name; false for a signal that has none here.
bool writeSignalName(int signal) {
  for (const SignalName &name : signalNames) {
    if (platform::signalNumber(name.signal) == signal) {
      platform::writeToStandardError(name.text);
      return true;
    }
  }
  const platform::SignalRange realTime = platform::realTimeSignals();
  if (signal < realTime.first || signal > realTime.last)
    return false;
  platform::writeToStandardError("SIGRTMIN");
  if (signal > realTime.first) {
    platform::writeToStandardError("+");
    platform::writeNumberToStandardError(static_cast<unsigned>(signal - realTime.first));
  }
  return true;
}

} // namespace

void installSignalHandlers(void (*handler)(int)) {
  platform::installFatalSignalHandler(handler);
  platform::ignoreWriteFailureSignals();
}

void onFatalSignal(int signal) {
  // Files half written, such as an error file appended to, are put back
  // before the process goes; once its last act keeps them (a fault of the
  // process itself, such as an abort at its exit, comes even then), they stay
  // and the process ends well, so that the exit code agrees with them.
  const bool kept = platform::restoreAppends();
  reportFatalSignal(signal);
  platform::exitImmediately(kept ? 0 : fatalSignalExitCode);
}

void reportFatalSignal(int signal) {
  platform::writeToStandardError("Caught signal: (");
  if (writeSignalName(signal))
    platform::writeToStandardError(")\n");
  platform::writeToStandardError("Please contact Vennacore.\n");
}
