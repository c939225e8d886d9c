#include "foundation/FileSystem.h"

#include "foundation/PathText.h"
#include "foundation/PlatformName.h"
#include "platform/FileSystem.h"

#include <optional>
#include <utility>

namespace {

bool isKind(const std::string &platformPath, platform::FileKind kind) {
  return platform::fileKind(platformPath) == kind;
}

// The absolute form of an existing directory, with forward slashes when
// asked. A name in the product's encoding gets its slashes only once it is
// internal: a Shift_JIS trail byte can be a backslash.
std::optional<std::string> fullPathOfExisting(const std::string &platformPath, bool forwardSlashes = true) {
  if (!platform::canAccess(platformPath, platform::Access::exists))
    return std::nullopt;
  std::optional<std::string> full = platform::fullPath(platformPath);
  if (!full)
    return std::nullopt;
  return forwardSlashes ? U_toForwardSlashes(*full) : *full;
}

} // namespace

std::string U_absolutePath(const std::string &path) {
  std::string result = path;
  if (U_isDirectory(path)) {
    if (std::optional<std::string> full = fullPathOfExisting(path))
      result = *full;
  } else if (std::optional<std::string> full = fullPathOfExisting(U_dirname(path))) {
    result = U_joinPath(*full, U_basename(path));
  }
  if (std::optional<std::string> longName = platform::longPathName(result))
    result = U_toForwardSlashes(*longName);
  return result;
}

std::string QL_canonicalPath(std::string_view name) {
  // One copy of the name serves the tests on the file system, and becomes the
  // result where the name keeps its form.
  std::string path(name);
  std::string result;
  if (path.find('/') == std::string::npos && !QL_isDirectory(path)) {
    result = QL_joinPath(QL_currentDirectory(), path);
  } else if (QL_isDirectory(path)) {
    if (std::optional<std::string> full = fullPathOfExisting(nameForPlatform(path), false))
      result = QL_toForwardSlashes(nameFromPlatform(*full));
    else
      result = std::move(path);
  } else if (std::optional<std::string> full = fullPathOfExisting(nameForPlatform(QL_dirname(path)), false)) {
    result = QL_toForwardSlashes(nameFromPlatform(*full));
    // The name is let go once its base name is taken.
    const std::string base = QL_basename(std::exchange(path, std::string()));
    if (!base.empty())
      result = QL_joinPath(result, base);
  } else {
    result = std::move(path);
  }
  // A name that does not exist keeps its form.
  std::string converted;
  if (std::optional<std::string> longName = platform::longPathName(nameForPlatform(result, converted)))
    result = QL_toForwardSlashes(nameFromPlatform(*longName));
  return result;
}

bool QL_isCanonicalPath(const std::string &path) {
  // The absolute form by the text alone catches what the canonical name keeps
  // of a name whose directory does not exist (a relative name, "..").
  const std::optional<std::string> full = platform::fullPath(nameForPlatform(path));
  return full && QL_toForwardSlashes(nameFromPlatform(*full)) == path && QL_canonicalPath(path) == path;
}

std::string U_currentDirectory() {
  std::optional<std::string> current = platform::currentDirectory();
  return current ? U_toForwardSlashes(*current) : std::string();
}

std::string QL_currentDirectory() { return nameFromPlatform(U_currentDirectory()); }

std::string U_programDirectory() {
  std::optional<std::string> program = platform::programFileName();
  if (!program || program->empty())
    return std::string();
  return U_dirname(U_toForwardSlashes(*program));
}

bool U_fileExists(const std::string &path) { return platform::canAccess(path, platform::Access::exists); }

bool QL_exists(const std::string &path) {
  std::string converted;
  return U_fileExists(nameForPlatform(path, converted));
}

bool U_isReadable(const std::string &path) { return platform::canAccess(path, platform::Access::readable); }

bool U_isDirectory(const std::string &path) { return isKind(path, platform::FileKind::directory); }

bool QL_isDirectory(const std::string &path) {
  std::string converted;
  return U_isDirectory(nameForPlatform(path, converted));
}

bool U_isRegularFile(const std::string &path) { return isKind(path, platform::FileKind::regular); }

bool QL_isRegularFile(const std::string &path) {
  std::string converted;
  return U_isRegularFile(nameForPlatform(path, converted));
}

bool QL_isReadableFile(const std::string &path) {
  std::string converted;
  const std::string &platformPath = nameForPlatform(path, converted);
  return U_isReadable(platformPath) && !U_isDirectory(platformPath);
}

std::string U_findInPathList(const std::string &list, const std::string &name) {
  if (list.empty())
    return std::string();
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = list.find(';', start);
    const std::string element =
        list.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string candidate = U_joinPath(element, name);
    if (U_isReadable(candidate) && U_isRegularFile(candidate))
      return candidate;
    if (end == std::string::npos || end + 1 == list.size())
      return std::string();
    start = end + 1;
  }
}
