#include "anlsrslt/include/QueryDiagnostics.h"

#include "anlsrslt/model/ModelDiagnostic.h"
#include "anlsrslt/model/ModelLocation.h"
#include "anlsrslt/suppression/PragmaSuppression.h"
#include "foundation/Assertion.h"
#include "messages/Output.h"

#include <vector>

namespace {

// The location of the diagnostic; the null location when it has none.
const U_Location &locationOf(const P_Diagnostic *diag) {
  static const U_Location none;
  return diag->m_diagnostic.isSet() ? diag->m_diagnostic->getLocation() : none;
}

} // namespace

P_Diagnostic *PI_createDiagnostic(std::uint32_t number, const char *file, std::uint32_t line) {
  return PI_createDiagnosticWithColumn(number, file, line, 0);
}

P_Diagnostic *PI_createDiagnosticWithColumn(std::uint32_t number, const char *file, std::uint32_t line,
                                            std::uint32_t column) {
  return new P_Diagnostic(number, file, static_cast<std::int32_t>(line), static_cast<std::int32_t>(column));
}

void PI_addDiagnosticText(P_Diagnostic *diag, const char *text) {
  U_ASSERT(0 != diag && "Dont dereference 0.");
  diag->m_diagnostic->addParameter(text);
}

void PI_addSubDiagnostic(P_Diagnostic *diag, P_Diagnostic *sub) {
  U_ASSERT(0 != diag && "Dont dereference 0.");
  U_ASSERT(0 != sub && "Dont dereference 0.");
  diag->m_diagnostic->addParameterInGivenOrder(std::vector<U_RefPtr<M_Diagnostic>>{sub->m_diagnostic});
}

void PI_emitDiagnostic(P_Diagnostic *diag) {
  U_ASSERT(0 != diag && "Dont dereference 0.");
  // The handle destroys the diagnostic when this call ends, also when the
  // output throws; a handle a caller still holds keeps it alive instead of
  // dangling.
  const U_RefPtr<P_Diagnostic> owner(diag);
  if (!P_isDiagnosticPragmaSuppressed(diag))
    M_sendMessage(diag->m_diagnostic);
}

const char *PI_diagnosticFileName(const P_Diagnostic *diag) {
  U_ASSERT(0 != diag && "Dont dereference 0.");
  return P_filenameTextOf(diag->m_filename);
}

P_Location *PI_diagnosticLocation(const P_Diagnostic *diag) {
  U_ASSERT(0 != diag && "Dont dereference 0.");
  return new P_Location(locationOf(diag));
}

std::uint32_t PI_diagnosticMessageNumber(const P_Diagnostic *diag) {
  U_ASSERT(0 != diag && "Dont dereference 0.");
  return diag->m_diagnostic.isSet() ? diag->m_diagnostic->getNumber() : 0;
}

// A diagnostic without a location has line and column all bits set, as its
// location object has.
std::uint32_t PI_diagnosticLine(const P_Diagnostic *diag) {
  U_ASSERT(0 != diag && "Don't dereference 0.");
  const U_Location &location = locationOf(diag);
  return static_cast<std::uint32_t>(location.isSet() ? location.getLine() : -1);
}

std::uint32_t PI_diagnosticColumn(const P_Diagnostic *diag) {
  U_ASSERT(0 != diag && "Don't dereference 0.");
  const U_Location &location = locationOf(diag);
  return static_cast<std::uint32_t>(location.isSet() ? location.getColumn() : -1);
}
