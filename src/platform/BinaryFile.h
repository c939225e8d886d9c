// Binary files as C streams: opening, the size of a file, files written under
// a lock (and cut back through it), files put back when the process dies, and
// a write failure that tests can bring about on purpose.
#pragma once

#include "platform/AppendJournal.h"
#include "platform/FileLock.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Opens a file for reading: its descriptor, or -1 with errno telling why.
// Every file the system reads opens through here. Only a regular file opens:
// a directory (EISDIR), a FIFO, a device or a socket (EINVAL) is refused at
// once, never waited on as a FIFO without a writer would be.
int openForReading(const std::string &path);

// Opens a file as a C stream with the mode given ("rb", "wb", "ab", ...; the
// bytes pass unchanged). Reading modes open what openForReading opens; in
// the others a directory cannot be opened, and writing or appending never
// waits: a FIFO without a reader is refused at once (ENXIO). Null when the file cannot be
// opened (errno tells why); errno is left as it was on success. While a
// write fault is set, files opened for writing or appending carry it.
std::FILE *openBinaryFile(const std::string &path, const char *mode);

// The size of the regular file of that name, as the file system has it (bytes
// still in the buffer of a stream open on it not counted); nothing for a name
// that is not a regular file (a device, a pipe, a missing file).
std::optional<std::uint64_t> regularFileSize(const std::string &path);

// A file that one process at a time adds to: it is held under an exclusive
// advisory lock (flock) from its opening to its closing, and every process
// that opens it here waits for its turn. Other descriptors of the file (a
// reading of it) neither need the lock nor end it; the closing ends it, and so
// does the end of the process. Only regular files are locked; a device opens
// without a lock, and so does a file on a file system without locks.
//
// What is added to a locked file goes in with a journal (AppendJournal.h), so
// that a process killed while adding leaves a file that the next opening puts
// back; every opening of a locked file first puts back what such a process
// left (recovery() tells what it found).
//
// A file can also be made as a whole: it is written under a temporary name
// beside it that only this process knows (".lyrsa-<pid>-<n>.tmp"), and gets
// its name once it is complete (giveName), so that no other process ever sees
// it in part. Temporary files of processes that no longer exist are removed
// when another file is made in their directory.
class LockedFile {
public:
  // What the opening does with the file: opens only an existing one, makes a
  // missing one, also cuts it to nothing once the lock is held, or makes a
  // new one under a temporary name.
  enum class Opening { existing, create, truncate, make };
  // Told once when the opening has waited about a second for the lock; the
  // opening then waits on.
  using WaitNotice = LockWaitNotice;

  LockedFile() = default;
  ~LockedFile();
  LockedFile(LockedFile &&other) noexcept;
  LockedFile &operator=(LockedFile &&other) noexcept;
  LockedFile(const LockedFile &) = delete;
  LockedFile &operator=(const LockedFile &) = delete;

  // Opens the file for reading and appending and waits for its lock. A name
  // removed or made to name another file while the opening waited is opened
  // again, so the lock held is on the file that the name names then. Once the
  // lock is held, an append that a dead process left unfinished is put back.
  // False, with errno telling why and nothing open, for a missing file under
  // Opening::existing (ENOENT), a directory (EISDIR), a FIFO or socket
  // (EINVAL), a name that still names another file after many tries (EAGAIN),
  // a file that cannot be put back (recovery() tells; its errno), or any other
  // failure. While a write fault is set, the file carries it. Only while
  // nothing is open.
  bool open(const std::string &path, Opening opening, const WaitNotice &notice = {});
  // What the last opening found of an unfinished append: nothing when there
  // was none.
  const std::optional<AppendRecovery> &recovery() const { return m_recovery; }
  // Gives a file being made its name, unless a file has that name by then:
  // false, with errno EEXIST then, EPERM or EOPNOTSUPP when the file system
  // gives a file no second name, or another errno; the file stays unnamed.
  bool giveName();
  // Whether the file is being made and has no name yet.
  bool beingMade() const { return !m_temporaryName.empty(); }
  // The temporary name of a file being made; empty otherwise.
  const std::string &temporaryName() const { return m_temporaryName; }
  bool isOpen() const { return m_fd >= 0; }
  // Whether the opening made the file.
  bool created() const { return m_created; }
  // Whether what is appended goes in with a journal: a regular file held
  // under its lock, not being made.
  bool journaled() const { return m_fd >= 0 && m_locked && m_temporaryName.empty(); }
  // The journal of the file (whether it exists or not); empty when the file
  // is not journaled.
  std::string journalPath() const;
  // Whether this opening wrote the journal and it is still there.
  bool hasJournal() const { return m_journalWritten; }
  // The size of the regular file; nothing for a device or when nothing is open.
  std::optional<std::uint64_t> size() const;
  // Reads up to count bytes from the start of the file: the number read, or
  // -1 with errno.
  long readFromStart(void *bytes, std::size_t count) const;
  // Writes the blocks, in order, at the end of the file: in one system call
  // (writev) unless the system takes them in parts. A journaled file first
  // gets its journal, which records the file's length before the first append
  // of this opening and everything appended since; where no journal can be
  // made beside the file, the bytes go in without one. False, with errno,
  // when not all of them reached the file.
  bool append(const std::string_view *blocks, std::size_t count);
  bool append(std::string_view bytes) { return append(&bytes, 1); }
  // What closing the file would report about the bytes written (a file system
  // may report a failed write only then), asked while the lock is still held;
  // false with errno on a failure.
  bool checkWritten();
  // Syncs what was written to the disk; false with errno on a failure.
  bool sync();
  // Everything appended is in the file for good: the journal goes.
  void endJournal();
  // Cuts the regular file back to the length (nothing to cut when it has that
  // length already) and then removes the journal; false, with errno and the
  // journal kept, when it cannot.
  bool truncate(std::uint64_t length);
  // Closes the file, which ends the lock; a file being made goes with its
  // temporary name. A journal that is still there stays. Nothing when nothing
  // is open.
  void close();
  int descriptor() const { return m_fd; }

private:
  bool openToMake(const std::string &path);
  // Writes the journal for an append of the blocks (total bytes).
  void writeJournal(const std::string_view *blocks, std::size_t count, std::uint64_t total);
  void opened(int fd, const std::string &path, bool made, bool locked);

