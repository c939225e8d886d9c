// Bounds that keep the rendering of any format string within reach: format
// strings come from users (option "format"), so no text may exhaust the
// stack or the memory.
#pragma once

#include <cstddef>
#include <string>

// The deepest nesting of repeats (in their counts) that the reader accepts and
// of conditionals that evaluation accepts.
inline constexpr int FM_nestingLimit = 1000;

// The most characters that one repeat or one caret line gives.
inline constexpr std::size_t FM_maxRunLength = 65536;

// The most bytes that evaluation produces in one call (the part of a
// conditional that is not taken included) and the longest wrapped result.
inline constexpr std::size_t FM_maxResultLength = std::size_t(1) << 24;

// The text of the error for a result that would be longer.
inline std::string FM_resultTooLongText() {
  return "Result longer than " + std::to_string(FM_maxResultLength) + " bytes";
}
