#include "foundation/TempFileName.h"

#include "foundation/FileSystem.h"
#include "foundation/PlatformName.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/TempFile.h"

#include <optional>

std::string makeTempFileName(const std::string &dir) {
  const std::string prefix = "zut" + std::to_string(platform::processId());
  std::optional<std::string> name = platform::createTempFile(nameForPlatform(dir), prefix);
  return name ? nameFromPlatform(*name) : std::string();
}

bool QL_isUsableTempDir(const std::string &dir) {
  if (!QL_exists(dir) || !QL_isDirectory(dir))
    return false;
  const std::string probe = makeTempFileName(dir);
  if (probe.empty())
    return false;
  platform::removeFile(nameForPlatform(probe));
  return true;
}
