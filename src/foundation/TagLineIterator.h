// Reading the record lines of a text file: a line that begins with "<" and
// holds a ">" is a record; its tag is the text between the "<" and the first
// ">". Every other line is passed over.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string>

class itranstreambuf;

// One record: its tag and the whole line without its line end, both in the
// internal encoding.
struct TagLine {
  std::string m_tag;
  std::string m_line;
};

// An input iterator over the records of a file in the product's encoding. An
// iterator owns its file; the end iterator to compare against is a separate,
// default-constructed one.
class TagLineIterator {
public:
  // An end iterator.
  TagLineIterator();
  TagLineIterator(const TagLineIterator &) = delete;
  TagLineIterator &operator=(const TagLineIterator &) = delete;
  // Closes the file and removes a temporary copy.
  ~TagLineIterator();

  // Opens the file at path (a name in the internal encoding) and moves to its
  // first record. False, with the iterator left as it was, when the file
  // cannot be opened; true otherwise, also when the file holds no record
  // (the iterator is then at its end).
  bool open(const std::string &path);
  // open of the record file that metricFilePath gives for the source file in
  // the directory (by default the output directory of the current argument
  // set). It lives with metricFilePath, in the result-files library.
  bool openRecordFile(const std::string &sourceFile, const std::string &directory);
  bool openRecordFile(const std::string &sourceFile);

  // Moves to the next record, or to the end. The last line counts also
  // without a line end. Raises U_UserException when the file cannot be read.
  void advance();
  TagLineIterator &operator++() {
    advance();
    return *this;
  }

  bool atEnd() const { return m_atEnd; }
  // The number of the current record's line in the file, counting every line
  // (records or not) from 1; 0 before the first record.
  std::size_t lineNumber() const { return m_lineNumber; }

  // Two iterators differ unless they are the same object or both at the end.
  friend bool operator!=(const TagLineIterator &a, const TagLineIterator &b) {
    return &a != &b && !(a.m_atEnd && b.m_atEnd);
  }
  friend bool operator==(const TagLineIterator &a, const TagLineIterator &b) { return !(a != b); }

  // The current record; it keeps the last record once the end is reached.
  TagLine m_current;

private:
  // Declared in this order so that the stream goes before the buffer it reads.
  std::unique_ptr<itranstreambuf> m_buffer;
  std::unique_ptr<std::istream> m_stream;
  std::string m_path;
  std::string m_scratch;
  std::size_t m_lineNumber = 0;
  bool m_atEnd = true;
};
