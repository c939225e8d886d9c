#include "platform/TempFile.h"

#include "platform/Environment.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace platform {

std::optional<std::string> createTempFile(const std::string &directory, const std::string &prefix) {
  std::string pattern = directory.empty() ? defaultTempDirectory() : directory;
  if (pattern.back() != '/')
    pattern += '/';
  pattern += prefix + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0)
    return std::nullopt;
  close(descriptor);
  return std::string(name.data());
}

std::string defaultTempDirectory() {
  for (const char *variable : {"TMP", "TMPDIR"}) {
    std::optional<std::string> value = environmentValue(variable);
    if (value && !value->empty() && fileKind(*value) == FileKind::directory)
      return *value;
  }
  return systemTempDirectory();
}

std::string systemTempDirectory() { return "/tmp"; }

} // namespace platform
