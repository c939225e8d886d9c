#include "foundation/PlatformName.h"

#include "cmdline/Product.h"
#include "foundation/Language.h"
#include "foundation/TextConversion.h"
#include "foundation/TranslateException.h"

namespace {

bool &namesUnconverted() {
  static bool unconverted = false;
  return unconverted;
}

// Printable ASCII reads the same in every language encoding, so such a name
// needs neither the language nor a conversion.
bool isPrintableAscii(const std::string &name) {
  for (const char c : name) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20 || b > 0x7E)
      return false;
  }
  return true;
}

bool passesUnchanged(const std::string &name) {
  return namesUnconverted() || C_currentProduct() == nullptr || isPrintableAscii(name);
}

} // namespace

QL_UnconvertedNames::QL_UnconvertedNames() : m_previous(namesUnconverted()) { namesUnconverted() = true; }

QL_UnconvertedNames::~QL_UnconvertedNames() { namesUnconverted() = m_previous; }

std::string nameForPlatform(const std::string &internalName) {
  std::string converted;
  return nameForPlatform(internalName, converted);
}

const std::string &nameForPlatform(const std::string &internalName, std::string &converted) {
  if (passesUnchanged(internalName))
    return internalName;
  QL_UnconvertedNames inside;
  converted = QL_fromInternal(internalName);
  return converted;
}

std::string nameFromPlatform(const std::string &platformName) {
  if (passesUnchanged(platformName))
    return platformName;
  QL_UnconvertedNames inside;
  return QL_nameToInternal(C_requireCurrentProduct(), platformName);
}

std::string QL_nameToInternal(const C_Product &product, const std::string &name, QL_EncodingKind kind) {
  if (isPrintableAscii(name))
    return name;
  std::string internal = QL_toInternal(product, name, kind);
  if (QL_fromInternal(internal, product, kind) != name)
    throw QL_InvalidNameException(name, kind);
  return internal;
}

std::string QL_nameToInternal(const C_Product &product, const std::string &name) {
  return QL_nameToInternal(product, name, QL_languageEncoding(product));
}

std::string QL_nameToInternal(const std::string &name, QL_EncodingKind kind) {
  return QL_nameToInternal(C_requireCurrentProduct(), name, kind);
}
