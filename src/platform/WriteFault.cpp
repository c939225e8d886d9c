#include "platform/WriteFault.h"

#include "platform/Environment.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

namespace platform {

namespace {

// What the put-back faults of the fault in force are, where a signal handler
// can read them.
volatile std::sig_atomic_t cutFails = 0;
volatile std::sig_atomic_t cutSyncFails = 0;
volatile std::sig_atomic_t directorySyncFails = 0;
volatile std::sig_atomic_t stopAfterCut = 0;
volatile std::sig_atomic_t noUnnamedFiles = 0;
volatile std::sig_atomic_t journalSyncFails = 0;
volatile std::sig_atomic_t journalCloseFails = 0;

void notePutBackFaults(const std::optional<WriteFault> &fault) {
  cutFails = fault && fault->cutFails;
  cutSyncFails = fault && fault->cutSyncFails;
  directorySyncFails = fault && fault->directorySyncFails;
  stopAfterCut = fault && fault->stopAfterCut;
  noUnnamedFiles = fault && fault->noUnnamedFiles;
  journalSyncFails = fault && fault->journalSyncFails;
  journalCloseFails = fault && fault->journalCloseFails;
}

std::optional<WriteFault> &faultInForce() {
  static std::optional<WriteFault> fault = [] {
    std::optional<WriteFault> read = writeFaultFromEnvironment();
    notePutBackFaults(read);
    return read;
  }();
  return fault;
}

// A stream that carries a write fault writes straight to its descriptor and
// counts what reached the file.
struct FaultCookie {
  int fd = -1;
  std::uint64_t written = 0;
  WriteFault fault;
};

ssize_t writeWithFault(void *cookie, const char *buffer, std::size_t size) {
  FaultCookie &file = *static_cast<FaultCookie *>(cookie);
  const std::uint64_t allowed =
      file.fault.bytesBeforeFailure - std::min(file.written, file.fault.bytesBeforeFailure);
  if (allowed == 0 && size > 0) {
    errno = ENOSPC;
    return -1;
  }
  // Part of a write may land before the disk is full; the stream then sees a
  // short write, which is an error of the stream.
  std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, allowed));
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(file.fd, buffer + done, count - done);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    done += static_cast<std::size_t>(n);
  }
  file.written += done;
  if (done < size)
    errno = ENOSPC;
  return static_cast<ssize_t>(done);
}

int closeWithFault(void *cookie) {
  std::unique_ptr<FaultCookie> file(static_cast<FaultCookie *>(cookie));
  const int result = ::close(file->fd);
  if (file->fault.closeFails) {
    errno = EIO;
    return -1;
  }
  return result;
}

#ifdef LYR_TEST_HOOKS
// Reads the words of the variable into the fault: false for a word of
// another kind.
bool readFaultWords(std::string_view words, WriteFault &fault) {
  while (!words.empty()) {
    const std::size_t comma = words.find(',');
    const std::string_view word = words.substr(0, comma);
    words = comma == std::string_view::npos ? std::string_view() : words.substr(comma + 1);
    // A comma with no word after it is a list cut short.
    if (comma != std::string_view::npos && words.empty())
      return false;
    const std::size_t equals = word.find('=');
    const std::string_view name = word.substr(0, equals);
    const bool hasNumber = equals != std::string_view::npos;
    std::uint64_t number = 0;
    if (hasNumber) {
      const std::string_view digits = word.substr(equals + 1);
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      if (error != std::errc() || digits.empty() || end != digits.data() + digits.size())
        return false;
    }
    if (name == "fail-after" && hasNumber)
      fault.bytesBeforeFailure = number;
    else if (name == "stop-after" && hasNumber)
      fault.bytesBeforeStop = number;
    else if (name == "pause-after" && hasNumber)
      fault.bytesBeforePause = number;
    else if (hasNumber)
      return false;
    else if (name == "close-fails")
      fault.closeFails = true;
    else if (name == "cut-fails")
      fault.cutFails = true;
    else if (name == "cut-sync-fails")
      fault.cutSyncFails = true;
    else if (name == "directory-sync-fails")
      fault.directorySyncFails = true;
    else if (name == "stop-after-cut")
      fault.stopAfterCut = true;
    else if (name == "pause-before-write")
      fault.pauseBeforeWrite = true;
    else if (name == "pause-after-write")
      fault.pauseAfterWrite = true;
    else if (name == "pause-at-exit")
      fault.pauseAtExit = true;
    else if (name == "abort-at-exit")
      fault.abortAtExit = true;
    else if (name == "no-unnamed-files")
      fault.noUnnamedFiles = true;
    else if (name == "journal-sync-fails")
      fault.journalSyncFails = true;
    else if (name == "journal-close-fails")
      fault.journalCloseFails = true;
    else if (name == "making-lock-fails")
      fault.makingLockFails = true;
    else if (name == "making-unlink-fails")
      fault.makingUnlinkFails = true;
    else
      return false;
  }
  return true;
}
#endif

} // namespace

