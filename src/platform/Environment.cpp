#include "platform/Environment.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

std::optional<std::string> environmentValue(const std::string &name) {
  const char *value = std::getenv(name.c_str());
  if (!value)
    return std::nullopt;
  return std::string(value);
}

long processId() { return static_cast<long>(getpid()); }

} // namespace platform
