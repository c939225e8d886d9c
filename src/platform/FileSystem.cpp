#include "platform/FileSystem.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::optional<std::string> fullPath(const std::string &path) {
  std::string absolute;
  if (!path.empty() && path[0] == '/') {
    absolute = path;
  } else {
    std::optional<std::string> current = currentDirectory();
    if (!current)
      return std::nullopt;
    absolute = *current + "/" + path;
  }
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= absolute.size()) {
    std::size_t end = absolute.find('/', at);
    if (end == std::string::npos)
      end = absolute.size();
    const std::string part = absolute.substr(at, end - at);
    if (part == "..") {
      if (!parts.empty())
        parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::string result;
  for (const std::string &part : parts)
    result += "/" + part;
  return result.empty() ? std::string("/") : result;
}

std::optional<std::string> longPathName(const std::string &path) {
  if (!canAccess(path, Access::exists))
    return std::nullopt;
  return path;
}

std::optional<std::string> currentDirectory() {
  std::vector<char> buffer(256);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()))
      return std::string(buffer.data());
    if (errno != ERANGE)
      return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> programFileName() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0)
      return std::nullopt;
    if (static_cast<std::size_t>(length) < buffer.size())
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    buffer.resize(buffer.size() * 2);
  }
}

bool canAccess(const std::string &path, Access mode) {
  return access(path.c_str(), mode == Access::readable ? R_OK : F_OK) == 0;
}

FileKind fileKind(const std::string &path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0)
    return FileKind::none;
  if (S_ISDIR(status.st_mode))
    return FileKind::directory;
  if (S_ISREG(status.st_mode))
    return FileKind::regular;
  return FileKind::other;
}

bool removeFile(const std::string &path) { return unlink(path.c_str()) == 0; }

} // namespace platform
