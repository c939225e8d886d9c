// Fatal signals and the last words of a dying process: installing one handler
// for the signals that end a run, holding them off while a run's results are
// written, writing to standard error without streams or heap, and leaving at
// once.
#pragma once

#include <csignal>
#include <cstddef>

namespace platform {

// The signals that end a run: every signal whose default action ends the
// process and that a handler can catch, but the two that stand for a failed
// write (see ignoreWriteFailureSignals). The faults come first, then the
// signals that another process or a timer sends.
enum class FatalSignal {
  interrupt,
  abort,
  illegalInstruction,
  floatingPoint,
  segmentation,
  terminate,
  hangup,
  quit,
  cpuTimeLimit,
  busError,
  trap,
  badSystemCall,
  user1,
  user2,
  alarm,
  virtualAlarm,
  profilingAlarm,
  pollable,
  powerFailure,
  stackFault,
};

// Every fatal signal above, in that order.
inline constexpr FatalSignal allFatalSignals[] = {
    FatalSignal::interrupt,     FatalSignal::abort,          FatalSignal::illegalInstruction,
    FatalSignal::floatingPoint, FatalSignal::segmentation,   FatalSignal::terminate,
    FatalSignal::hangup,        FatalSignal::quit,           FatalSignal::cpuTimeLimit,
    FatalSignal::busError,      FatalSignal::trap,           FatalSignal::badSystemCall,
    FatalSignal::user1,         FatalSignal::user2,          FatalSignal::alarm,
    FatalSignal::virtualAlarm,  FatalSignal::profilingAlarm, FatalSignal::pollable,
    FatalSignal::powerFailure,  FatalSignal::stackFault};

// The platform's number of a fatal signal.
int signalNumber(FatalSignal signal);

// The real-time signals, which end the process too unless handled: the
// numbers from first to last, or first > last on a platform without them.
struct SignalRange {
  int first;
  int last;
};
SignalRange realTimeSignals();

// Installs the handler for every fatal signal and every real-time signal.
// While the handler runs the other fatal signals wait, and a second delivery
// of the same signal gets the default action, so a fault inside the handler
// cannot loop.
void installFatalSignalHandler(void (*handler)(int));

// While an object of this class lives, every signal that can be held waits;
// those held before it stay held after it. It spans the few system calls
// that make a name which a fatal signal's handler must know of to remove it,
// so that the signal comes once the name is known, or gone again. A fault of
// the process itself still ends it, without its handler.
class HeldSignals {
public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals &) = delete;
  HeldSignals &operator=(const HeldSignals &) = delete;

private:
  sigset_t m_before;
};

// From now until the process ends, every signal that can be held waits,
// faults sent by another process included: the process ends as it is about
// to, not by a signal that arrives meanwhile. A fault of the process itself
// still ends it, without its handler.
void holdAllSignalsUntilExit();
// Lets the faults (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS and
// SIGABRT) through again after holdAllSignalsUntilExit, once nothing is left
// that a handler could find half done: a fault of the process itself cannot
// wait (the kernel ends the process without its handler while it is held),
// so the handler gets it and ends the process as its last act decided.
void releaseFaultsBeforeExit();

// Ignores from now on the signals that stand for a failed write: SIGPIPE (a
// pipe without a reader) and SIGXFSZ (a file past the file-size limit). The
// write then fails with EPIPE or EFBIG, and the writer reports it and puts its
// file back as after any failed write.
void ignoreWriteFailureSignals();

// Writes the bytes to standard error with one unbuffered system call each time
// (retried after an interruption). Safe inside a signal handler.
void writeToStandardError(const char *bytes, std::size_t length);
// Writes a text up to its NUL the same way.
void writeToStandardError(const char *text);
// Writes the number in decimal the same way.
void writeNumberToStandardError(unsigned long long number);

// Ends the process with the status at once: no destructors, no exit handlers,
// no stream flush. Safe inside a signal handler.
[[noreturn]] void exitImmediately(int status);

// The name of the platform the program was built for.
const char *buildPlatformName();

} // namespace platform
