#include "platform/AppendJournal.h"

#include "platform/SiblingFiles.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view journalHeader = "lyrsa-journal 2\n";

// Of the bytes before the append point, so many are noted (as a hash).
constexpr std::size_t keptBytesBefore = 4096;

// A 64-bit hash of bytes, eight at a time. Not made to withstand an attacker:
// a journal is trusted only when a run on the file could have written it, and
// what it tells apart are bytes that other writers put there by chance.
std::uint64_t hashBytes(const char *bytes, std::size_t count) {
  constexpr std::uint64_t multiplier = 0x9e3779b97f4a7c15u;
  std::uint64_t hash = 0x243f6a8885a308d3u ^ (count * multiplier);
  const auto mix = [&](std::uint64_t word) {
    hash ^= word;
    hash *= multiplier;
    hash ^= hash >> 29;
  };
  std::size_t at = 0;
  for (; at + 8 <= count; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + at, 8);
    mix(word);
  }
  std::uint64_t last = 0;
  if (count > at)
    std::memcpy(&last, bytes + at, count - at);
  mix(last);
  hash ^= hash >> 32;
  hash *= 0xd6e8feb86659fd93u;
  hash ^= hash >> 32;
  return hash;
}

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

// The hash of the last bytes of the file before the offset.
std::optional<std::uint64_t> hashBefore(int fd, std::uint64_t offset) {
  char bytes[keptBytesBefore];
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(offset, sizeof bytes));
  if (!readAt(fd, bytes, count, offset - count))
    return std::nullopt;
  return hashBytes(bytes, count);
}

// The most bytes of an append at that length of the file that the head keeps:
// up to the second block boundary after the append point.
std::uint64_t headLimit(std::uint64_t length) {
  return 2 * appendJournalBlockBytes - length % appendJournalBlockBytes;
}

// Where the block of the append that begins at the offset ends in it.
std::uint64_t blockSize(const AppendJournalEntry &entry, std::uint64_t offset) {
  return std::min(appendJournalBlockBytes, entry.appending - offset);
}

std::string hexText(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * bytes.size());
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

// Reads "<key> " from the front of the text.
bool readKey(std::string_view &text, std::string_view key) {
  if (text.size() <= key.size() || text.substr(0, key.size()) != key || text[key.size()] != ' ')
    return false;
  text.remove_prefix(key.size() + 1);
  return true;
}

// Reads "<key> <decimal>\n" from the front of the text.
bool readField(std::string_view &text, std::string_view key, std::uint64_t &value) {
  if (!readKey(text, key))
    return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || end == text.data() + text.size() || *end != '\n')
    return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
  return true;
}

// Reads "<key> <hex digits>\n" from the front of the text: the bytes they
// stand for.
bool readBytesField(std::string_view &text, std::string_view key, std::string &value) {
  if (!readKey(text, key))
    return false;
  const std::size_t end = text.find('\n');
  if (end == std::string_view::npos || end % 2 != 0)
    return false;
  value.clear();
  value.reserve(end / 2);
  for (std::size_t i = 0; i < end; i += 2) {
    const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0)
      return false;
    value += static_cast<char>(high << 4 | low);
  }
  text.remove_prefix(end + 1);
  return true;
}

// Reads "<key> <16 hex digits a hash>\n".
bool readHashesField(std::string_view &text, std::string_view key, std::vector<std::uint64_t> &hashes) {
  std::string bytes;
  if (!readBytesField(text, key, bytes) || bytes.size() % 8 != 0)
    return false;
  hashes.clear();
  hashes.reserve(bytes.size() / 8);
  for (std::size_t at = 0; at < bytes.size(); at += 8) {
    std::uint64_t hash = 0;
    for (std::size_t i = 0; i < 8; ++i)
      hash = hash << 8 | static_cast<unsigned char>(bytes[at + i]);
    hashes.push_back(hash);
  }
  return true;
}

std::string hashesText(const std::vector<std::uint64_t> &hashes) {
  std::string bytes;
  bytes.reserve(8 * hashes.size());
  for (const std::uint64_t hash : hashes)
    for (int shift = 56; shift >= 0; shift -= 8)
      bytes += static_cast<char>(hash >> shift & 0xff);
  return hexText(bytes);
}

} // namespace

std::uint64_t appendJournalHeadBytes(std::uint64_t length, std::uint64_t appending) {
  return std::min(appending, headLimit(length));
}

std::uint64_t appendJournalBlockCount(std::uint64_t length, std::uint64_t appending) {
  const std::uint64_t rest = appending - appendJournalHeadBytes(length, appending);
  return rest / appendJournalBlockBytes + (rest % appendJournalBlockBytes != 0 ? 1 : 0);
}

std::string appendJournalPath(const std::string &path) { return siblingName(path, ".", ".lyrsa-journal"); }

std::optional<AppendJournalEntry> describeAppend(int fd, std::uint64_t length, const std::string_view *pieces,
                                                 std::size_t count) {
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    return std::nullopt;
  const std::optional<std::uint64_t> before = hashBefore(fd, length);
  if (!before)
    return std::nullopt;
  AppendJournalEntry entry;
  entry.device = static_cast<std::uint64_t>(status.st_dev);
  entry.inode = static_cast<std::uint64_t>(status.st_ino);
  entry.length = length;
  entry.before = *before;
  extendAppend(entry, pieces, count);
  return entry;
}

