#include "platform/AppendJournal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view journalHeader = "lyrsa-journal 1\n";
// The longest journal read: its four numbers take far less.
constexpr std::size_t journalLimit = 4096;

// A journal is written under this name beside its own and renamed into place,
// so that it is always whole or not there.
std::string newJournalPath(const std::string &journal) { return journal + ".new"; }

std::string directoryOf(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The directory's entries reach the disk; where the file system cannot sync
// a directory, its entries are as durable as it makes them.
void syncDirectory(const std::string &directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

void removeKeepingErrno(const std::string &path) {
  const int reason = errno;
  ::unlink(path.c_str());
  errno = reason;
}

// Reads "<key> <decimal>\n" from the front of the text.
bool readField(std::string_view &text, std::string_view key, std::uint64_t &value) {
  if (text.substr(0, key.size()) != key || text.size() <= key.size() || text[key.size()] != ' ')
    return false;
  text.remove_prefix(key.size() + 1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || end == text.data() + text.size() || *end != '\n')
    return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
  return true;
}

// Of the bytes before the append point, so many are noted (as a hash).
constexpr std::size_t keptBytesBefore = 4096;

// Reads count bytes at the offset whole: false with errno when it cannot.
bool readAt(int fd, char *bytes, std::size_t count, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = ENODATA;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A 64-bit FNV-1a hash of the last bytes of the file before the offset.
std::optional<std::uint64_t> hashBefore(int fd, std::uint64_t offset) {
  char bytes[keptBytesBefore];
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(offset, sizeof bytes));
  if (!readAt(fd, bytes, count, offset - count))
    return std::nullopt;
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (std::size_t i = 0; i < count; ++i) {
    hash ^= static_cast<unsigned char>(bytes[i]);
    hash *= 0x100000001b3u;
  }
  return hash;
}

std::string hexText(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// Reads "<key> <hex digits>\n" from the front of the text.
bool readBytesField(std::string_view &text, std::string_view key, std::string &value) {
  if (text.substr(0, key.size()) != key || text.size() <= key.size() || text[key.size()] != ' ')
    return false;
  text.remove_prefix(key.size() + 1);
  const std::size_t end = text.find('\n');
  if (end == std::string_view::npos || end % 2 != 0 || end / 2 > appendJournalFirstBytes)
    return false;
  value.clear();
  for (std::size_t i = 0; i < end; i += 2) {
    const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0)
      return false;
    value += static_cast<char>(high << 4 | low);
  }
  text.remove_prefix(end + 1);
  return true;
}

// Appends a text to the buffer, as far as it has room (one byte kept for the
// NUL).
void put(char *buffer, std::size_t size, std::size_t &at, const char *text) {
  while (*text && at + 1 < size)
    buffer[at++] = *text++;
}

void putNumber(char *buffer, std::size_t size, std::size_t &at, std::uint64_t number) {
  char digits[24];
  std::size_t first = sizeof digits - 1;
  digits[first] = '\0';
  do {
    digits[--first] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number > 0);
  put(buffer, size, at, digits + first);
}

// Whether the file (found bytes long) has the bytes that the entry noted on
// either side of its append point, as far as it reaches.
bool holdsAppendPoint(int fd, const AppendJournalEntry &entry, std::uint64_t found) {
  const std::optional<std::uint64_t> before = hashBefore(fd, entry.length);
  if (!before || *before != entry.before)
    return false;
  const std::size_t count =
      static_cast<std::size_t>(std::min<std::uint64_t>(entry.begins.size(), found - entry.length));
  std::string after(count, '\0');
  return readAt(fd, after.data(), count, entry.length) && after == entry.begins.substr(0, count);
}

} // namespace

std::string appendJournalPath(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, base) + "." + path.substr(base) + ".lyrsa-journal";
}

std::optional<AppendJournalEntry> describeAppend(int fd, std::uint64_t length, std::uint64_t appending,
                                                 std::string_view first) {
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    return std::nullopt;
  AppendJournalEntry entry;
  entry.device = static_cast<std::uint64_t>(status.st_dev);
  entry.inode = static_cast<std::uint64_t>(status.st_ino);
  entry.length = length;
  entry.appending = appending;
  const std::optional<std::uint64_t> before = hashBefore(fd, length);
  if (!before)
    return std::nullopt;
  entry.before = *before;
  entry.begins = first.substr(0, std::min<std::size_t>(first.size(), appendJournalFirstBytes));
  return entry;
}

