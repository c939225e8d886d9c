// Test helpers: a scratch directory tree, a temporary current directory and
// temporary environment variables, each restored when it goes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

namespace test_support {

// Every byte of a file; empty when it cannot be read.
inline std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A new empty directory under the system's temporary directory, removed with
// everything in it at the end. Its path has no links in it.
class ScratchDirectory {
public:
  ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyr-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      throw std::runtime_error("cannot create a scratch directory");
    m_path = std::filesystem::canonical(pattern).string();
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchDirectory(const ScratchDirectory &) = delete;
  ScratchDirectory &operator=(const ScratchDirectory &) = delete;

  const std::string &path() const { return m_path; }
  std::string operator/(const std::string &relative) const { return m_path + "/" + relative; }

  // Creates a directory (with its parents) below the scratch directory.
  std::string makeDirectory(const std::string &relative) const {
    std::filesystem::create_directories(*this / relative);
    return *this / relative;
  }
  // Writes a file below the scratch directory with exactly these bytes.
  std::string writeFile(const std::string &relative, const std::string &bytes = "") const {
    std::ofstream(*this / relative, std::ios::binary) << bytes;
    return *this / relative;
  }

private:
  std::string m_path;
};

// Makes a directory the current one until the end of the scope.
class CurrentDirectory {
public:
  explicit CurrentDirectory(const std::string &path) : m_saved(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~CurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_saved, ignored);
  }
  CurrentDirectory(const CurrentDirectory &) = delete;
  CurrentDirectory &operator=(const CurrentDirectory &) = delete;

private:
  std::filesystem::path m_saved;
};

// Sets (or, given nothing, unsets) an environment variable until the end of
// the scope.
class EnvironmentVariable {
public:
  EnvironmentVariable(std::string name, const std::optional<std::string> &value) : m_name(std::move(name)) {
    if (const char *old = std::getenv(m_name.c_str()))
      m_saved = old;
    set(value);
  }
  ~EnvironmentVariable() { set(m_saved); }
  EnvironmentVariable(const EnvironmentVariable &) = delete;
  EnvironmentVariable &operator=(const EnvironmentVariable &) = delete;

  void set(const std::optional<std::string> &value) const {
    if (value)
      setenv(m_name.c_str(), value->c_str(), 1);
    else
      unsetenv(m_name.c_str());
  }

private:
  std::string m_name;
  std::optional<std::string> m_saved;
};

} // namespace test_support
