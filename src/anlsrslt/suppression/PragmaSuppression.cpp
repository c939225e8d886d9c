#include "anlsrslt/suppression/PragmaSuppression.h"

#include "anlsrslt/model/ModelDiagnostic.h"
#include "cmdline/OptionKinds.h"
#include "foundation/Assertion.h"
#include "foundation/IncludeSiteMap.h"

#include <algorithm>
#include <utility>

namespace {

// The one rule by which a pragma acts on a region list.
void applyPragma(PragmaRegionList &regions, const IncludeChain &chain, bool on) {
  const bool lastOpen = !regions.empty() && regions.back().isOpen();
  if (on) {
    if (!lastOpen)
      regions.push_back(PragmaRegion{chain, {}});
  } else if (lastOpen) {
    regions.back().m_end = chain;
  }
}

PragmaRegionList appliedCopy(PragmaRegionList regions, const IncludeChain &chain, bool on) {
  applyPragma(regions, chain, on);
  return regions;
}

bool rangeContains(const PragmaRangeEntry &entry, std::int32_t number) {
  return entry.m_first <= number && number <= entry.m_last;
}

// A noted stretch of the numbers a range pragma reached through an entry.
struct Covered {
  std::int64_t first;
  std::int64_t last;
};

} // namespace

IncludeChain makeIncludeChain(const U_Location &location) {
  IncludeChain chain;
  if (!location.isSet())
    return chain;
  chain.push_back(location);
  while (chain.back().hasInclLoc())
    chain.push_back(chain.back().getInclLoc());
  return chain;
}

bool isIncludeChainLessEqual(const IncludeChain &a, const IncludeChain &b) {
  if (a.empty())
    return false;
  if (b.empty())
    return true;
  auto inA = a.rbegin();
  auto inB = b.rbegin();
  for (; inA != a.rend() && inB != b.rend() && U_Location::sameFile(*inA, *inB); ++inA, ++inB) {
    // The outermost level where the lines differ decides: deeper levels lie
    // in other inclusions of their file.
    if (inA->getLine() != inB->getLine())
      return inA->getLine() < inB->getLine();
  }
  return true;
}

bool isChainInRegions(const IncludeChain &chain, const PragmaRegionList &regions) {
  if (chain.empty())
    return false;
  return std::any_of(regions.begin(), regions.end(), [&chain](const PragmaRegion &region) {
    return isIncludeChainLessEqual(region.m_start, chain) &&
           (region.isOpen() || isIncludeChainLessEqual(chain, region.m_end));
  });
}

PragmaSuppressState &PragmaSuppressState::instance() {
  static PragmaSuppressState state;
  return state;
}

bool PragmaSuppressState::isSuppressed(std::uint32_t number, const U_Location &location) const {
  if (m_messages.empty() && m_ranges.empty() && m_all.empty())
    return false;
  if (!location.isSet())
    return false;
  const IncludeChain chain = makeIncludeChain(location);
  const auto signedNumber = static_cast<std::int32_t>(number);
  const auto message = std::find_if(m_messages.begin(), m_messages.end(), [signedNumber](const auto &entry) {
    return entry.m_number == signedNumber;
  });
  if (message != m_messages.end())
    return isChainInRegions(chain, message->m_regions);
  const auto range = std::find_if(m_ranges.begin(), m_ranges.end(), [signedNumber](const auto &entry) {
    return rangeContains(entry, signedNumber);
  });
  if (range != m_ranges.end())
    return isChainInRegions(chain, range->m_regions);
  return isChainInRegions(chain, m_all);
}

void PragmaSuppressState::suppressAll(const U_Location &location, bool on) {
  if (!location.isSet())
    return;
  const IncludeChain chain = makeIncludeChain(location);
  for (PragmaMessageEntry &entry : m_messages)
    applyPragma(entry.m_regions, chain, on);
  for (PragmaRangeEntry &entry : m_ranges)
    applyPragma(entry.m_regions, chain, on);
  applyPragma(m_all, chain, on);
}

void PragmaSuppressState::suppressMessage(std::int32_t number, const U_Location &location, bool on) {
  if (!location.isSet())
    return;
  const IncludeChain chain = makeIncludeChain(location);
  const auto message = std::find_if(m_messages.begin(), m_messages.end(),
                                    [number](const auto &entry) { return entry.m_number == number; });
  if (message != m_messages.end()) {
    applyPragma(message->m_regions, chain, on);
    return;
  }
  const auto range = std::find_if(m_ranges.begin(), m_ranges.end(),
                                  [number](const auto &entry) { return rangeContains(entry, number); });
  if (range == m_ranges.end()) {
    insertMessageEntry(PragmaMessageEntry{number, appliedCopy(m_all, chain, on)});
    return;
  }
  // The number leaves its range: the rest of the range keeps the regions it had.
  const PragmaRangeEntry split = std::move(*range);
  m_ranges.erase(range);
  insertMessageEntry(PragmaMessageEntry{number, appliedCopy(split.m_regions, chain, on)});
  fileRange(split.m_first, std::int64_t{number} - 1, split.m_regions);
  fileRange(std::int64_t{number} + 1, split.m_last, split.m_regions);
}

