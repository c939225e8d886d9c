#include "foundation/PathText.h"

#include "cmdline/Options.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <string_view>

namespace {

unsigned char foldAscii(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 32) : u;
}

bool hasDriveColon(const std::string &text) { return text.size() >= 2 && text[1] == ':'; }

bool isRoot(const std::string &text) { return text == "/" || (text.size() == 3 && text[1] == ':'); }

std::string replaced(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

// The debug words that decide toNativeSlashes, looked up once.
struct NativeSlashLookup {
  bool reread = true;
  bool osIndependent = false;
};

NativeSlashLookup &nativeSlashLookup() {
  static NativeSlashLookup lookup;
  return lookup;
}

} // namespace

std::string U_dirname(const std::string &path) {
  if (path.size() == 2 && path[1] == ':')
    return path + '/';
  // Worked out on the name in place: only the part given back is copied.
  std::string_view text = path;
  if (!text.empty() && text.back() == '/' && !isRoot(path))
    text.remove_suffix(1);
  const std::size_t slash = text.rfind('/');
  if (slash == std::string::npos)
    return ".";
  if (slash == 0)
    return "/";
  if (slash == 2 && hasDriveColon(path))
    return std::string(text.substr(0, 3));
  return std::string(text.substr(0, slash));
}

std::string QL_dirname(const std::string &path) { return U_dirname(path); }

std::string U_basename(const std::string &path) { return std::string(U_basenameView(path)); }

std::string_view U_basenameView(std::string_view path) {
  if (path.size() > 1 && path.back() == '/')
    path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string QL_basename(const std::string &path) { return U_basename(path); }

namespace {

// The position of the last "." that lies after the last "/", or npos.
std::size_t extensionDot(const std::string &path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos)
    return dot;
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && dot < slash)
    return std::string::npos;
  return dot;
}

} // namespace

std::string U_removeExtension(const std::string &path) {
  const std::size_t dot = extensionDot(path);
  return dot == std::string::npos ? path : path.substr(0, dot);
}

std::string U_basenameNoExtension(const std::string &path) { return U_removeExtension(U_basename(path)); }

std::string U_extension(const std::string &path) {
  const std::size_t dot = extensionDot(path);
  return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string U_addExtension(const std::string &base, const std::string &ext) {
  // An empty base does not end with ".", so it gets one.
  const bool dot = !ext.empty() && ext[0] != '.' && (base.empty() || base.back() != '.');
  return dot ? base + "." + ext : base + ext;
}

std::string QL_addExtension(const std::string &base, const std::string &ext) {
  return U_addExtension(base, ext);
}

std::string U_joinPath(const std::string &dir, const std::string &name) {
  if (name.empty())
    return dir;
  if (dir.empty() || dir == "." || dir == "./")
    return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string QL_joinPath(const std::string &dir, const std::string &name) { return U_joinPath(dir, name); }

std::string U_toForwardSlashes(const std::string &path) { return replaced(path, '\\', '/'); }

std::string QL_toForwardSlashes(const std::string &path) { return U_toForwardSlashes(path); }

std::string U_toBackslashes(const std::string &path) { return replaced(path, '/', '\\'); }

std::string toNativeSlashes(const std::string &path) {
  NativeSlashLookup &lookup = nativeSlashLookup();
  if (lookup.reread) {
    lookup.osIndependent = debugFlag("os-independent-slash");
    lookup.reread = debugFlag("always-first");
  }
  return lookup.osIndependent ? path : replaced(path, '/', platform::nativeSeparator);
}

std::string QL_toNativeSlashes(const std::string &path) { return toNativeSlashes(path); }

void resetNativeSlashLookup() { nativeSlashLookup() = NativeSlashLookup(); }

bool U_equalNoCase(const std::string &a, const std::string &b) {
  return a.size() == b.size() && U_hasPrefixNoCase(a, b);
}

bool U_hasPrefixNoCase(const std::string &prefix, const std::string &path) {
  if (prefix.size() > path.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (foldAscii(prefix[i]) != foldAscii(path[i]))
      return false;
  return true;
}

bool QL_hasPrefixNoCase(const std::string &prefix, const std::string &path) {
  return U_hasPrefixNoCase(prefix, path);
}

int U_strnicmp(const char *a, const char *b, std::size_t n) {
  if (!a)
    a = "";
  if (!b)
    b = "";
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = foldAscii(a[i]);
    const unsigned char cb = foldAscii(b[i]);
    if (ca != cb)
      return ca < cb ? -1 : 1;
    if (ca == '\0')
      return 0;
  }
  return 0;
}

void U_assignChar(std::string &s, char c) { s.assign(1, c); }

std::string U_pluginFileName(const std::string &base) { return U_addExtension(base + "4", "dll"); }
