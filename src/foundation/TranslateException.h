// Errors of the text-encoding layer. They are configuration errors, so a
// translation that cannot be done ends the run with exit code 10.
#pragma once

#include "cmdline/ConfigurationException.h"
#include "foundation/EncodingKind.h"

#include <string>

class CountedString;

// Base of the translation errors: a conversion that cannot be done.
class QL_TranslateException : public C_ConfigurationException {
public:
  explicit QL_TranslateException(const std::string &message);
  QL_TranslateException(const QL_TranslateException &) = default;
  ~QL_TranslateException() override = default;
};

// A file that a translation needs cannot be opened. The file name is kept in
// one class-wide string, so the most recently made exception names the file
// for all of them.
class QL_TranslateFileOpenException : public QL_TranslateException {
public:
  explicit QL_TranslateFileOpenException(const std::string &fileName);
  explicit QL_TranslateFileOpenException(const CountedString &fileName);
  QL_TranslateFileOpenException(const QL_TranslateFileOpenException &) = default;
  ~QL_TranslateFileOpenException() override = default;

  // "Cannot open file: '<name>'."
  const char *what() const noexcept override;
};

// An encoding kind that the operation cannot handle.
class QL_InvalidEncodingException : public QL_TranslateException {
public:
  QL_InvalidEncodingException();
  QL_InvalidEncodingException(const QL_InvalidEncodingException &) = default;
  ~QL_InvalidEncodingException() override = default;
};

// A name that the conversion from its encoding into the internal encoding
// would change: bytes that are not valid in that encoding, or characters that
// the internal encoding cannot hold. Its text names it with every byte that
// is no printable ASCII shown as \xNN.
class QL_InvalidNameException : public QL_TranslateException {
public:
  QL_InvalidNameException(const std::string &name, QL_EncodingKind kind);
  QL_InvalidNameException(const QL_InvalidNameException &) = default;
  ~QL_InvalidNameException() override = default;
};