void PragmaSuppressState::suppressRange(std::int32_t first, std::int32_t last, const U_Location &location,
                                        bool on) {
  if (!location.isSet())
    return;
  if (first > last)
    std::swap(first, last);
  const IncludeChain chain = makeIncludeChain(location);
  std::vector<Covered> covered;

  for (PragmaMessageEntry &entry : m_messages) {
    if (first <= entry.m_number && entry.m_number <= last) {
      applyPragma(entry.m_regions, chain, on);
      covered.push_back(Covered{entry.m_number, entry.m_number});
    }
  }

  // Entries inside the range take the pragma; entries that reach over a bound
  // are cut there, and only the piece inside takes it.
  std::vector<PragmaRangeEntry> kept;
  std::vector<PragmaRangeEntry> cut;
  for (PragmaRangeEntry &entry : m_ranges) {
    if (entry.m_first > last || entry.m_last < first) {
      kept.push_back(std::move(entry));
    } else if (first <= entry.m_first && entry.m_last <= last) {
      applyPragma(entry.m_regions, chain, on);
      covered.push_back(Covered{entry.m_first, entry.m_last});
      kept.push_back(std::move(entry));
    } else {
      cut.push_back(std::move(entry));
    }
  }
  m_ranges = std::move(kept);
  for (const PragmaRangeEntry &entry : cut) {
    const std::int32_t inFirst = std::max(entry.m_first, first);
    const std::int32_t inLast = std::min(entry.m_last, last);
    fileRange(entry.m_first, std::int64_t{inFirst} - 1, entry.m_regions);
    fileRange(std::int64_t{inLast} + 1, entry.m_last, entry.m_regions);
    fileRange(inFirst, inLast, appliedCopy(entry.m_regions, chain, on));
    covered.push_back(Covered{inFirst, inLast});
  }

  // The numbers no entry named start from the all-messages regions.
  const PragmaRegionList gapRegions = appliedCopy(m_all, chain, on);
  std::sort(covered.begin(), covered.end(),
            [](const Covered &a, const Covered &b) { return a.first < b.first; });
  std::int64_t next = first;
  for (const Covered &stretch : covered) {
    fileRange(next, stretch.first - 1, gapRegions);
    next = stretch.last + 1;
  }
  fileRange(next, last, gapRegions);
}

bool PragmaSuppressState::addRangeEntry(PragmaRangeEntry entry) {
  if (entry.m_last < entry.m_first)
    return false;
  if (entry.m_first == entry.m_last) {
    insertMessageEntry(PragmaMessageEntry{entry.m_first, std::move(entry.m_regions)});
    return false;
  }
  const auto after = std::find_if(m_ranges.begin(), m_ranges.end(), [&entry](const PragmaRangeEntry &other) {
    return other.m_first > entry.m_first;
  });
  m_ranges.insert(after, std::move(entry));
  return true;
}

void PragmaSuppressState::insertMessageEntry(PragmaMessageEntry entry) {
  const auto after =
      std::find_if(m_messages.begin(), m_messages.end(),
                   [&entry](const PragmaMessageEntry &other) { return other.m_number > entry.m_number; });
  m_messages.insert(after, std::move(entry));
}

void PragmaSuppressState::fileRange(std::int64_t first, std::int64_t last, const PragmaRegionList &regions) {
  // Both bounds lie within a range of 32-bit numbers whenever the piece holds
  // a number, so the narrowing below is exact.
  if (last < first)
    return;
  addRangeEntry(PragmaRangeEntry{static_cast<std::int32_t>(first), static_cast<std::int32_t>(last), regions});
}

void handlePragmaSuppression(const P_PragmaRecord &rec, bool on) {
  PragmaSuppressState &state = PragmaSuppressState::instance();
  const U_Location location = makeIncludedLocation(P_filenameOf(rec.m_file), rec.m_line, 0);
  U_ASSERT(rec.m_tokens.size() >= 1);
  const std::vector<std::string> &tokens = rec.m_tokens;
  if (tokens.size() == 1) {
    state.suppressAll(location, on);
    return;
  }
  std::size_t at = 1;
  while (at < tokens.size()) {
    const std::int32_t number = stringToInt(tokens[at++]);
    if (at == tokens.size() || tokens[at] == ",") {
      state.suppressMessage(number, location, on);
      ++at;
    } else if (tokens[at] == "-") {
      if (++at == tokens.size()) {
        state.suppressMessage(number, location, on);
        return;
      }
      state.suppressRange(number, stringToInt(tokens[at++]), location, on);
    } else {
      // Neither a list nor a range: the number and the word are dropped.
      ++at;
    }
  }
}

void handlePragmaSuppressOn(const P_PragmaRecord &rec) { handlePragmaSuppression(rec, true); }

void handlePragmaSuppressOff(const P_PragmaRecord &rec) { handlePragmaSuppression(rec, false); }

bool P_isPragmaSuppressed(const U_Location &location, std::uint32_t number) {
  return PragmaSuppressState::instance().isSuppressed(number, location);
}

bool P_isDiagnosticPragmaSuppressed(const P_Diagnostic *diagnostic) {
  U_ASSERT(0 != diagnostic && "Dont dereference 0.");
  if (!diagnostic->m_diagnostic.isSet())
    return false;
  const M_Diagnostic &held = *diagnostic->m_diagnostic;
  return PragmaSuppressState::instance().isSuppressed(held.getNumber(), held.getLocation());
}

void registerPragmaSuppressHandlers() {}
