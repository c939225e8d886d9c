// The root of the system's exceptions and its two direct kinds.
#pragma once

#include <exception>
#include <ostream>
#include <string>

class U_Exception : public std::exception {
public:
  U_Exception() = default;
  U_Exception(const U_Exception &) = default;
  ~U_Exception() override = default;
  const char *what() const noexcept override;
};

// An error the user is to read. Every U_UserException and every class derived
// from it share one process-wide message: each constructor but the copy
// constructor overwrites it, and what() returns it unless a class overrides it.
class U_UserException : public U_Exception {
public:
  U_UserException();
  explicit U_UserException(const std::string &message);
  U_UserException(const U_UserException &other);
  ~U_UserException() override = default;
  const char *what() const noexcept override;
  virtual std::ostream &print(std::ostream &out) const;

  // The shared message, for the few places that read it directly.
  static const std::string &sharedMessage();
};

// Thrown by the throwing form of a failed consistency check.
class U_AssertException : public U_Exception {
public:
  U_AssertException() = default;
  U_AssertException(const U_AssertException &) = default;
  ~U_AssertException() override = default;
};