void extendAppend(AppendJournalEntry &entry, const std::string_view *pieces, std::size_t count) {
  // The head is as long as the whole append lets it be: it grows with it.
  const std::uint64_t limit = headLimit(entry.length);
  if (!entry.openBlock.empty())
    entry.blocks.pop_back();
  for (std::size_t i = 0; i < count; ++i) {
    std::string_view bytes = pieces[i];
    entry.appending += bytes.size();
    if (entry.head.size() < limit) {
      const std::size_t taken =
          static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), limit - entry.head.size()));
      entry.head.append(bytes.substr(0, taken));
      bytes.remove_prefix(taken);
    }
    while (!bytes.empty()) {
      const std::size_t taken = static_cast<std::size_t>(
          std::min<std::uint64_t>(bytes.size(), appendJournalBlockBytes - entry.openBlock.size()));
      if (entry.openBlock.empty() && taken == appendJournalBlockBytes) {
        // A whole block in place: no copy.
        entry.blocks.push_back(hashBytes(bytes.data(), taken));
      } else {
        entry.openBlock.append(bytes.substr(0, taken));
        if (entry.openBlock.size() == appendJournalBlockBytes) {
          entry.blocks.push_back(hashBytes(entry.openBlock.data(), entry.openBlock.size()));
          entry.openBlock.clear();
        }
      }
      bytes.remove_prefix(taken);
    }
  }
  if (!entry.openBlock.empty())
    entry.blocks.push_back(hashBytes(entry.openBlock.data(), entry.openBlock.size()));
}

std::string appendJournalText(const AppendJournalEntry &entry) {
  std::string text(journalHeader);
  text += "device " + std::to_string(entry.device) + "\n";
  text += "inode " + std::to_string(entry.inode) + "\n";
  text += "length " + std::to_string(entry.length) + "\n";
  text += "appending " + std::to_string(entry.appending) + "\n";
  text += "before " + std::to_string(entry.before) + "\n";
  text += "head " + hexText(entry.head) + "\n";
  text += "blocks " + hashesText(entry.blocks) + "\n";
  return text;
}

std::optional<AppendJournalEntry> parseAppendJournal(std::string_view text) {
  if (text.substr(0, journalHeader.size()) != journalHeader)
    return std::nullopt;
  text.remove_prefix(journalHeader.size());
  AppendJournalEntry entry;
  if (!readField(text, "device", entry.device) || !readField(text, "inode", entry.inode) ||
      !readField(text, "length", entry.length) || !readField(text, "appending", entry.appending) ||
      !readField(text, "before", entry.before) || !readBytesField(text, "head", entry.head) ||
      !readHashesField(text, "blocks", entry.blocks) || !text.empty())
    return std::nullopt;
  // The parts agree with an append that a run could have made.
  constexpr std::uint64_t largestFile = std::numeric_limits<off_t>::max();
  if (entry.appending == 0 || entry.length > largestFile || entry.appending > largestFile - entry.length ||
      entry.head.size() != appendJournalHeadBytes(entry.length, entry.appending) ||
      entry.blocks.size() != appendJournalBlockCount(entry.length, entry.appending))
    return std::nullopt;
  return entry;
}

AppendCheck checkAppended(int fd, const AppendJournalEntry &entry, std::uint64_t found) {
  using Difference = AppendCheck::Difference;
  AppendCheck check;
  const auto failed = [&] {
    check.error = errno != 0 ? errno : EIO;
    return check;
  };
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    return failed();
  if (entry.device != static_cast<std::uint64_t>(status.st_dev) ||
      entry.inode != static_cast<std::uint64_t>(status.st_ino)) {
    check.difference = Difference::anotherFile;
    return check;
  }
  if (found < entry.length) {
    check.difference = Difference::shorter;
    return check;
  }
  if (found - entry.length > entry.appending) {
    check.difference = Difference::longer;
    return check;
  }
  const std::optional<std::uint64_t> before = hashBefore(fd, entry.length);
  if (!before)
    return failed();
  if (*before != entry.before) {
    check.difference = Difference::anotherFile;
    return check;
  }
  // Every byte after the append point: the head byte for byte, then each
  // block by its hash; a block that is there only in part cannot be checked.
  // One block's room on the stack: no heap, so that a signal handler can
  // check what its process appended.
  char bytes[appendJournalBlockBytes];
  const std::uint64_t tail = found - entry.length;
  const std::uint64_t headPart = std::min<std::uint64_t>(tail, entry.head.size());
  for (std::uint64_t offset = 0; offset < headPart; offset += sizeof bytes) {
    const std::size_t size =
        static_cast<std::size_t>(std::min<std::uint64_t>(sizeof bytes, headPart - offset));
    if (!readAt(fd, bytes, size, entry.length + offset))
      return failed();
    if (std::memcmp(bytes, entry.head.data() + offset, size) != 0) {
      check.difference = Difference::otherBytes;
      return check;
    }
  }
  std::uint64_t offset = entry.head.size();
  for (std::size_t block = 0; offset < tail; ++block) {
    const std::size_t size = static_cast<std::size_t>(blockSize(entry, offset));
    if (tail - offset < size) {
      check.difference = Difference::partBlock;
      return check;
    }
    if (!readAt(fd, bytes, size, entry.length + offset))
      return failed();
    if (hashBytes(bytes, size) != entry.blocks[block]) {
      check.difference = Difference::otherBytes;
      return check;
    }
    offset += size;
  }
  return check;
}

} // namespace platform
