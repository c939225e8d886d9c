#include "foundation/Exception.h"

namespace {
std::string &userMessage() {
  static std::string message;
  return message;
}
} // namespace

const char *U_Exception::what() const noexcept { return "don't know cause"; }

U_UserException::U_UserException() { userMessage() = "UserException: don't know cause"; }

U_UserException::U_UserException(const std::string &message) { userMessage() = message; }

U_UserException::U_UserException(const U_UserException &other) : U_Exception(other) {}

const char *U_UserException::what() const noexcept { return userMessage().c_str(); }

std::ostream &U_UserException::print(std::ostream &out) const { return out << what(); }

const std::string &U_UserException::sharedMessage() { return userMessage(); }
