#include "messages/DisplayFilters.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/Location.h"
#include "foundation/NamedFiles.h"
#include "messages/Diagnostic.h"
#include "messages/MessageCatalogue.h"
#include "messages/QuietFiles.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

using NumberSet = std::set<std::int32_t>;

NumberSet numberSet(const C_OptionIntList &option) { return NumberSet(option.begin(), option.end()); }

// The values of "only" and "nomsg" as one filter keeps them.
struct NumberLists {
  NumberSet only;
  NumberSet nomsg;
};

NumberLists readNumberLists() { return NumberLists{numberSet(C_optOnly()), numberSet(C_optNoMsg())}; }

// Message numbers are keyed as signed 32-bit numbers.
std::int32_t key(std::uint32_t number) { return static_cast<std::int32_t>(number); }

int listState(const NumberSet &values, std::uint32_t number) {
  if (values.empty())
    return 0;
  return values.count(key(number)) ? 2 : 1;
}

bool isWanted(const NumberLists &lists, std::uint32_t number) {
  if (lists.nomsg.count(key(number)))
    return false;
  return lists.only.empty() || lists.only.count(key(number)) != 0;
}

bool hiddenWarningsOff() { return !C_optHiddenWarnings().value(); }

// The tests that both filters end with: the pragma flag, then the file.
bool isShownByFlagsAndFile(const M_Diagnostic &diagnostic, bool hiddenWarningsAreOff) {
  if (hiddenWarningsAreOff && diagnostic.isHiddenByPragma())
    return false;
  const U_Location &location = diagnostic.getLocation();
  if (isNamedFileLocation(location))
    return true;
  if (!location.isSet())
    return true;
  if (C_optHdrSuppress().value())
    return false;
  return !isQuietLocation(location);
}

} // namespace

int M_onlyListState(std::uint32_t number) {
  static C_OnceAnswer<NumberSet> only([] { return numberSet(C_optOnly()); });
  return listState(only.get(), number);
}

int M_nomsgListState(std::uint32_t number) {
  static C_OnceAnswer<NumberSet> nomsg([] { return numberSet(C_optNoMsg()); });
  return listState(nomsg.get(), number);
}

bool M_isMessageShown(const U_RefPtr<M_Diagnostic> &diagnostic) {
  static C_OnceAnswer<bool> hiddenWarningsAreOff(hiddenWarningsOff);
  if (diagnostic->isError())
    return true;
  if (M_onlyListState(diagnostic->getNumber()) == 1)
    return false;
  if (M_nomsgListState(diagnostic->getNumber()) == 2)
    return false;
  return isShownByFlagsAndFile(*diagnostic, hiddenWarningsAreOff.get());
}

bool M_isDiagnosticShown(U_RefPtr<M_Diagnostic> diagnostic) {
  static C_OnceAnswer<std::vector<std::int32_t>> suppressedLevels([] { return C_optSuppressLvl().values(); });
  static C_OnceAnswer<bool> hiddenWarningsAreOff(hiddenWarningsOff);
  if (diagnostic->isError())
    return true;
  if (!M_isMessageNumberWanted(diagnostic))
    return false;
  const std::vector<std::int32_t> &levels = suppressedLevels.get();
  if (!levels.empty()) {
    const std::int32_t level = getMessageEntry(key(diagnostic->getNumber())).levelNumber();
    if (std::find(levels.begin(), levels.end(), level) != levels.end())
      return false;
  }
  return isShownByFlagsAndFile(*diagnostic, hiddenWarningsAreOff.get());
}

bool M_isMessageNumberWanted(U_RefPtr<M_Diagnostic> diagnostic) {
  static C_OnceAnswer<NumberLists> lists(readNumberLists);
  return isWanted(lists.get(), diagnostic->getNumber());
}

bool M_isMessageNumberWanted(std::uint32_t number) {
  static C_OnceAnswer<NumberLists> lists(readNumberLists);
  return isWanted(lists.get(), number);
}
