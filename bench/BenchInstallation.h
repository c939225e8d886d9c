// Shared set-up for the benchmarks: a temporary directory that serves as the
// installation and the temporary directory of product "lyr", in a language of
// the benchmark's choice; removed with everything in it at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace bench_support {

class BenchInstallation {
public:
  // lang is the value of LANG, which decides the product's encoding.
  explicit BenchInstallation(const char *lang) {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyr-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      throw std::runtime_error("cannot create a directory for the benchmark");
    m_directory = pattern;
    setenv("LYRBIN", m_directory.c_str(), 1);
    setenv("LYRTEMPFILES", m_directory.c_str(), 1);
    setenv("LANG", lang, 1);
  }
  ~BenchInstallation() {
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
  }
  BenchInstallation(const BenchInstallation &) = delete;
  BenchInstallation &operator=(const BenchInstallation &) = delete;

  const std::string &directory() const { return m_directory; }

private:
  std::string m_directory;
};

} // namespace bench_support
