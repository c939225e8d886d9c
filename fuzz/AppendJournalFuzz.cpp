// The reader of append journals over a file of any bytes, and the recovery
// that follows a journal. A journal read whole is written back as the same
// entry. Recovery of a file whose journal holds the input never cuts the file
// when the journal does not read, and never below the recorded length; so it
// goes again with the entry made to name the file, where the cut can happen:
// it then cuts to exactly the recorded length when the file is what the
// journal covers, and not at all otherwise. The journal never stays, as every
// cut succeeds.
#include "FuzzSupport.h"

#include "platform/AppendJournal.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The bytes before the append point of the file recovered.
const std::string head = "head of the file";

std::string fileBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool sameEntry(const platform::AppendJournalEntry &a, const platform::AppendJournalEntry &b) {
  return a.device == b.device && a.inode == b.inode && a.length == b.length && a.appending == b.appending &&
         a.before == b.before && a.begins == b.begins;
}

// Recovers the file (of those bytes) by its journal, which holds the bytes
// given, and checks what became of it; entry is the journal as read, cut
// whether the file must be cut (nothing: either may be right).
void recover(const std::string &bytes, const std::string &journalBytes,
             const std::optional<platform::AppendJournalEntry> &entry,
             std::optional<bool> cut = std::nullopt) {
  const std::string path = fuzz_support::workDirectory() + "/f.err";
  const std::string journal = platform::appendJournalPath(path);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  std::ofstream(journal, std::ios::binary | std::ios::trunc) << journalBytes;
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  fuzz_support::check(fd >= 0);
  const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, fd);
  ::close(fd);
  const std::string after = fileBytes(path);
  fuzz_support::check(!std::filesystem::exists(journal));
  if (!entry) {
    fuzz_support::check(recovery && recovery->outcome == platform::AppendRecovery::Outcome::unreadable);
    fuzz_support::check(after == bytes);
    return;
  }
  if (cut)
    fuzz_support::check(*cut == (after != bytes));
  if (after != bytes) {
    fuzz_support::check(recovery && recovery->outcome == platform::AppendRecovery::Outcome::putBack);
    fuzz_support::check(after.size() == entry->length && bytes.compare(0, after.size(), after) == 0);
  } else {
    fuzz_support::check(!recovery || recovery->outcome == platform::AppendRecovery::Outcome::leftAlone);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  const std::string path = fuzz_support::writeInput(data, size, "journal");
  const std::optional<platform::AppendJournalEntry> entry = platform::readAppendJournal(path);
  if (entry) {
    fuzz_support::check(entry->begins.size() <= 64);
    const std::string again = fuzz_support::workDirectory() + "/again";
    fuzz_support::check(platform::writeAppendJournal(again, *entry));
    const std::optional<platform::AppendJournalEntry> read = platform::readAppendJournal(again);
    fuzz_support::check(read && sameEntry(*entry, *read));
  }

  // The file appended to as the journal begins it, with its identity not
  // that of the journal unless by chance.
  const std::string bytes = head + (entry ? entry->begins : std::string("tail"));
  recover(bytes, input, entry);
  if (!entry)
    return 0;

  // The entry made to name the file: its identity and, where the file
  // reaches the recorded length, the bytes before the append point.
  const std::string file = fuzz_support::workDirectory() + "/f.err";
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  fuzz_support::check(fd >= 0);
  platform::AppendJournalEntry named = *entry;
  struct stat status {};
  fuzz_support::check(::fstat(fd, &status) == 0);
  named.device = static_cast<std::uint64_t>(status.st_dev);
  named.inode = static_cast<std::uint64_t>(status.st_ino);
  if (named.length <= bytes.size()) {
    const std::optional<platform::AppendJournalEntry> described =
        platform::describeAppend(fd, named.length, 0, "");
    fuzz_support::check(described.has_value());
    named.before = described->before;
  }
  ::close(fd);
  const std::string journal = fuzz_support::workDirectory() + "/named";
  fuzz_support::check(platform::writeAppendJournal(journal, named));
  // The file is what the journal covers when it reaches past the recorded
  // length, by no more than the append, with the bytes the append began with.
  const bool covered =
      named.length < bytes.size() && bytes.size() - named.length <= named.appending &&
      bytes.compare(named.length, named.begins.size(), named.begins, 0, bytes.size() - named.length) == 0;
  recover(bytes, fileBytes(journal), named, covered);
  return 0;
}
