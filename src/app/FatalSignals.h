// The report of a fatal signal: its name on standard error, then the process
// ends at once with exit code 19.
#pragma once

// Installs the handler for every signal whose default action ends the process
// (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, the real-time signals
// and the rest, faults included), and ignores SIGPIPE and SIGXFSZ: a write to
// a pipe without a reader or past the file-size limit fails as a write, with
// the report and exit code of a file that cannot be written.
void installSignalHandlers(void (*handler)(int));

// The handler: puts back the files being written (platform::restoreAppends), then
// reportFatalSignal and the immediate end with 19; or, once the process's
// last act keeps its appends, with 0.
void onFatalSignal(int signal);

// Writes "Caught signal: (", the signal's name with ")" and a newline (nothing
// for a signal that is not handled), and "Please contact Vennacore." with a
// newline, straight to descriptor 2 without stream or heap. A real-time signal
// is named from the first one: "SIGRTMIN", "SIGRTMIN+1", ...
void reportFatalSignal(int signal);
