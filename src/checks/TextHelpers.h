// Small text helpers of the checks.
#pragma once

#include <string>

// A copy with the ASCII capitals A to Z lowered; every other byte, those of
// multi-byte characters included, stays as it is.
std::string toLowerCopy(const std::string &text);
