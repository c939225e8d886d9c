// lyrsa_errcount <product> <error file>...: reads error files back with the
// program's own reader, under the product's installation, and prints for each
// its name, the number of its messages and the number of its suppression
// records. A missing file has none of either. A file that cannot be read
// whole prints "unreadable" with the reason in brackets (a directory, no
// regular file, no permission, a file too short for its version word, one
// cut short inside a record, a damaged record, a run that was cut short
// while writing it) and makes the exit code 1; nothing goes to standard
// error for it. Each file is read under a shared lock, so that a run that
// is appending to it has finished first. A journal beside the file tells of
// a run that ended before it finished: where the next run would take its
// records back, the count says how many of them are that run's. Without the product's installation
// variable, which the reader needs for the names in the files, nothing is
// read: the variable is named and the exit code is 2. scripts/demo counts
// with it what a run appended to each error file.
#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "cmdline/ProductEnvironment.h"
#include "platform/AppendProtocol.h"
#include "platform/BinaryFile.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/TempFile.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/ErrorFileInput.h"
#include "resultfiles/RecordExceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

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

struct Counts {
  std::ptrdiff_t messages = 0;
  std::ptrdiff_t suppressions = 0;
};

// Why a file that opened does not read back whole, from what ended the
// reading (called in its handler).
std::string readingFailure() {
  try {
    throw;
  } catch (const R_ReadingException &error) {
    switch (error.errorNumber()) {
    case ENODATA:
      return "cut short inside a record";
    case EBADMSG:
      return "a damaged record";
    default:
      return std::strerror(error.errorNumber());
    }
  } catch (const M_BadErrorFileVersion &error) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(error.version()));
    return std::string("an unknown version word ") + hex;
  } catch (const M_BadInfoTypeException &) {
    return "a record or parameter of an unknown kind";
  } catch (const M_HasListParameterException &) {
    return "a format-1 message with list parameters";
  } catch (const M_BadFileOpenException &error) {
    return error.error() != 0 ? std::strerror(error.error()) : "it cannot be opened";
  } catch (const std::exception &error) {
    return error.what();
  }
}

// The records of the error file at the path; nothing when it does not read
// back whole, with why not in why.
std::optional<Counts> countRecords(const std::string &path, std::string &why) {
  try {
    const U_RefPtr<M_InputTamsel> input = M_InputTamsel::readPath(path);
    return Counts{std::distance(input->diagnosticsBegin(), input->diagnosticsEnd()),
                  std::distance(input->suppressionRecordsBegin(), input->suppressionRecordsEnd())};
  } catch (...) {
    why = readingFailure();
  }
  return std::nullopt;
}

// The records of the first bytes of the file read under the lock, read from a
// copy of them.
std::optional<Counts> countRecordsBefore(const platform::FileReadLock &file, std::uint64_t length) {
  const std::optional<std::string> copy = platform::createTempFile("", "lyrsa-errcount-");
  if (!copy)
    return std::nullopt;
  std::vector<char> bytes(static_cast<std::size_t>(length));
  std::optional<Counts> counts;
  if (file.readFromStart(bytes.data(), bytes.size()) == static_cast<long>(bytes.size()) &&
      std::ofstream(*copy, std::ios::binary)
          .write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    std::string why;
    counts = countRecords(*copy, why);
  }
  platform::removeFile(*copy);
  return counts;
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
  // A journal of a run that did not finish, which the next run acts on.
  const std::string journal = platform::journalOfOpenFile(path, lock.descriptor());
  const std::optional<platform::AppendRecovery> unfinished =
      journal.empty() ? std::nullopt : platform::inspectAppend(journal, lock.descriptor());
  const bool takenBack = unfinished && unfinished->outcome == platform::AppendRecovery::Outcome::putBack;
  std::string why;
  const std::optional<Counts> counts = countRecords(path, why);
  if (!counts) {
    if (takenBack)
      std::printf(
          "%s: unreadable (cut short by a run that ended while writing it; the next run puts it back)\n",
          path);
    else
      std::printf("%s: unreadable (%s)\n", path, why.c_str());
    return false;
  }
  std::printf("%s: %td messages, %td suppression records", path, counts->messages, counts->suppressions);
  const std::optional<Counts> before =
      takenBack ? countRecordsBefore(lock, unfinished->length) : std::nullopt;
  if (before)
    std::printf(" (%td messages and %td suppression records of them are from a run that did not finish; "
                "the next run takes them back)",
                counts->messages - before->messages, counts->suppressions - before->suppressions);
  std::printf("\n");
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