  int m_fd = -1;
  std::string m_path;
  std::string m_temporaryName; // of a file being made
  bool m_created = false;
  bool m_locked = false; // a regular file held under its lock
  bool m_journalWritten = false;
  // What the journal says of the appends of this opening, from the first on.
  std::optional<AppendJournalEntry> m_journalEntry;
  std::optional<AppendRecovery> m_recovery;
  std::uint64_t m_written = 0;
  std::uint64_t m_bytesBeforeFailure = UINT64_MAX; // of a write fault
  std::uint64_t m_bytesBeforeStop = UINT64_MAX;    // of a write fault
  bool m_checkFails = false;                       // of a write fault
  bool m_cutFails = false;                         // of a write fault
};

// Files being written that a fatal end of the process puts back: a file
// that the writing made is removed, another is cut back to the length it had
// (through the descriptor when one is given, so that a locked file is cut
// while its lock is still held) and its journal, when one is given, goes once
// the cut is done. A file that cannot be cut back keeps its journal, and a
// line on standard error says so (putBackFailureText). A handful can be
// guarded at once.
//
// Guards the file; the id that releases the guard, or -1 when no guard is
// free (the file then stays as the dying process leaves it).
int guardFileLength(const std::string &path, std::uint64_t length, bool madeByWriting, int descriptor = -1,
                    const std::string &journal = {});
// Ends the guard of that id; nothing for -1.
void releaseFileGuard(int id);
// Puts every guarded file back and ends the guards. Safe inside a signal
// handler: no heap, no streams, only system calls.
void restoreGuardedFiles();

// A failing disk, for tests of the writers: the writes of a stream (or of a
// LockedFile) reach its file up to a number of bytes and then fail with
// ENOSPC, as on a full disk; with closeFails, closing the stream (checking
// what a LockedFile wrote) fails with EIO once everything is written. The
// appends of a LockedFile can also stop the process (SIGKILL, as the
// out-of-memory killer does) once a number of bytes reached the file, and
// the cutting back of one can fail as on an append-only file (cutFails).
struct WriteFault {
  std::uint64_t bytesBeforeFailure = UINT64_MAX;
  bool closeFails = false;
  std::uint64_t bytesBeforeStop = UINT64_MAX;
  bool cutFails = false;
};

// Files opened for writing or appending from now on carry the fault; nothing
// opens them plainly again. Only tests call it.
void setWriteFault(const std::optional<WriteFault> &fault);

// The fault that a process starts with: the one that the environment
// variable LYRSA_VOKT_TEST_WRITE_FAULT describes, so that tests can bring a
// run of the program to fail or die in the middle of a write. Its value is a
// list of words separated by commas: "fail-after=<bytes>", "stop-after=<bytes>",
// "close-fails", "cut-fails". Nothing when the variable is not set or holds a
// word of another kind.
std::optional<WriteFault> writeFaultFromEnvironment();

} // namespace platform
