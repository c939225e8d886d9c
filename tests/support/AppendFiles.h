// Test helpers for files appended to under a journal: a descriptor closed at
// the end of its scope, bytes that differ from block to block, the names in a
// directory, a text as a regular expression of its own, and a small file
// system that runs out of room, and a file that takes what room is left.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>
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

// A small file system of its own (tmpfs) with a bounded number of files,
// mounted at the directory for the scope: one that runs out of inodes. Only
// root can mount it; mounted() tells whether it is.
class SmallFileSystem {
public:
  SmallFileSystem(std::string path, int files) : m_path(std::move(path)) {
    m_mounted =
        ::geteuid() == 0 && std::system(("mount -t tmpfs -o size=4m,nr_inodes=" + std::to_string(files) +
                                         " lyrsa-test '" + m_path + "' 2>/dev/null")
                                            .c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (m_mounted)
      std::system(("umount '" + m_path + "'").c_str());
  }
  SmallFileSystem(const SmallFileSystem &) = delete;
  SmallFileSystem &operator=(const SmallFileSystem &) = delete;

  bool mounted() const { return m_mounted; }
  const std::string &path() const { return m_path; }

private:
  std::string m_path;
  bool m_mounted = false;
};

// Makes a file at the path that takes every block left on its file system:
// after it, no byte more can be written there.
inline void fillFileSystem(const std::string &path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const std::string chunk(1 << 16, '\0');
  for (std::size_t size = chunk.size(); fd >= 0 && size > 0;)
    if (::write(fd, chunk.data(), size) <= 0)
      size /= 2;
  if (fd >= 0)
    ::close(fd);
}

} // namespace test_support
