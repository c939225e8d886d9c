// Test helpers for files appended to under a journal: a descriptor closed at
// the end of its scope, bytes that differ from block to block, the names in a
// directory, and a text as a regular expression of its own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace test_support {

// A descriptor of a file, closed at the end of the scope.
class OpenFile {
public:
  explicit OpenFile(const std::string &path, int flags = O_RDWR)
      : m_fd(::open(path.c_str(), flags | O_CLOEXEC)) {}
  ~OpenFile() {
    if (m_fd >= 0)
      ::close(m_fd);
  }
  OpenFile(const OpenFile &) = delete;
  OpenFile &operator=(const OpenFile &) = delete;

  int fd() const { return m_fd; }

private:
  int m_fd;
};

// Bytes that differ from block to block, so that a block in the wrong place
// shows.
inline std::string varied(std::size_t count, unsigned seed) {
  std::string bytes(count, '\0');
  std::uint32_t state = seed;
  for (char &byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}

// The names in the directory, sorted.
inline std::vector<std::string> listing(const std::string &directory) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The text as a regular expression that matches it alone.
inline std::string literally(const std::string &text) {
  std::string pattern;
  for (const char c : text) {
    if (std::strchr("\\^$.|?*+()[]{}", c))
      pattern += '\\';
    pattern += c;
  }
  return pattern;
}

} // namespace test_support
