#include "resultfiles/RecordExceptions.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace {

std::string &eofText() {
  static std::string text;
  return text;
}

std::string &readText() {
  static std::string text;
  return text;
}

// The error number is the one errno holds now; the text is that of the
// number the thrower hands over (the same in practice).
std::string errorPart(int errorNumber) {
  return "errno (" + std::to_string(errno) + "): " + std::strerror(errorNumber);
}

} // namespace

R_WritingException::R_WritingException() : U_UserException("Problems writing binary file.") {}

const char *R_WritingException::what() const noexcept { return "Problems writing binary file."; }

R_ReadingException::R_ReadingException(int errorNumber)
    : U_UserException("Problems reading binary file."), m_errorNumber(errorNumber) {}

const char *R_ReadingException::what() const noexcept { return "Problems reading binary file."; }

R_ReadingEOFException::R_ReadingEOFException(int errorNumber) : R_ReadingException(errorNumber) {
  eofText() = "Problems reading binary file at eof. " + errorPart(errorNumber);
}

const char *R_ReadingEOFException::what() const noexcept { return eofText().c_str(); }

R_ReadingReadException::R_ReadingReadException(int errorNumber) : R_ReadingException(errorNumber) {
  readText() = "Problems reading binary file. " + errorPart(errorNumber);
}

const char *R_ReadingReadException::what() const noexcept { return readText().c_str(); }
