// The errors of the binary record layer. Handlers catch the reading errors
// together as R_ReadingException.
#pragma once

#include "foundation/Exception.h"

// A write that did not reach the file whole.
class R_WritingException : public U_UserException {
public:
  R_WritingException();
  R_WritingException(const R_WritingException &) = default;
  ~R_WritingException() override = default;
  // "Problems writing binary file."
  const char *what() const noexcept override;
};

// Base of the reading errors; never thrown itself.
class R_ReadingException : public U_UserException {
public:
  // errorNumber: why the read failed, as an errno (ENODATA: the file ended
  // within what was to be read; EBADMSG: the bytes cannot be what a writer
  // wrote).
  explicit R_ReadingException(int errorNumber = 0);
  R_ReadingException(const R_ReadingException &) = default;
  ~R_ReadingException() override = default;
  // "Problems reading binary file."
  const char *what() const noexcept override;
  int errorNumber() const { return m_errorNumber; }

private:
  int m_errorNumber;
};

// The one-byte look-ahead failed before the end of the file. The text is
// kept in one class-wide string that every new exception of the class
// replaces.
class R_ReadingEOFException : public R_ReadingException {
public:
  // Takes the error number that the failed read left in errno.
  explicit R_ReadingEOFException(int errorNumber);
  R_ReadingEOFException(const R_ReadingEOFException &) = default;
  ~R_ReadingEOFException() override = default;
  // "Problems reading binary file at eof. errno (<errno>): <error text>"
  const char *what() const noexcept override;
};

// Fewer bytes than asked could be read, or the bytes read cannot be what a
// writer wrote. The text is class-wide as for R_ReadingEOFException.
class R_ReadingReadException : public R_ReadingException {
public:
  explicit R_ReadingReadException(int errorNumber);
  R_ReadingReadException(const R_ReadingReadException &) = default;
  ~R_ReadingReadException() override = default;
  // "Problems reading binary file. errno (<errno>): <error text>"
  const char *what() const noexcept override;
};
