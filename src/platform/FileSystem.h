// What the file system answers: names, tests on files and the current and
// program directories. Every path here is a name in the platform's own form.
#pragma once

namespace platform {

// Whether the file system treats names that differ only in ASCII letter case
// as one file. Linux names are case-sensitive.
#if defined(_WIN32)
inline constexpr bool fileNamesIgnoreCase = true;
#else
inline constexpr bool fileNamesIgnoreCase = false;
#endif

} // namespace platform
