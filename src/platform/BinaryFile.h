// Binary files as C streams: opening, the size of an open file, cutting a file
// back, files put back when the process dies, and a write failure that tests
// can bring about on purpose.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// Opens a file for reading: its descriptor, or -1 with errno telling why.
// Every file the system reads opens through here. Only a regular file opens:
// a directory (EISDIR), a FIFO, a device or a socket (EINVAL) is refused at
// once, never waited on as a FIFO without a writer would be.
int openForReading(const std::string &path);

// Opens a file as a C stream with the mode given ("rb", "wb", "ab", ...; the
// bytes pass unchanged). Reading modes open what openForReading opens; in
// the others a directory cannot be opened, and writing or appending never
// waits: a FIFO without a reader is refused at once (ENXIO). Null when the file cannot be
// opened (errno tells why); errno is left as it was on success. While a
// write fault is set, files opened for writing or appending carry it.
std::FILE *openBinaryFile(const std::string &path, const char *mode);

// The size of the regular file of that name, as the file system has it (bytes
// still in the buffer of a stream open on it not counted); nothing for a name
// that is not a regular file (a device, a pipe, a missing file).
std::optional<std::uint64_t> regularFileSize(const std::string &path);

// Cuts the regular file of that name to the length given. False, and nothing
// done, when the name is not a regular file or cannot be cut.
bool truncateFile(const std::string &path, std::uint64_t length);

// Files being written that a fatal end of the process puts back: a file
// that the writing made is removed, another is cut back to the length it had.
// A handful can be guarded at once.
//
// Guards the file; the id that releases the guard, or -1 when no guard is
// free (the file then stays as the dying process leaves it).
int guardFileLength(const std::string &path, std::uint64_t length, bool madeByWriting);
// Ends the guard of that id; nothing for -1.
void releaseFileGuard(int id);
// Puts every guarded file back and ends the guards. Safe inside a signal
// handler: no heap, no streams, only system calls.
void restoreGuardedFiles();

// A failing disk, for tests of the writers: the writes of a stream reach its
// file up to a number of bytes and then fail with ENOSPC, as on a full disk;
// with closeFails, closing the stream fails with EIO once everything is
// written.
struct WriteFault {
  std::uint64_t bytesBeforeFailure = UINT64_MAX;
  bool closeFails = false;
};

// Files opened for writing or appending from now on carry the fault; nothing
// (the default) opens them plainly again. Only tests call it.
void setWriteFault(const std::optional<WriteFault> &fault);

} // namespace platform
