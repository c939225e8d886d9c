// Configuration errors: user errors that end the run with their own exit code
// (10 unless another is given), and the kinds that the option words raise.
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

// The kinds below keep their message in the object itself, so that an error
// still says what it was about after later errors were made. Every message is
// a newline, the error's text and two newlines.

// A value that the option does not accept.
class C_InvalidArgValueException : public C_ConfigurationException {
public:
  C_InvalidArgValueException(const std::string &optionName, const std::string &value);
  C_InvalidArgValueException(const C_InvalidArgValueException &) = default;
  ~C_InvalidArgValueException() override = default;
  const char *what() const noexcept override;

protected:
  struct ComposedMessage {
    std::string text;
  };
  // For derived kinds that compose a message of their own.
  explicit C_InvalidArgValueException(ComposedMessage message);

private:
  std::string m_message;
};

// An option that needs a value met the end of the words.
class C_ValueExpectedException : public C_ConfigurationException {
public:
  explicit C_ValueExpectedException(const std::string &optionName);
  C_ValueExpectedException(const C_ValueExpectedException &) = default;
  ~C_ValueExpectedException() override = default;
  const char *what() const noexcept override;

private:
  std::string m_message;
};

// An option word that names no option of the product.
class C_InvalidArgException : public C_ConfigurationException {
public:
  explicit C_InvalidArgException(const std::string &word);
  C_InvalidArgException(const C_InvalidArgException &) = default;
  ~C_InvalidArgException() override = default;
  const char *what() const noexcept override;

private:
  std::string m_message;
};

// A settings file that cannot be opened; an invalid value of its option.
class C_InvalidViaException : public C_InvalidArgValueException {
public:
  explicit C_InvalidViaException(const std::string &fileName);
  C_InvalidViaException(const C_InvalidViaException &) = default;
  ~C_InvalidViaException() override = default;
};

// A settings file named while too many settings files are being read, as
// when a file names itself; an invalid value of its option.
class C_ViaNestingException : public C_InvalidArgValueException {
public:
  explicit C_ViaNestingException(const std::string &fileName);
  C_ViaNestingException(const C_ViaNestingException &) = default;
  ~C_ViaNestingException() override = default;
};
