// A file that one process at a time adds to, under the append protocol
// (AppendProtocol.h): held under an exclusive advisory lock (flock) from its
// opening until its append is kept or put back, so every process that opens
// it here waits for its turn. Other descriptors of the file (a reading of it)
// neither need the lock nor end it. Only regular files are locked; a device
// opens without a lock, and so does a file on a file system without locks.
//
// Every opening of a locked file first removes what dead processes left
// beside it (Leftovers.h) and puts back what a process that died while adding
// to it left (recovery() tells what it found). What is added goes in with a
// journal beside the file itself (its name with symbolic links resolved), so
// that a process killed while adding leaves a file that the next opening puts
// back; putting back in this process cuts only its own bytes.
//
// A file can also be made as a whole: it is written under its making name
// beside it, held under its lock (Leftovers.h), and gets its name once it is
// complete (giveName), so that no other process ever sees it in part. A file
// made through a symbolic link to a missing file, as a whole or in place, is
// made where the link leads, and putting it back removes it there.
#pragma once

#include "platform/AppendJournal.h"
#include "platform/AppendProtocol.h"
#include "platform/FileLock.h"
#include "platform/WriteFault.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class LockedFile {
public:
  // What the opening does with the file: opens only an existing one, makes a
  // missing one, also cuts it to nothing once the lock is held, or makes a
  // new one under a temporary name.
  enum class Opening { existing, create, truncate, make };
  using WaitNotice = LockWaitNotice;

  LockedFile() = default;
  // Puts back what was appended and not kept, as putBack() does.
  ~LockedFile();
  LockedFile(LockedFile &&other) noexcept;
  LockedFile &operator=(LockedFile &&other) noexcept;
  LockedFile(const LockedFile &) = delete;
  LockedFile &operator=(const LockedFile &) = delete;

  // Opens the file for reading and appending and waits for its lock, telling
  // the notice once the wait has lasted about a second. A name removed or made
  // to name another file while the opening waited is opened again, so the
  // lock held is on the file that the name names then. Once the lock is held,
  // an append that a dead process left unfinished is put back. False, with
  // errno telling why and nothing open, for a missing file under
  // Opening::existing (ENOENT), a directory (EISDIR), a FIFO or socket
  // (EINVAL), a name that still names another file after many tries (EAGAIN),
  // a file that may not be added to after what its opening found
  // (recovery()->fails(); the errno of that), no guard left for it (EMFILE),
  // or any other failure. While a write fault is set, the file carries it.
  // Only while nothing is open.
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
  // Whether the opening made the file (a file being made included): putting
  // it back removes it.
  bool created() const { return m_created; }
  // Whether what is appended goes in with a journal: a regular file held
  // under its lock, not being made, whose journal has a name.
  bool journaled() const { return m_fd >= 0 && m_locked && m_temporaryName.empty() && !m_journal.empty(); }
  // The journal of the file (whether it exists or not); empty when the file
  // is not journaled.
  const std::string &journalPath() const { return m_journal; }
  // Whether an append failed because its journal could not be written, or is
  // not known to be on disk: nothing was added then.
  bool journalFailed() const { return m_journalFailed; }
  // The size of the regular file; nothing for a device or when nothing is open.
  std::optional<std::uint64_t> size() const;
  // Whether the open file has more than one name (hard links): a run through
  // another name sees another journal, so a put-back by a later run is not
  // done.
  bool hasOtherNames() const;
  // Reads up to count bytes from the start of the file: the number read, or
  // -1 with errno.
  long readFromStart(void *bytes, std::size_t count) const;
  // Writes the blocks, in order, at the end of the file: in one system call
  // (writev) unless the system takes them in parts. A journaled file first
  // gets its journal, which records the file's length before the first append
  // of this opening and everything appended since; where no journal can be
  // made beside the file, the bytes go in without one. False, with errno,
  // when not all of them reached the file, when they would take the file past
  // the process's file-size limit (EFBIG; none of them is written then), when
  // their journal cannot be written or is not known to be on disk
  // (journalFailed(); nothing reached the file then), or when the bytes
  // before the append point cannot be read.
  bool append(const std::string_view *blocks, std::size_t count);
  bool append(std::string_view bytes) { return append(&bytes, 1); }
  // What closing the file would report about the bytes written (a file system
  // may report a failed write only then), asked while the lock is still held;
  // false with errno on a failure.
  bool checkWritten();
  // Syncs what was written to the disk; false with errno on a failure.
  bool sync();
  // Keeps everything appended (endAppend): the file is closed, or, in a
  // process that commits its appends at its end, held until then. When its
  // journal cannot be removed, the file is put back instead (the result tells).
  AppendEnd keep();
  // Takes back everything appended since the opening (putBackAppend) and
  // closes the file: a file that the opening made is removed, another is cut
  // back to its length at the opening. The result tells what could not be
  // done; the journal then stays.
  AppendEnd putBack();
  // Closes the file, which ends the lock, without putting anything back; a
  // file being made goes with its temporary name. Nothing when nothing is
  // open.
  void close();
  int descriptor() const { return m_fd; }

private:
  bool openToMake(const std::string &path);
  // Takes the file open on fd, and guards a regular file: 0, or errno when it
  // cannot be looked at or no guard is left (EMFILE); what the opening made
  // goes then, and nothing is open.
  int opened(int fd, const std::string &path, bool made, bool locked);
  // Whether what is appended is noted, so that a put-back cuts only it: a
  // regular file that this opening did not make.
  bool tracksAppends() const { return m_fd >= 0 && m_guard >= 0 && !m_created; }
  // Writes the journal with the entry, for an append: false when the append
  // must not begin.
  bool writeJournal(const AppendJournalEntry &entry);
  // What the file holds of this opening's appends when, of the blocks of an
  // append after those that covering describes, so many bytes reached it:
  // nothing when none of them did. The file is not read for it.
  std::optional<AppendJournalEntry> reachedEntry(std::optional<AppendJournalEntry> covering,
                                                 const std::string_view *blocks, std::size_t count,
                                                 std::uint64_t reached) const;
  // After an append that stopped short (a full disk), notes, and writes the
  // journal again to cover, only what reached the file: a put-back then cuts
  // exactly that, and should the file not be put back, a later run can check
  // every byte of it, also one that stopped inside a block. covering: what
  // the file held before the append; reached: its bytes in the file.
  void coverWhatReached(const std::optional<AppendJournalEntry> &covering, const std::string_view *blocks,
                        std::size_t count, std::uint64_t reached);
  // Writes the bytes from..to of the blocks, taken as one, at the end of the
  // file.
  bool writeRange(const std::string_view *blocks, std::size_t count, std::uint64_t from, std::uint64_t to);
  void reset();

  int m_fd = -1;
  int m_guard = -1;
  std::string m_path;
  std::string m_journal;
  std::string m_temporaryName; // of a file being made
  bool m_created = false;
  bool m_locked = false; // a regular file held under its lock
  bool m_journalWritten = false;
  bool m_journalFailed = false;
  // What the appends of this opening put in the file, from the first on; its
  // journal says the same.
  std::optional<AppendJournalEntry> m_journalEntry;
  std::optional<AppendRecovery> m_recovery;
  std::uint64_t m_written = 0;
  WriteFault m_fault; // the write fault in force at the opening
};

} // namespace platform
