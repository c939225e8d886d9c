// The journal of an append: a text that parses gives an entry that its own
// text gives back, and recovery by any journal never cuts a file it does not
// cover, never below the recorded length, and cuts exactly the bytes that
// are shown to be the append's own.
#include "FuzzSupport.h"

#include "platform/AppendJournal.h"
#include "platform/AppendProtocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Outcome = platform::AppendRecovery::Outcome;

// Bytes in the file before the append point of the file that the input's own
// journal is tried on.
const std::string fileHead = "head of the file";

std::string fileBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool sameEntry(const platform::AppendJournalEntry &a, const platform::AppendJournalEntry &b) {
  return a.device == b.device && a.inode == b.inode && a.length == b.length && a.appending == b.appending &&
         a.before == b.before && a.head == b.head && a.blocks == b.blocks;
}

// Bytes of a given count made from the seed, so that the blocks of an append
// differ from each other.
std::string bytesFrom(const std::string &seed, std::size_t count, unsigned salt) {
  std::string bytes(count, '\0');
  std::uint32_t state = salt;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 1103515245u + 12345u;
    const char from = seed.empty() ? '\0' : seed[i % seed.size()];
    bytes[i] = static_cast<char>(from ^ static_cast<char>(state >> 16));
  }
  return bytes;
}

// Recovers the file, made of those bytes, by its journal, made of those, and
// checks what became of both: entry is the journal as parsed; cut, when
// known, whether the file must be cut.
void recover(const std::string &bytes, const std::string &journalBytes,
             const std::optional<platform::AppendJournalEntry> &entry, std::optional<bool> cut) {
  const std::string path = fuzz_support::workDirectory() + "/f.err";
  const std::string journal = platform::appendJournalPath(path);
  writeBytes(path, bytes);
  writeBytes(journal, journalBytes);
  // Writable by no one else whatever the umask: a journal that a run wrote.
  fuzz_support::check(::chmod(journal.c_str(), 0600) == 0);
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  fuzz_support::check(fd >= 0);

  const std::optional<platform::AppendRecovery> inspected = platform::inspectAppend(journal, fd);
  fuzz_support::check(fileBytes(path) == bytes && fileBytes(journal) == journalBytes);
  const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, fd);
  ::close(fd);
  const std::string after = fileBytes(path);

  fuzz_support::check(recovery && inspected && inspected->outcome == recovery->outcome);
  fuzz_support::check(!recovery->fails() && !std::filesystem::exists(journal));
  if (!entry) {
    fuzz_support::check(recovery->outcome == Outcome::unreadable && after == bytes);
    return;
  }
  fuzz_support::check(recovery->length == entry->length && recovery->appending == entry->appending);
  if (after != bytes) {
    fuzz_support::check(recovery->outcome == Outcome::putBack);
    fuzz_support::check(after.size() == entry->length && bytes.compare(0, after.size(), after) == 0);
  } else {
    fuzz_support::check(recovery->outcome != Outcome::putBack);
  }
  if (cut)
    fuzz_support::check(*cut == (after != bytes));
}

// Writes the bytes as the file and gives the entry its identity and the hash
// of its bytes before the append point, as a run on it would have written.
platform::AppendJournalEntry namingTheFile(platform::AppendJournalEntry entry, const std::string &bytes) {
  const std::string path = fuzz_support::workDirectory() + "/f.err";
  writeBytes(path, bytes);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  fuzz_support::check(fd >= 0);
  struct stat status {};
  fuzz_support::check(::fstat(fd, &status) == 0);
  const std::optional<platform::AppendJournalEntry> described =
      platform::describeAppend(fd, entry.length, nullptr, 0);
  ::close(fd);
  fuzz_support::check(described.has_value());
  entry.device = static_cast<std::uint64_t>(status.st_dev);
  entry.inode = static_cast<std::uint64_t>(status.st_ino);
  entry.before = described->before;
  return entry;
}

