#include "messages/QuietFiles.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "foundation/NamedFiles.h"
#include "foundation/PathText.h"

#include <array>
#include <cstddef>

namespace {

// One slot of the table: the file it answers for and the answer.
struct QuietFileEntry {
  U_Filename canonical;
  U_Filename given;
  bool quiet = false;
};

constexpr std::size_t quietFileSlots = 511;

// The table of kept answers. A new generation of once-computed answers (which
// only tests start) empties it as well.
struct QuietFileCache {
  std::array<QuietFileEntry, quietFileSlots> entries;
  std::uint64_t generation = C_OnceAnswers::generation();
};

QuietFileCache &quietFileCache() {
  static QuietFileCache cache;
  if (cache.generation != C_OnceAnswers::generation())
    cache = QuietFileCache();
  return cache;
}

// The slot of a file: its canonical name's interning order, which spreads
// files as well as an address and is the same in every run.
std::size_t slotOf(const QL_Filename &file) {
  return static_cast<std::size_t>(file.canonical().sequence() % quietFileSlots);
}

bool hasDebugWord(const C_CmdArgs &args, const char *word) {
  return args.options() && C_Options::hasDebugFlag(*args.options(), word);
}

} // namespace

bool isQuietFile(const C_CmdArgs &args, const QL_Filename &file) {
  const bool alwaysFirst = hasDebugWord(args, "always-first");
  QuietFileEntry &entry = quietFileCache().entries[slotOf(file)];
  if (!alwaysFirst && entry.canonical == file.canonical())
    return entry.quiet;
  const bool quiet = !isNamedFile(args, file) && hasQuietPrefix(args, file);
  if (alwaysFirst)
    entry = QuietFileEntry{U_Filename(), U_Filename(), quiet};
  else
    entry = QuietFileEntry{file.canonical(), file.given(), quiet};
  return quiet;
}

bool isQuietLocation(const U_Location &location) {
  const C_CmdArgs *args = C_currentCmdArgs();
  return args && isQuietLocation(*args, location);
}

bool isQuietLocation(const C_CmdArgs &args, const U_Location &location) {
  return location.isSet() && isQuietFile(args, location.getFile());
}

bool isQuietFilename(const QL_Filename &file) {
  const C_CmdArgs *args = C_currentCmdArgs();
  return args && isQuietFile(*args, file);
}

bool hasQuietPrefix(const C_CmdArgs &args, const QL_Filename &file) {
  if (!args.options())
    return false;
  const std::string name = filenameText(file.canonical());
  for (const QL_Filename &entry : args.options()->quiet().values())
    if (QL_hasPrefixNoCase(filenameText(entry.canonical()), name))
      return true;
  return false;
}
