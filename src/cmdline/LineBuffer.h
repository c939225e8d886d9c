// Reading option words from the lines of an rc, settings or configuration
// file.
#pragma once

#include "cmdline/ConfigFile.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// The current line of a word file and the position in it. Lines that begin
// with "*" are comments; with the expand flag "$" variables are replaced.
// Words are separated by white space; single or double quotes may enclose
// parts of a word, white space included.
class C_LineBuffer {
public:
  C_LineBuffer() = default;

  // The next character (0 to 255) of the file's text, refilling the line when
  // it is used up; -1 at the end of the file.
  int nextChar(std::FILE *file, bool expand);
  // The first character that is not white space, or -1.
  int skipWhiteSpace(std::FILE *file, bool expand);
  // The next word; nothing at the end of the file. A word of empty quotes
  // ("" or '') is the empty word.
  std::optional<std::string> readWord(std::FILE *file, bool expand);

private:
  // Appends the characters up to the closing quote or the end of the line;
  // false when the file ended first.
  bool readQuoted(std::FILE *file, int quote, std::string &word, bool expand);

  std::array<char, ConfigLineSize> m_line{};
  std::int32_t m_position = 0;
  std::int32_t m_length = 0;
};

// White space between words: blank, tab, newline, vertical tab, form feed and
// carriage return. Bytes above 0x7F are never white space.
bool isWordSpace(int c);
