// The identity of a file: its canonical name and the name as written.
#pragma once

#include "foundation/Filename.h"

#include <ostream>
#include <string>
#include <string_view>

// Two identities are the same file when their canonical names are the same
// handle; the given name plays no part. Identities are ordered by their
// canonical handles, that is by the order in which the canonical names were
// first interned. A default identity has neither name.
class QL_Filename {
public:
  QL_Filename() = default;
  // Interns both texts unchanged.
  QL_Filename(std::string_view canonical, std::string_view given);

  // The identity of a name in the internal encoding: the given name is the
  // name with forward slashes, the canonical one QL_canonicalPath of it.
  static QL_Filename fromPath(std::string_view path);
  // Canonical name U_absolutePath (path); the given name exactly as passed.
  static QL_Filename fromAbsolutePath(const std::string &path);

  const U_Filename &canonical() const { return m_canonical; }
  const U_Filename &given() const { return m_given; }

  friend bool operator==(const QL_Filename &a, const QL_Filename &b) {
    return a.m_canonical == b.m_canonical;
  }
  friend bool operator!=(const QL_Filename &a, const QL_Filename &b) {
    return a.m_canonical != b.m_canonical;
  }
  friend bool operator<(const QL_Filename &a, const QL_Filename &b) { return a.m_canonical < b.m_canonical; }

private:
  U_Filename m_canonical;
  U_Filename m_given;
};
