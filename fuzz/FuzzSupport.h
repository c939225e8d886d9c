// Shared set-up for the fuzz targets: a product with an installation
// directory of its own, and a scratch file that holds one input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fuzz_support {

// A private directory under the system's temporary directory for the whole
// fuzzing process; it holds the installation and the input files.
inline const std::string &workDirectory() {
  static const std::string path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyr-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      std::abort();
    return std::filesystem::canonical(pattern).string();
  }();
  return path;
}

// Sets LYRBIN to an empty installation directory under the work directory,
// with LANG as given, once per process.
inline void useInstallation(const char *lang = "C") {
  static const bool done = [lang] {
    const std::string install = workDirectory() + "/install";
    std::filesystem::create_directories(install);
    setenv("LYRBIN", install.c_str(), 1);
    setenv("LANG", lang, 1);
    setenv("TMP", workDirectory().c_str(), 1);
    setenv("LYRTEMPFILES", workDirectory().c_str(), 1);
    return true;
  }();
  (void)done;
}

// Writes the input as the file of that name in the work directory and
// returns its path.
inline std::string writeInput(const std::uint8_t *data, std::size_t size, const std::string &name = "input") {
  const std::string path = workDirectory() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(data),
                                                                static_cast<std::streamsize>(size));
  return path;
}

} // namespace fuzz_support
