#include "checks/SourceLines.h"

#include "checks/FileTokens.h"
#include "checks/LiteralBlanking.h"
#include "checks/SourceRescanExit.h"
#include "foundation/FileSystem.h"
#include "foundation/PlatformName.h"
#include "platform/BinaryFile.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

namespace {

using LineCache = std::map<std::string, SourceLineList>;

// File name to its lines, compared bytewise; entries are never removed, so
// references into the map stay valid.
LineCache &sourceLineCache() {
  static LineCache cache;
  return cache;
}

LineCache &blankedLineCache() {
  static LineCache cache;
  return cache;
}

// Ends the re-scan with the text before, the path and the text after: made
// in one piece of its own size, as the path may be long.
[[noreturn]] void endRescan(const char *before, const std::string &path, const char *after) {
  std::string text;
  text.reserve(std::strlen(before) + path.size() + std::strlen(after));
  text.append(before).append(path).append(after);
  throw P_SourceRescanExit(std::move(text));
}

} // namespace

const SourceLineList &sourceLines(const std::string &name) {
  LineCache &cache = sourceLineCache();
  const LineCache::iterator found = cache.find(name);
  if (found != cache.end())
    return found->second;
  std::string converted;
  if (const std::string &path = nameForPlatform(name, converted); !U_fileExists(path))
    endRescan("", path, " does not exist.\n");
  return cache.emplace(name, readSourceFile(name)).first->second;
}

const SourceLineList &blankedSourceLines(const std::string &name) {
  LineCache &cache = blankedLineCache();
  const LineCache::iterator found = cache.find(name);
  if (found != cache.end())
    return found->second;
  SourceLineList lines = sourceLines(name);
  if (!lines.empty())
    blankCommentsAndLiterals(lines, sourceTextEncoding());
  return cache.emplace(name, std::move(lines)).first->second;
}

SourceLineList readSourceFile(const std::string &name) {
  const std::string path = nameForPlatform(name);
  // A directory, a FIFO or a device is not opened: it is no text to re-read.
  platform::TextInputFile in(path);
  if (!in.is_open())
    endRescan("cannot open file ", path, "\n");
  SourceLineList lines;
  // Each kept line is a copy of its own size; the read buffer serves every
  // line and goes with the function. It has room for the whole file, whose
  // text is about to be kept anyway, so that a long line is never copied as
  // the buffer grows; only the part a line fills takes memory.
  std::string line;
  if (const std::optional<std::uint64_t> size = platform::regularFileSize(path);
      size && *size < line.max_size())
    line.reserve(static_cast<std::size_t>(*size));
  while (std::getline(in, line))
    lines.emplace_back(stripLineEnd(line));
  // A file that opens but cannot be read is no more use than one that does
  // not open: re-scanning part of it would give wrong findings.
  if (in.readFailed())
    endRescan("cannot open file ", path, "\n");
  return lines;
}

std::string_view stripLineEnd(std::string_view line) {
  const std::size_t end = line.find_last_not_of("\r\n");
  return line.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

void resetSourceLineCaches() {
  sourceLineCache().clear();
  blankedLineCache().clear();
}
