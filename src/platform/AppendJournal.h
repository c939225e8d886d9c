// The journal of an append, which makes adding bytes at the end of a file
// all or nothing across a kill: before the bytes go out, the file's identity
// (device and inode), its length and the count of bytes to come are recorded
// in a small file beside it, ".<name>.lyrsa-journal", and synced to disk. Once
// the bytes are in the file and synced, the journal goes. A process that dies
// in between (SIGKILL, the out-of-memory killer, a power cut) leaves the
// journal behind, and the next process that holds the file's exclusive lock
// puts the file back to the recorded length before it reads or adds anything.
// Only what the journal covers is ever cut away: a file of another identity,
// shorter than the recorded length or longer than that length and the bytes
// to come is left as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// How many of the first bytes of what is appended a journal notes.
inline constexpr std::size_t appendJournalFirstBytes = 64;

// What a journal records. Besides the identity, it notes some bytes on both
// sides of the point where the append begins, so that a file that took the
// place of the one appended to (with the inode number of the old one, which
// file systems hand out again) is told apart from it.
struct AppendJournalEntry {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t length = 0;    // of the file before the append
  std::uint64_t appending = 0; // bytes the append adds
  std::uint64_t before = 0;    // hash of the last bytes before the append
  std::string begins;          // the first bytes of what is appended
};

// The journal of the file at the path: ".<base name>.lyrsa-journal" in the
// same directory.
std::string appendJournalPath(const std::string &path);

// Describes the append to the file open on fd, length bytes long when the
// append begins, of appending bytes that begin with first (only its first few
// bytes are kept); nothing, with errno, when the file cannot be read.
std::optional<AppendJournalEntry> describeAppend(int fd, std::uint64_t length, std::uint64_t appending,
                                                 std::string_view first);

// Records the entry in the journal and syncs the journal and its directory.
// False, with errno and no journal left, when it cannot be made (a directory
// the process may not write, say).
bool writeAppendJournal(const std::string &journal, const AppendJournalEntry &entry);

// The entry of a journal; nothing when the journal is missing, is no regular
// file or does not hold a whole entry.
std::optional<AppendJournalEntry> readAppendJournal(const std::string &journal);

// Removes the journal; false with errno when it cannot.
bool removeAppendJournal(const std::string &journal);

// What an opening found of an append that a process did not finish.
struct AppendRecovery {
  enum class Outcome {
    putBack,       // the file was cut back to the recorded length; the journal went
    leftAlone,     // the file is not what the journal covers: it stays; the journal went
    unreadable,    // the journal holds no whole entry: nothing was appended; it went
    cannotPutBack, // the file could not be cut back: it and the journal stay
  };
  // How a file left alone differs from what its journal covers.
  enum class Difference { none, anotherFile, shorter, longer };

  Outcome outcome = Outcome::putBack;
  Difference difference = Difference::none;
  std::string journal;
  std::uint64_t length = 0; // recorded: the length the file is put back to
  std::uint64_t found = 0;  // the file's length as it was found
  int error = 0;            // errno of a failed cut
};

// Puts the file open on fd (the process holds its exclusive lock) back by its
// journal, when it has one. Nothing when there is no journal, or when the
// journal records an append of which nothing reached the file (the journal
// just goes then). With cutFails, cutting fails as on an append-only file
// (for tests).
std::optional<AppendRecovery> recoverAppend(const std::string &journal, int fd, bool cutFails = false);

// The line that says a file cannot be put back, without its newline:
// "Cannot put file '<path>' back to its length of <length> bytes; its journal
// '<journal>' is kept, so that a later run puts it back." (without the part
// about the journal when journal is null). Written into the buffer, cut to
// its size; safe inside a signal handler. Returns the length written.
std::size_t putBackFailureText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                               const char *journal);

} // namespace platform
