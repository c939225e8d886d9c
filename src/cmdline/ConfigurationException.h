// A configuration error: a user error that ends the run with its own exit code
// (10 unless another is given).
#pragma once

#include "foundation/Exception.h"

#include <string>

class C_ConfigurationException : public U_UserException {
public:
  explicit C_ConfigurationException(const std::string &message);
  C_ConfigurationException(int exitCode, const std::string &message);
  C_ConfigurationException(const C_ConfigurationException &) = default;
  ~C_ConfigurationException() override = default;

  virtual int exitCode() const;
  // True only when the constructor was given an exit code.
  virtual bool hasExitCode() const;

private:
  int m_exitCode = 10;
  bool m_hasExitCode = false;
};
