// Binary files as C streams: opening a file for reading or writing, never
// waiting on a FIFO, and the size of a file. Files opened for writing carry
// the write fault of tests (WriteFault.h).
#pragma once

#include <cstddef>
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

// The descriptor, opened without waiting (O_NONBLOCK), made to wait on reads
// and writes again; -1 (the descriptor closed, errno telling why) when that
// fails.
int waitOnDescriptor(int fd);

// Closes the descriptor and leaves errno as it was: for the failure that is
// reported after it.
void closeKeepingErrno(int fd);

// Reads up to count bytes from the start of the file open on fd, whatever
// its offset: the number read (fewer at its end), or -1 with errno.
long readFromStart(int fd, void *bytes, std::size_t count);

} // namespace platform