const std::optional<WriteFault> &currentWriteFault() { return faultInForce(); }

void setWriteFault(const std::optional<WriteFault> &fault) {
  faultInForce() = fault;
  notePutBackFaults(fault);
}

int truncateForPutBack(int fd, std::uint64_t length) {
  if (cutFails) {
    errno = EPERM;
    return -1;
  }
  if (::ftruncate(fd, static_cast<off_t>(length)) != 0)
    return -1;
  if (stopAfterCut)
    ::kill(::getpid(), SIGKILL);
  return 0;
}

bool unnamedFilesFailForTest() { return noUnnamedFiles != 0; }

bool syncFailsForTest(FaultedSync sync) {
  switch (sync) {
  case FaultedSync::cut:
    return cutSyncFails != 0;
  case FaultedSync::journalDirectory:
    return directorySyncFails != 0;
  case FaultedSync::journal:
    return journalSyncFails != 0;
  }
  return false;
}

bool journalCloseFailsForTest() { return journalCloseFails != 0; }

bool makingLockFailsForTest() { return faultInForce() && faultInForce()->makingLockFails; }

int unlinkMakingName(const char *name) {
  if (faultInForce() && faultInForce()->makingUnlinkFails) {
    errno = EIO;
    return -1;
  }
  return ::unlink(name);
}

void pauseForTest(PausePoint point) {
  static bool paused[3] = {};
  const std::optional<WriteFault> &fault = faultInForce();
  if (!fault)
    return;
  const bool asked = point == PausePoint::beforeWrite  ? fault->pauseBeforeWrite
                     : point == PausePoint::afterWrite ? fault->pauseAfterWrite
                                                       : fault->pauseAtExit;
  bool &done = paused[static_cast<int>(point)];
  if (asked && !done) {
    done = true;
    ::raise(SIGSTOP);
  }
  if (point == PausePoint::atExit && fault->abortAtExit)
    std::abort();
}

bool writeFaultHookBuiltIn() {
#ifdef LYR_TEST_HOOKS
  return true;
#else
  return false;
#endif
}

std::optional<WriteFault> writeFaultFromEnvironment() {
#ifdef LYR_TEST_HOOKS
  const std::optional<std::string> value = environmentValue("LYRSA_VOKT_TEST_WRITE_FAULT");
  WriteFault fault;
  if (!value || value->empty() || !readFaultWords(*value, fault))
    return std::nullopt;
  return fault;
#else
  return std::nullopt;
#endif
}

std::FILE *openStreamWithFault(int fd, char kind, const WriteFault &fault) {
  auto cookie = std::make_unique<FaultCookie>();
  cookie->fault = fault;
  cookie->fd = fd;
  cookie_io_functions_t functions{};
  functions.write = writeWithFault;
  functions.close = closeWithFault;
  std::FILE *file = fopencookie(cookie.get(), kind == 'a' ? "a" : "w", functions);
  if (!file)
    return nullptr;
  cookie.release();
  return file;
}

} // namespace platform
