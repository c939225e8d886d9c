// A small shared byte string with copy on write: the text type of the
// character sources and destinations and of the JIS escape texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

// One-pointer handle to a reference-counted body. Copies share the body; the
// first change through a handle whose body is shared gives it a private copy.
// The hash is kept up to date by every change, so that equality and bucket
// lookup need no pass over the bytes.
class CountedString {
public:
  // The empty text.
  CountedString();
  // A copy of a C string; a null pointer stands for the empty text.
  CountedString(const char *text);
  // A copy of the bytes of a standard string.
  explicit CountedString(const std::string &text);
  CountedString(const CountedString &other);
  ~CountedString();

  CountedString &operator=(const CountedString &other);
  // Replaces the text; in place when the body is not shared.
  CountedString &operator=(const char *text);

  // Appends one byte or a whole text (which may be this very handle).
  CountedString &append(char byte);
  CountedString &append(const CountedString &other);
  CountedString &operator+=(char byte) { return append(byte); }
  CountedString &operator+=(const CountedString &other) { return append(other); }

  // The bytes, terminated by a 0 byte.
  const char *text() const;
  std::size_t length() const;
  std::size_t capacity() const;
  std::uint64_t hash() const;
  // Number of handles sharing this handle's body.
  std::uint32_t useCount() const;
  // Index of this text's bucket in a table of n buckets (0 when n is 0).
  std::size_t bucketIndex(std::size_t n) const;

  // Byte-wise comparison as unsigned bytes: negative, 0 or positive.
  int compare(const CountedString &other) const;
  int compare(const char *other) const;

  std::string toStdString() const;

  friend bool operator==(const CountedString &a, const CountedString &b);
  friend bool operator==(const CountedString &a, const char *b) { return a.compare(b) == 0; }
  friend bool operator<(const CountedString &a, const CountedString &b) { return a.compare(b) < 0; }

private:
  struct Body;

  static Body *makeBody(const char *bytes, std::size_t length);
  void release();
  void makeUnshared();
  void grow(std::size_t added);
  void appendBytes(const char *bytes, std::size_t count);
  void assignBytes(const char *bytes, std::size_t count);

  Body *m_body;
};

inline bool operator!=(const CountedString &a, const CountedString &b) { return !(a == b); }

std::ostream &operator<<(std::ostream &out, const CountedString &text);
