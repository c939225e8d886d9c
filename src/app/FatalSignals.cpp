#include "app/FatalSignals.h"

#include "platform/BinaryFile.h"
#include "platform/Signals.h"

#include <cstring>

namespace {

using platform::FatalSignal;

struct SignalName {
  FatalSignal signal;
  const char *text;
};

constexpr SignalName signalNames[] = {
    {FatalSignal::interrupt, "SIGINT)\n"},     {FatalSignal::illegalInstruction, "SIGILL)\n"},
    {FatalSignal::floatingPoint, "SIGFPE)\n"}, {FatalSignal::segmentation, "SIGSEGV)\n"},
    {FatalSignal::terminate, "SIGTERM)\n"},    {FatalSignal::abort, "SIGABRT)\n"},
    {FatalSignal::hangup, "SIGHUP)\n"},        {FatalSignal::quit, "SIGQUIT)\n"},
    {FatalSignal::cpuTimeLimit, "SIGXCPU)\n"}, {FatalSignal::busError, "SIGBUS)\n"},
};

constexpr int fatalSignalExitCode = 19;

void writeText(const char *text) { platform::writeToStandardError(text, std::strlen(text)); }

} // namespace

void installSignalHandlers(void (*handler)(int)) {
  platform::installFatalSignalHandler(handler);
  platform::ignoreWriteFailureSignals();
}

void onFatalSignal(int signal) {
  // Files half written, such as an error file appended to, are put back
  // before the process goes.
  platform::restoreGuardedFiles();
  reportFatalSignal(signal);
  platform::exitImmediately(fatalSignalExitCode);
}

void reportFatalSignal(int signal) {
  writeText("Caught signal: (");
  for (const SignalName &name : signalNames) {
    if (platform::signalNumber(name.signal) == signal)
      writeText(name.text);
  }
  writeText("Please contact Vennacore.\n");
}
