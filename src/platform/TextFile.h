// Reading text files as the system expects them: a CR LF line end reads as one
// "\n", a lone CR stays a CR. Every text reader, C stream or C++ stream, gets
// this from the one filter here.
#pragma once

#include <cstdio>
#include <istream>
#include <streambuf>
#include <string>
#include <vector>

namespace platform {

// Reads another stream buffer, turning each CR LF pair into "\n". The source
// is not owned. Positions cannot be set on it: text is read front to back.
class TextReadBuffer : public std::streambuf {
public:
  explicit TextReadBuffer(std::streambuf *source);
  TextReadBuffer(const TextReadBuffer &) = delete;
  TextReadBuffer &operator=(const TextReadBuffer &) = delete;

protected:
  int_type underflow() override;

private:
  // Turns each CR LF among the first count characters of the buffer into
  // "\n" (taking the LF from the source when the CR comes last); gives the
  // new count.
  std::size_t joinCrLf(std::size_t count);

  std::streambuf *m_source;
  char m_buffer[4096];
};

// Reads a file descriptor as it is, which it owns and closes. A read error
// ends the input as the end of the file does, and readFailed tells it apart.
// The position can be told, not set: text is read front to back.
class FileReadBuffer : public std::streambuf {
public:
  explicit FileReadBuffer(int fd);
  ~FileReadBuffer() override;
  FileReadBuffer(const FileReadBuffer &) = delete;
  FileReadBuffer &operator=(const FileReadBuffer &) = delete;

  bool isOpen() const { return m_fd >= 0; }
  bool readFailed() const { return m_readFailed; }

protected:
  int_type underflow() override;
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;

private:
  int m_fd;
  std::vector<char> m_buffer;
  off_type m_read = 0; // bytes read from the file so far
  bool m_readFailed = false;
};

// Opens a file as a C stream in text mode. Reading modes ("r", "rt") open
// what openForReading opens, turn CR LF into "\n" as TextReadBuffer does, and
// a read error of the file is the stream's error; other modes open the file
// as openBinaryFile does ("t" dropped), and lines are written as they are
// given. Null when the file cannot be opened (errno tells why); errno is left
// as it was on success.
std::FILE *openTextFile(const std::string &path, const char *mode);

// An input stream over a file read as it is (binary).
class InputFile : public std::istream {
public:
  explicit InputFile(const std::string &path);
  bool is_open() const { return m_file.isOpen(); }

private:
  FileReadBuffer m_file;
};

// An input stream over a file in text mode.
class TextInputFile : public std::istream {
public:
  explicit TextInputFile(const std::string &path);
  bool is_open() const { return m_file.isOpen(); }
  // Whether reading stopped on a read error rather than the end of the file.
  bool readFailed() const { return m_file.readFailed(); }

private:
  FileReadBuffer m_file;
  TextReadBuffer m_text;
};

} // namespace platform
