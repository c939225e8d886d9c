// lyrsa_errcount <product> <error file>...: reads error files back with the
// program's own reader, under the product's installation, and prints for each
// its name, the number of its messages and the number of its suppression
// records. A missing file has none of either. A file that cannot be read
// whole prints "unreadable" and makes the exit code 1: with the reason in
// brackets where the reader gives none (a directory, no regular file, no
// permission, a file too short for its version word, a run that was cut
// short while writing it); a damaged record is explained by the reader on
// standard error. Each file is read under a shared lock, so that a run that
// is appending to it has finished first. Without the product's installation
// variable, which the reader needs for the names in the files, nothing is
// read: the variable is named and the exit code is 2. scripts/demo counts
// with it what a run appended to each error file.
#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "cmdline/ProductEnvironment.h"
#include "platform/AppendJournal.h"
#include "platform/BinaryFile.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "resultfiles/ErrorFileInput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>

namespace {

// Why a file could not be opened and locked for reading.
std::string openingReason(int error) {
  switch (error) {
  case EISDIR:
    return "a directory";
  case EINVAL:
    return "not a regular file";
  default:
    return std::strerror(error);
  }
}

// Counts one file; false when it cannot be read whole.
bool count(const char *path) {
  platform::FileReadLock lock;
  const bool locked = lock.acquire(path, [path] {
    std::fprintf(stderr, "lyrsa_errcount: waiting for the lock on '%s', which another process holds\n", path);
  });
  if (!locked) {
    if (errno == ENOENT) {
      std::printf("%s: 0 messages, 0 suppression records (no file)\n", path);
      return true;
    }
    std::printf("%s: unreadable (%s)\n", path, openingReason(errno).c_str());
    return false;
  }
  // The reader takes a file shorter than its version word for one without
  // records; only an empty one is that.
  const std::optional<std::uint64_t> size = platform::regularFileSize(path);
  if (size && *size > 0 && *size < 4) {
    std::printf("%s: unreadable (%llu bytes, too short for the version word of an error file)\n", path,
                static_cast<unsigned long long>(*size));
    return false;
  }
  const U_RefPtr<M_InputTamsel> input = M_InputTamsel::openPath(path);
  if (!input.isSet()) {
    if (platform::fileKind(platform::appendJournalPath(path)) != platform::FileKind::none)
      std::printf(
          "%s: unreadable (cut short by a run that ended while writing it; the next run puts it back)\n",
          path);
    else
      std::printf("%s: unreadable\n", path);
    return false;
  }
  std::printf("%s: %td messages, %td suppression records\n", path,
              std::distance(input->diagnosticsBegin(), input->diagnosticsEnd()),
              std::distance(input->suppressionRecordsBegin(), input->suppressionRecordsEnd()));
  return true;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fputs("usage: lyrsa_errcount <product> <error file>...\n", stderr);
    return 2;
  }
  if (lookupProduct(argv[1]) < 0) {
    std::fprintf(stderr, "lyrsa_errcount: unknown product '%s'\n", argv[1]);
    return 2;
  }
  // The reader takes its options from the current argument set: the
  // product's, without words of the command line.
  const C_CmdArgs args(argv[1], 0, nullptr);
  if (!hasProductBinDir(args.product()) || productBinDir(args.product()).empty()) {
    std::fprintf(stderr, "lyrsa_errcount: %s environment variable not found\n",
                 productBinVariableName(args.product()).c_str());
    return 2;
  }
  C_setCurrentCmdArgs(args);
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    // Each line whole before the reader says anything on standard error.
    std::fflush(stdout);
    if (!count(argv[i]))
      status = 1;
  }
  return status;
}
