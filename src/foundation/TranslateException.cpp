#include "foundation/TranslateException.h"

#include "foundation/Codecs.h"
#include "foundation/CountedString.h"

namespace {
// The text naming the file that could not be opened, shared by every
// QL_TranslateFileOpenException.
std::string &openFailureText() {
  static std::string text;
  return text;
}

void setOpenFailureName(const std::string &name) { openFailureText() = "Cannot open file: '" + name + "'."; }

// The name with every byte that is no printable ASCII written as \xNN.
std::string shownName(const std::string &name) {
  static const char digits[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : name) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b <= 0x7E) {
      shown += c;
    } else {
      shown += "\\x";
      shown += digits[b >> 4];
      shown += digits[b & 0x0F];
    }
  }
  return shown;
}

// How a user knows the encoding of a kind.
std::string encodingName(QL_EncodingKind kind) {
  switch (kind) {
  case eceEUC:
    return QL_eucCodecName;
  case eceSJIS:
    return QL_sjisCodecName;
  case eceUTF:
    return QL_utf8CodecName;
  case eceOldJIS:
  case eceNewJIS:
  case eceNECJIS:
    return "JIS";
  default:
    return QL_encodingKindName(kind);
  }
}
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

QL_InvalidNameException::QL_InvalidNameException(const std::string &name, QL_EncodingKind kind)
    : QL_TranslateException("\nERROR: File name not valid in the product's encoding (" + encodingName(kind) +
                            "): '" + shownName(name) + "'\n\n") {}
