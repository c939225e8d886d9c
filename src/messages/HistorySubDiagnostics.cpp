#include "messages/HistorySubDiagnostics.h"

#include "foundation/Location.h"
#include "messages/Diagnostic.h"
#include "messages/InternalMessages.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/MacroHistory.h"

#include <string>
#include <utility>

namespace {

// Appends the step to out, then gives it the history of its own location.
void addStep(const U_RefPtr<M_Diagnostic> &step, const U_Location &stepLocation, std::uint32_t mask,
             std::vector<U_RefPtr<M_Diagnostic>> &out) {
  out.push_back(step);
  std::vector<U_RefPtr<M_Diagnostic>> own;
  if (M_makeHistorySubDiagnostics(stepLocation, mask, own))
    step->addParameter(std::move(own));
}

} // namespace

bool M_makeHistorySubDiagnostics(const U_Location &location, const std::uint32_t &mask,
                                 std::vector<U_RefPtr<M_Diagnostic>> &out) {
  bool followed = false;
  if (!location.isSet())
    return followed;
  if ((mask & M_historyCalledFrom) && location.hasCalledFromLoc()) {
    const U_Location from = location.getCalledFromLoc();
    addStep(M_makeInternalMessage1570(M_historyPosition(from)), from, mask, out);
    followed = true;
  }
  if ((mask & M_historyInstantiatedFrom) && location.hasInstFromLoc()) {
    const U_Location from = location.getInstFromLoc();
    const U_RefPtr<U_EntityDisplayName> entity = location.getInstEntity();
    const std::string name = entity.isSet() ? entity->text3() : std::string();
    addStep(M_makeInternalMessage1597(M_historyPosition(from), name), from, mask, out);
    followed = true;
  }
  if ((mask & M_historyIncludedFrom) && location.hasInclLoc()) {
    const U_Location from = location.getInclLoc();
    addStep(M_makeInternalMessage1599(M_historyPosition(from)), from, mask, out);
    followed = true;
  }
  if ((mask & M_historyMacroExpansion) && location.hasMacroHist()) {
    std::vector<const U_MacroHistory *> elements;
    for (const U_MacroHistory *element = location.getMacroHist().pointer(); element;
         element = element->m_parent.pointer())
      elements.push_back(element);
    followed = followed || !elements.empty();
    for (auto element = elements.rbegin(); element != elements.rend(); ++element) {
      const U_Location &at = (*element)->m_location;
      addStep(M_makeInternalMessage1598(M_historyPosition(at), (*element)->m_macroName.text()), at, mask,
              out);
    }
  }
  return followed;
}

U_Location M_historyPosition(const U_Location &location) {
  if (!location.isSet())
    return U_Location();
  return U_Location(location.getFile(), location.getLine(), location.getColumn());
}
