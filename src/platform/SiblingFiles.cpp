#include "platform/SiblingFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string directoryPart(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string siblingName(const std::string &path, std::string_view prefix, std::string_view suffix) {
  const std::string directory = directoryPart(path);
  std::string name = directory;
  name.append(prefix);
  name.append(path, directory.size());
  name.append(suffix);
  return name;
}

std::string directoryOf(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<FileIdentity> identityOf(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

bool namesFile(const char *path, const FileIdentity &file) {
  struct stat status {};
  return ::stat(path, &status) == 0 && static_cast<std::uint64_t>(status.st_dev) == file.device &&
         static_cast<std::uint64_t>(status.st_ino) == file.inode;
}

bool namesOpenFile(const std::string &path, int fd) {
  const std::optional<FileIdentity> open = identityOf(fd);
  return open && namesFile(path.c_str(), *open);
}

int syncFileData(int fd) {
  if (::fdatasync(fd) == 0 || errno == EINVAL)
    return 0;
  return errno;
}

int syncDirectoryOf(const std::string &path) {
  const int fd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return errno;
  // A directory's entries are its metadata, which only fsync writes for sure.
  const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return error;
}

} // namespace platform
