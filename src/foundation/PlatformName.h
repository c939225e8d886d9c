// Names on their way between the system and the platform. Internal names are
// EUC; the platform takes and gives names in the current product's language
// encoding. Before there is a current product names pass unchanged.
#pragma once

#include <string>

// An internal name in the form the platform takes (QL_fromInternal).
std::string nameForPlatform(const std::string &internalName);
// A name the platform gave, in the internal form (QL_toInternal).
std::string nameFromPlatform(const std::string &platformName);

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
