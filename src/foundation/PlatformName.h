// Names on their way between the system and the platform. Internal names are
// EUC; the platform takes and gives names in the current product's language
// encoding. Before there is a current product names pass unchanged.
#pragma once

#include "foundation/EncodingKind.h"

#include <string>

class C_Product;

// An internal name in the form the platform takes (QL_fromInternal).
std::string nameForPlatform(const std::string &internalName);
// The same form without a copy of a name that passes unchanged: the name
// itself, or its conversion kept in converted.
const std::string &nameForPlatform(const std::string &internalName, std::string &converted);
// A name the platform gave, in the internal form (QL_nameToInternal).
std::string nameFromPlatform(const std::string &platformName);

// A name in the kind's encoding (from the platform, the command line, a
// settings file or the environment) in the internal form. Raises
// QL_InvalidNameException when the name does not come back unchanged from
// the internal form: the conversion would make another name of it. The forms
// without a kind use the product's language kind, the forms without a product
// the current product.
std::string QL_nameToInternal(const C_Product &product, const std::string &name, QL_EncodingKind kind);
std::string QL_nameToInternal(const C_Product &product, const std::string &name);
std::string QL_nameToInternal(const std::string &name, QL_EncodingKind kind);

// While one of these lives, names pass unchanged. Working out the product's
// language reads its ini file, and the names used for that cannot depend on
// the language; a name conversion holds one so that it never converts names
// from inside itself.
class QL_UnconvertedNames {
public:
  QL_UnconvertedNames();
  ~QL_UnconvertedNames();
  QL_UnconvertedNames(const QL_UnconvertedNames &) = delete;
  QL_UnconvertedNames &operator=(const QL_UnconvertedNames &) = delete;

private:
  bool m_previous;
};
