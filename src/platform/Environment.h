// The process's environment and identity.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The value of an environment variable; nothing when it is not set (a set but
// empty variable gives the empty text).
std::optional<std::string> environmentValue(const std::string &name);

// The id of the running process.
long processId();

} // namespace platform
