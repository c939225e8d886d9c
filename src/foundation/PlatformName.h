// Names on their way between the system and the platform. Internal names are
// handed to the platform in its form, and the platform's answers are taken
// back into the internal form. Both pass the bytes unchanged for now: no
// encoding conversion is applied to names yet.
#pragma once

#include <string>

inline std::string nameForPlatform(const std::string &internalName) { return internalName; }
inline std::string nameFromPlatform(const std::string &platformName) { return platformName; }