// The file found after the append point: the first count bytes of the
// append and as many more, with one byte changed when flip is given.
std::string foundTail(const std::string &appended, std::size_t count,
                      const std::optional<std::size_t> &flip) {
  std::string tail = appended.substr(0, std::min(count, appended.size()));
  tail.resize(count, 'x');
  if (flip && !tail.empty())
    tail[*flip % tail.size()] ^= 0x20;
  return tail;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  const std::optional<platform::AppendJournalEntry> entry = platform::parseAppendJournal(input);
  if (entry) {
    const std::string text = platform::appendJournalText(*entry);
    const std::optional<platform::AppendJournalEntry> again = platform::parseAppendJournal(text);
    fuzz_support::check(again && sameEntry(*entry, *again) && platform::appendJournalText(*again) == text);
  }

  // The input as the journal of a file appended to as it begins, with the
  // identity of the journal's file only by chance.
  recover(fileHead + (entry ? entry->head : std::string("tail")), input, entry, std::nullopt);
  if (!entry)
    return 0;

  // The entry made to name the file, which holds the recorded length and
  // then a part of the head (all of its bytes known), one byte more, or a
  // changed byte; the otherwise free fields choose which.
  constexpr std::uint64_t largestFile = 1 << 16;
  if (entry->length <= largestFile) {
    const std::string before = bytesFrom(input, static_cast<std::size_t>(entry->length), 1);
    const std::size_t count = static_cast<std::size_t>(entry->before % (entry->head.size() + 2));
    const std::optional<std::size_t> flip =
        entry->device % 2 == 1 ? std::optional<std::size_t>(entry->inode) : std::nullopt;
    const std::string tail = foundTail(entry->head, count, flip);
    const platform::AppendJournalEntry named = namingTheFile(*entry, before);
    // Past the head, the bytes are known only by hash: no expectation there.
    const std::optional<bool> cut =
        count <= entry->head.size() ? std::optional<bool>(count > 0 && !flip) : std::nullopt;
    recover(before + tail, platform::appendJournalText(named), named, cut);
  }

  // An append whose every byte is known, of several blocks, described in
  // pieces as a run describes its appends, against a file of a length on or
  // off its 4 KiB boundaries.
  const std::size_t length = static_cast<std::size_t>(entry->length % 9000);
  const std::size_t appending = static_cast<std::size_t>(entry->appending % (8192 + 3 * 4096)) + 1;
  const std::string before = bytesFrom(input, length, 2);
  const std::string appended = bytesFrom(entry->head, appending, 3);
  std::vector<std::string_view> pieces;
  std::size_t at = 0;
  for (std::size_t i = 0; at < appending; ++i) {
    const std::size_t piece = i < input.size() ? static_cast<unsigned char>(input[i]) * 37 % 5000 : appending;
    pieces.push_back(std::string_view(appended).substr(at, piece));
    at += std::min(piece, appending - at);
  }
  const std::string path = fuzz_support::workDirectory() + "/f.err";
  writeBytes(path, before);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  fuzz_support::check(fd >= 0);
  std::optional<platform::AppendJournalEntry> described =
      platform::describeAppend(fd, length, pieces.data(), 1);
  ::close(fd);
  fuzz_support::check(described.has_value());
  for (std::size_t i = 1; i < pieces.size(); ++i)
    platform::extendAppend(*described, &pieces[i], 1);
  fuzz_support::check(described->appending == appending);

  // The journal keeps the append whole up to the file's second 4 KiB boundary
  // after the append point; past it, a part of the append is shown to be its
  // own only where it ends on a boundary of the file, or with the append.
  const std::size_t count = static_cast<std::size_t>(entry->before % (appending + 2));
  const std::optional<std::size_t> flip =
      entry->device % 2 == 1 ? std::optional<std::size_t>(entry->inode) : std::nullopt;
  const std::size_t headEnd = (length / 4096 + 2) * 4096;
  const bool ownBytes = count > 0 && count <= appending && !flip;
  const bool shown = length + count <= headEnd || (length + count) % 4096 == 0 || count == appending;
  recover(before + foundTail(appended, count, flip), platform::appendJournalText(*described), described,
          ownBytes && shown);
  return 0;
}
