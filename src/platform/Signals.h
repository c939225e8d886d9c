// Fatal signals and the last words of a dying process: installing one handler
// for the signals that end a run, writing to standard error without streams
// or heap, and leaving at once.
#pragma once

#include <cstddef>

namespace platform {

// The signals that end a run, in the order in which their handler is installed.
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
};

// The platform's number of a fatal signal.
int signalNumber(FatalSignal signal);

// Installs the handler for every fatal signal. While the handler runs the other
// fatal signals wait, and a second delivery of the same signal gets the default
// action, so a fault inside the handler cannot loop.
void installFatalSignalHandler(void (*handler)(int));

// Ignores from now on the signals that stand for a failed write: SIGPIPE (a
// pipe without a reader) and SIGXFSZ (a file past the file-size limit). The
// write then fails with EPIPE or EFBIG, and the writer reports it and puts its
// file back as after any failed write.
void ignoreWriteFailureSignals();

// Writes the bytes to standard error with one unbuffered system call each time
// (retried after an interruption). Safe inside a signal handler.
void writeToStandardError(const char *bytes, std::size_t length);

// Ends the process with the status at once: no destructors, no exit handlers,
// no stream flush. Safe inside a signal handler.
[[noreturn]] void exitImmediately(int status);

// The name of the platform the program was built for.
const char *buildPlatformName();

} // namespace platform
