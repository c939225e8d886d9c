// Suppression regions opened and closed by pragmas in the sources, and the
// question the output path asks of them: is a message number suppressed by a
// pragma at a location?
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Location.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <string>
#include <vector>

struct P_Diagnostic;

namespace test_support {
class PragmaSuppressStateReset;
}

// A location followed by its include location, that one's include location
// and so on: the last element lies in the outermost file. Empty for the null
// location.
using IncludeChain = std::vector<U_Location>;

// The chain of the location.
IncludeChain makeIncludeChain(const U_Location &location);

// Whether the first chain is not after the second. The levels are compared
// from the outermost file inwards while both chains lie in one file there;
// the first level whose lines differ decides. Chains that part into different
// files, or of which one ends, are not after one another. An empty first chain
// is after everything; an empty second one is after everything else.
bool isIncludeChainLessEqual(const IncludeChain &a, const IncludeChain &b);

// A region from the pragma that opened it to the one that closed it, both
// ends inside. An empty end means open: it reaches to the end of the
// translation unit.
struct PragmaRegion {
  IncludeChain m_start;
  IncludeChain m_end;

  bool isOpen() const { return m_end.empty(); }
};

// Regions in the order they were opened; only the last can be open, and they
// never nest.
using PragmaRegionList = std::vector<PragmaRegion>;

// Whether some region of the list contains the chain. An empty chain (no
// location) lies in none.
bool isChainInRegions(const IncludeChain &chain, const PragmaRegionList &regions);

// The regions of one message number.
struct PragmaMessageEntry {
  std::int32_t m_number;
  PragmaRegionList m_regions;
};

// The regions of the numbers m_first to m_last (m_first < m_last).
struct PragmaRangeEntry {
  std::int32_t m_first;
  std::int32_t m_last;
  PragmaRegionList m_regions;
};

// The one pragma-suppression state of the process: per-message entries sorted
// by number, range entries sorted by first number, and the regions of every
// number that no entry names. No number has more than one entry, and a new
// entry starts from a copy of the regions that applied to its numbers before,
// so it carries every pragma that concerns them.
//
// Message numbers are compared as signed 32-bit values. A pragma at the null
// location changes nothing.
class PragmaSuppressState {
public:
  // The state, built empty on first use and kept to the end of the process.
  static PragmaSuppressState &instance();

  PragmaSuppressState(const PragmaSuppressState &) = delete;
  PragmaSuppressState &operator=(const PragmaSuppressState &) = delete;

  // Whether a region that applies to the number contains the location. An
  // empty state answers false without looking at the location; the null
  // location is never suppressed.
  bool isSuppressed(std::uint32_t number, const U_Location &location) const;

  // An on-pragma (on) opens a region on every list it touches unless that
  // list's last region is open; an off-pragma closes an open last region at
  // the location.
  // A pragma without numbers: every entry and the all-messages regions.
  void suppressAll(const U_Location &location, bool on);
  // A pragma for one number.
  void suppressMessage(std::int32_t number, const U_Location &location, bool on);
  // A pragma for the numbers first to last; reversed bounds are swapped.
  // Entries that reach over a bound are split, and the numbers that no entry
  // named get entries of their own.
  void suppressRange(std::int32_t first, std::int32_t last, const U_Location &location, bool on);
  // Files an entry in order: dropped when its last number is below its first,
  // a per-message entry when both are equal, else a range entry (then the
  // result is true). The entry's numbers must belong to no other entry.
  bool addRangeEntry(PragmaRangeEntry entry);

  const std::vector<PragmaMessageEntry> &messageEntries() const { return m_messages; }
  const std::vector<PragmaRangeEntry> &rangeEntries() const { return m_ranges; }
  const PragmaRegionList &allMessagesRegions() const { return m_all; }

private:
  friend class test_support::PragmaSuppressStateReset;

  PragmaSuppressState() = default;

  void insertMessageEntry(PragmaMessageEntry entry);
  // Files (first, last) with a copy of the regions unless it holds no number;
  // the bounds are wide so that a neighbour of INT_MIN or INT_MAX is no
  // overflow.
  void fileRange(std::int64_t first, std::int64_t last, const PragmaRegionList &regions);

  std::vector<PragmaMessageEntry> m_messages;
  std::vector<PragmaRangeEntry> m_ranges;
  PragmaRegionList m_all;
};

// One pragma of a source file: the file, the line, and its words. The first
// word is the pragma's own and is not read; the others are message numbers,
// "," between them and "-" between the bounds of a range.
struct P_PragmaRecord {
  U_RefPtr<FilenameProxy> m_file;
  std::int32_t m_line = 0;
  std::vector<std::string> m_tokens;
};

// Applies the pragma at its line (column 0, with its file's include history)
// to the process state: without arguments to all messages, else to each
// number and range named. A word that is not a number reads as 0; a number
// followed by a word other than "," or "-" is dropped with that word. A record
// without words is a failed assertion.
void handlePragmaSuppression(const P_PragmaRecord &rec, bool on);
// The pragmas that start and end suppression.
void handlePragmaSuppressOn(const P_PragmaRecord &rec);
void handlePragmaSuppressOff(const P_PragmaRecord &rec);

// The process state's answer for the number at the location.
bool P_isPragmaSuppressed(const U_Location &location, std::uint32_t number);
// The process state's answer for the number and location of the model
// diagnostic's diagnostic; a diagnostic without one is not suppressed.
bool P_isDiagnosticPragmaSuppressed(const P_Diagnostic *diagnostic);

// Registers the record handlers that fill the state from pragma lines. This
// system reads no pragma lines from the record files, so it registers nothing
// and the state stays empty; the driver calls it once per run before the
// first input file.
void registerPragmaSuppressHandlers();
