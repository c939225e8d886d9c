// Text rules for file names: directories, base names, extensions, joined
// paths, slashes and comparisons that ignore ASCII letter case. U_ functions
// work on the bytes of a name; each QL_ function of the same name applies the
// same rule to a name in the internal encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The directory part: "C:" and "C:/x" give "C:/", "/x" gives "/", "a/b/"
// gives "a", "a/" and "abc" give ".".
std::string U_dirname(const std::string &path);
std::string QL_dirname(const std::string &path);

// The text after the last "/" once one trailing "/" is dropped: "a/b/" gives
// "b", "/" gives the empty text.
std::string U_basename(const std::string &path);
std::string QL_basename(const std::string &path);
// The same text, left in the name.
std::string_view U_basenameView(std::string_view path);

// The name up to its last "." when that "." lies after the last "/".
std::string U_removeExtension(const std::string &path);
std::string U_basenameNoExtension(const std::string &path);
// The text after the last "." when that "." lies after the last "/".
std::string U_extension(const std::string &path);

// base, then "." unless ext is empty, ext begins with "." or base ends with
// ".", then ext.
std::string U_addExtension(const std::string &base, const std::string &ext);
std::string QL_addExtension(const std::string &base, const std::string &ext);

// dir and name joined by "/": an empty name gives dir; an empty dir, "." or
// "./" gives name. An absolute name gets no special treatment.
std::string U_joinPath(const std::string &dir, const std::string &name);
std::string QL_joinPath(const std::string &dir, const std::string &name);

std::string U_toForwardSlashes(const std::string &path);
std::string QL_toForwardSlashes(const std::string &path);
std::string U_toBackslashes(const std::string &path);

// The platform's form of the separators, unless the debug word
// "os-independent-slash" is given. The debug words are looked up on the first
// call, or on every call while "always-first" is given. On Linux "/" stays.
std::string toNativeSlashes(const std::string &path);
std::string QL_toNativeSlashes(const std::string &path);
// Makes the next toNativeSlashes call look the debug words up again; for tests.
void resetNativeSlashLookup();

// Equal lengths and equal bytes, ASCII letter case ignored.
bool U_equalNoCase(const std::string &a, const std::string &b);
// prefix not longer than path and equal to its beginning, ASCII case ignored.
bool U_hasPrefixNoCase(const std::string &prefix, const std::string &path);
bool QL_hasPrefixNoCase(const std::string &prefix, const std::string &path);
// Compares at most n characters, ASCII letter case ignored, stopping at the
// end of either text: below, equal to or above 0, as strncmp.
int U_strnicmp(const char *a, const char *b, std::size_t n);

// Makes s the one-character text c.
void U_assignChar(std::string &s, char c);

// The library file of a codec plug-in: base followed by "4", extension "dll".
std::string U_pluginFileName(const std::string &base);
