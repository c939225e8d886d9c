// A failing disk, for tests of the writers: write failures, a process killed
// in the middle of a write, and put-backs and syncs that fail, brought about
// on purpose. Programs built with the test hooks (LYR_TEST_HOOKS) also take
// a fault from their environment; other builds never do.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace platform {

// The writes of a stream (or of a LockedFile) reach its file up to a number of
// bytes and then fail with ENOSPC, as on a full disk; with closeFails, closing
// the stream (checking what a LockedFile wrote) fails with EIO once
// everything is written. The appends of a LockedFile can also stop the
// process (SIGKILL, as the out-of-memory killer does) once a number of bytes
// reached the file, also once all of them did; and the putting back of an
// append can fail: its cut as on an append-only file (cutFails), the sync of
// the cut, or the sync of the directory of an append's journal, each with EIO.
// The journal of an append can fail to be synced or closed, each with EROFS,
// as on a file system that turned read-only after it was made. A file made
// whole can find no lock for its making name (ENOLCK, as on a file system
// without locks), and its making name can fail to go as the file gets its
// own name (EIO). A process
// that recovers a file can stop right after its cut (stopAfterCut).
// And a process can pause (SIGSTOP to itself, once each) at a point of its
// append, so that a test can send it a signal just there and let it go on:
// before the journal and the bytes go out, once a number of the bytes reached
// the file, once they are synced, and at its end, once its appends are kept;
// there it can also abort instead, as a process whose exit goes wrong does.
struct WriteFault {
  std::uint64_t bytesBeforeFailure = UINT64_MAX;
  bool closeFails = false;
  std::uint64_t bytesBeforeStop = UINT64_MAX;
  bool cutFails = false;
  bool cutSyncFails = false;
  bool directorySyncFails = false;
  bool stopAfterCut = false;
  std::uint64_t bytesBeforePause = UINT64_MAX;
  bool pauseBeforeWrite = false;
  bool pauseAfterWrite = false;
  bool pauseAtExit = false;
  bool abortAtExit = false;
  bool noUnnamedFiles = false; // the file system makes no file without a name
  bool journalSyncFails = false;
  bool journalCloseFails = false;
  bool makingLockFails = false;
  bool makingUnlinkFails = false;
};

// The points where a process can pause for a test.
enum class PausePoint { beforeWrite, afterWrite, atExit };
// Pauses the process (SIGSTOP) when the fault asks for it at that point and it
// has not paused there yet; at its end, aborts it when the fault asks so.
void pauseForTest(PausePoint point);

// The fault that files opened for writing or appending carry: at first the one
// of the environment (writeFaultFromEnvironment).
const std::optional<WriteFault> &currentWriteFault();

// Files opened for writing or appending from now on carry the fault; nothing
// opens them plainly again. Only tests call it.
void setWriteFault(const std::optional<WriteFault> &fault);

// The faults of putting an append back, for the code that cuts and syncs
// files, as the fault in force sets them. Safe inside a signal handler: they
// read flags that are set before any file is guarded.
//
// Cuts the file open on fd to the length, as ftruncate does: 0, or -1 with
// errno (EPERM under cutFails, as on an append-only file). Under
// stopAfterCut, the process is killed right after the cut.
int truncateForPutBack(int fd, std::uint64_t length);
// Whether the sync of a cut, or of the directory of a journal, is to fail
// (with EIO), or the sync of a journal (with EROFS).
enum class FaultedSync { cut, journalDirectory, journal };
bool syncFailsForTest(FaultedSync sync);
// Whether closing a journal that was written is to fail (with EROFS).
bool journalCloseFailsForTest();
// Whether the lock of a making name is to fail (with ENOLCK).
bool makingLockFailsForTest();
// Removes the making name of a file made whole as the file gets its own
// name, as unlink does: 0, or -1 with errno (EIO under the test fault).
int unlinkMakingName(const char *name);
// Whether files without a name (O_TMPFILE) are to fail as on a file system
// that cannot make them (EOPNOTSUPP).
bool unnamedFilesFailForTest();

// Whether this build reads a fault from its environment.
bool writeFaultHookBuiltIn();

// The fault that the environment variable LYRSA_VOKT_TEST_WRITE_FAULT
// describes, in a build with the test hooks: a list of words separated by
// commas, "fail-after=<bytes>", "stop-after=<bytes>", "close-fails",
// "cut-fails", "cut-sync-fails", "directory-sync-fails", "stop-after-cut",
// "pause-after=<bytes>", "pause-before-write", "pause-after-write",
// "pause-at-exit", "abort-at-exit", "no-unnamed-files", "journal-sync-fails",
// "journal-close-fails", "making-lock-fails", "making-unlink-fails".
// Nothing when the variable is not set, holds a word of another kind, or the
// build has no test hooks.
std::optional<WriteFault> writeFaultFromEnvironment();

// A stream over a descriptor opened for writing ('w') or appending ('a') that
// carries the fault: it writes straight to the descriptor and closes it.
// Null, with the descriptor left open, when no stream can be made.
std::FILE *openStreamWithFault(int fd, char kind, const WriteFault &fault);

} // namespace platform
