// What the journal of an append holds, and how a file is held against it.
// Before a process adds bytes at the end of a file, it records in a journal
// beside the file the file's identity (device and inode), its length, the
// number of bytes to come, a hash of the bytes just before the append point,
// the first few KiB of what is appended, whole, and a hash of each following
// block of 4 KiB, the blocks lying on the file's 4 KiB boundaries (where a
// killed write stops). A process that finds such a journal left behind can
// then tell, byte for byte, whether what follows the recorded length is what
// the dead process began to write: only then is it cut away. The steps of the
// append and of its recovery are in AppendProtocol.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The blocks of an append beyond its first bytes, and the boundaries in the
// file that they lie on.
inline constexpr std::uint64_t appendJournalBlockBytes = 4096;

struct AppendJournalEntry {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t length = 0;          // of the file before the append
  std::uint64_t appending = 0;       // bytes the append adds
  std::uint64_t before = 0;          // hash of the last bytes before the append
  std::string head;                  // the first bytes of the append, whole
  std::vector<std::uint64_t> blocks; // hash of each block after them
  // Of an entry being described: the bytes of its last block while that is
  // not full, so that a further append goes on with it. Never written.
  std::string openBlock;
};

// How many of the first bytes of an append at that length of the file the
// journal keeps whole: up to the second block boundary after the append
// point (4 KiB to 8 KiB), or all of them when the append is shorter.
std::uint64_t appendJournalHeadBytes(std::uint64_t length, std::uint64_t appending);
// How many block hashes follow them.
std::uint64_t appendJournalBlockCount(std::uint64_t length, std::uint64_t appending);

// The journal of the file at the path: ".<base name>.lyrsa-journal" in the
// same directory. The path should name the file itself, with no symbolic
// link left in it, so that every name of the file finds one journal.
std::string appendJournalPath(const std::string &path);

// Describes an append of the pieces, in order, to the file open on fd, length
// bytes long when the append begins; nothing, with errno, when the bytes
// before the append point cannot be read.
std::optional<AppendJournalEntry> describeAppend(int fd, std::uint64_t length, const std::string_view *pieces,
                                                 std::size_t count);
// Adds a further append of the pieces to what the entry describes.
void extendAppend(AppendJournalEntry &entry, const std::string_view *pieces, std::size_t count);

// The journal's text for the entry, and the entry of a text: nothing when the
// text holds no whole entry, or one whose parts do not agree (a head or a
// count of blocks that an append of that length at that point would not have,
// lengths past what a file can hold).
std::string appendJournalText(const AppendJournalEntry &entry);
std::optional<AppendJournalEntry> parseAppendJournal(std::string_view text);

// How the file open on fd, found bytes long, differs from what the entry
// covers: the file before the append plus a part of the append, from its
// start, every byte of it the append's own. Safe inside a signal handler
// (no heap), as long as nothing changes the entry meanwhile.
struct AppendCheck {
  enum class Difference {
    none,
    anotherFile, // other bytes before the append point
    shorter,     // shorter than the recorded length
    longer,      // longer than the recorded length and the append
    otherBytes,  // bytes after the append point that the append did not have
    partBlock,   // it ends inside a block, whose bytes cannot be checked
  };
  Difference difference = Difference::none;
  int error = 0; // errno when the file could not be read
};
AppendCheck checkAppended(int fd, const AppendJournalEntry &entry, std::uint64_t found);

} // namespace platform
