#include "foundation/TranslateException.h"

#include "foundation/CountedString.h"

namespace {
// The text naming the file that could not be opened, shared by every
// QL_TranslateFileOpenException.
std::string &openFailureText() {
  static std::string text;
  return text;
}

void setOpenFailureName(const std::string &name) { openFailureText() = "Cannot open file: '" + name + "'."; }
} // namespace

QL_TranslateException::QL_TranslateException(const std::string &message)
    : C_ConfigurationException(message) {}

QL_TranslateFileOpenException::QL_TranslateFileOpenException(const std::string &fileName)
    : QL_TranslateException("") {
  setOpenFailureName(fileName);
}

QL_TranslateFileOpenException::QL_TranslateFileOpenException(const CountedString &fileName)
    : QL_TranslateException("") {
  setOpenFailureName(fileName.toStdString());
}

// The text is rebuilt whenever the shared name changes, so a pointer handed
// out here stays valid until the next such exception is made.
const char *QL_TranslateFileOpenException::what() const noexcept { return openFailureText().c_str(); }

QL_InvalidEncodingException::QL_InvalidEncodingException() : QL_TranslateException("InvalidEncoding") {}
