// Test helpers: diagnostics built in one call.
#pragma once

#include "foundation/Location.h"
#include "messages/Diagnostic.h"

#include <cstdint>
#include <vector>

namespace test_support {

using DiagnosticList = std::vector<U_RefPtr<M_Diagnostic>>;

// A new diagnostic with the number at the location (none by default).
inline U_RefPtr<M_Diagnostic> diagnostic(std::uint32_t number, const U_Location &location = U_Location()) {
  return U_RefPtr<M_Diagnostic>(new M_Diagnostic(number, location));
}

// The same with its pragma and error flags set as given.
inline U_RefPtr<M_Diagnostic> flaggedDiagnostic(std::uint32_t number, bool hiddenByPragma, bool error,
                                                const U_Location &location = U_Location()) {
  U_RefPtr<M_Diagnostic> made = diagnostic(number, location);
  made->setHiddenByPragma(hiddenByPragma);
  made->setError(error);
  return made;
}

} // namespace test_support