bool writeAppendJournal(const std::string &journal, const AppendJournalEntry &entry) {
  std::string text(journalHeader);
  text += "device " + std::to_string(entry.device) + "\n";
  text += "inode " + std::to_string(entry.inode) + "\n";
  text += "length " + std::to_string(entry.length) + "\n";
  text += "appending " + std::to_string(entry.appending) + "\n";
  text += "before " + std::to_string(entry.before) + "\n";
  text += "begins " + hexText(entry.begins) + "\n";
  const std::string written = newJournalPath(journal);
  const int out = ::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (out < 0)
    return false;
  bool whole = writeAll(out, text) && ::fsync(out) == 0;
  int reason = errno;
  if (::close(out) != 0 && whole) {
    whole = false;
    reason = errno;
  }
  if (!whole) {
    ::unlink(written.c_str());
    errno = reason;
    return false;
  }
  if (::rename(written.c_str(), journal.c_str()) != 0) {
    removeKeepingErrno(written);
    return false;
  }
  syncDirectory(directoryOf(journal));
  return true;
}

std::optional<AppendJournalEntry> readAppendJournal(const std::string &journal) {
  const int in = ::open(journal.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (in < 0)
    return std::nullopt;
  struct stat status {};
  char bytes[journalLimit];
  std::size_t got = 0;
  if (::fstat(in, &status) == 0 && S_ISREG(status.st_mode)) {
    for (;;) {
      const ssize_t n = ::read(in, bytes + got, sizeof bytes - got);
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0)
        break;
      got += static_cast<std::size_t>(n);
      if (got == sizeof bytes)
        break;
    }
  }
  ::close(in);
  std::string_view text(bytes, got);
  if (text.substr(0, journalHeader.size()) != journalHeader)
    return std::nullopt;
  text.remove_prefix(journalHeader.size());
  AppendJournalEntry entry;
  if (!readField(text, "device", entry.device) || !readField(text, "inode", entry.inode) ||
      !readField(text, "length", entry.length) || !readField(text, "appending", entry.appending) ||
      !readField(text, "before", entry.before) || !readBytesField(text, "begins", entry.begins) ||
      !text.empty())
    return std::nullopt;
  return entry;
}

bool removeAppendJournal(const std::string &journal) { return ::unlink(journal.c_str()) == 0; }

std::optional<AppendRecovery> recoverAppend(const std::string &journal, int fd, bool cutFails) {
  // A journal that a process was still writing when it died: nothing of its
  // append had begun.
  ::unlink(newJournalPath(journal).c_str());
  struct stat journalStatus {};
  if (::lstat(journal.c_str(), &journalStatus) != 0)
    return std::nullopt;
  struct stat file {};
  if (::fstat(fd, &file) != 0)
    return std::nullopt;
  AppendRecovery recovery;
  recovery.journal = journal;
  recovery.found = static_cast<std::uint64_t>(file.st_size);
  const std::optional<AppendJournalEntry> entry = readAppendJournal(journal);
  if (!entry) {
    recovery.outcome = AppendRecovery::Outcome::unreadable;
    removeAppendJournal(journal);
    return recovery;
  }
  recovery.length = entry->length;
  const std::uint64_t found = recovery.found;
  if (entry->device != static_cast<std::uint64_t>(file.st_dev) ||
      entry->inode != static_cast<std::uint64_t>(file.st_ino))
    recovery.difference = AppendRecovery::Difference::anotherFile;
  else if (found < entry->length)
    recovery.difference = AppendRecovery::Difference::shorter;
  else if (found - entry->length > entry->appending)
    recovery.difference = AppendRecovery::Difference::longer;
  else if (!holdsAppendPoint(fd, *entry, found))
    recovery.difference = AppendRecovery::Difference::anotherFile;
  if (recovery.difference != AppendRecovery::Difference::none) {
    recovery.outcome = AppendRecovery::Outcome::leftAlone;
    removeAppendJournal(journal);
    return recovery;
  }
  if (found == entry->length) {
    // Nothing of the append reached the file.
    removeAppendJournal(journal);
    return std::nullopt;
  }
  if (cutFails || ::ftruncate(fd, static_cast<off_t>(entry->length)) != 0) {
    recovery.outcome = AppendRecovery::Outcome::cannotPutBack;
    recovery.error = cutFails ? EPERM : errno;
    return recovery;
  }
  // The cut reaches the disk before the journal that calls for it goes.
  ::fsync(fd);
  removeAppendJournal(journal);
  recovery.outcome = AppendRecovery::Outcome::putBack;
  return recovery;
}

std::size_t putBackFailureText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                               const char *journal) {
  if (size == 0)
    return 0;
  std::size_t at = 0;
  put(buffer, size, at, "Cannot put file '");
  put(buffer, size, at, path);
  put(buffer, size, at, "' back to its length of ");
  putNumber(buffer, size, at, length);
  put(buffer, size, at, " bytes");
  if (journal) {
    put(buffer, size, at, "; its journal '");
    put(buffer, size, at, journal);
    put(buffer, size, at, "' is kept, so that a later run puts it back");
  }
  put(buffer, size, at, ".");
  buffer[at] = '\0';
  return at;
}

} // namespace platform
