// A diagnostic as the model and the query interface see it: the diagnostic
// with the proxy of its file, whose interned name the checks are given.
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Ref.h"
#include "messages/Diagnostic.h"

#include <cstdint>

struct P_Diagnostic : public U_Ref {
  // A diagnostic read back from an error file, shared with the caller. The
  // proxy is that of its location's file made canonical once more. A diagnostic
  // without a location gets the proxy of the empty path (name "") and is kept
  // all the same; under the debug word "always_read_errors" a line on standard
  // output says so.
  explicit P_Diagnostic(const U_RefPtr<M_Diagnostic> &diagnostic);

  // A new finding of a check: a new diagnostic with the number at the line
  // and column of the file, carrying the include location recorded for the
  // file (makeIncludedLocation). The location takes the name unchanged as
  // both its canonical name and its name as written; the proxy is that of
  // the name made canonical. The names the query interface hands out are
  // proxy names, each its own canonical form also when its directory does
  // not exist on this machine (such a name is kept as the record gave it),
  // so for them the location is the model's file: it finds the file's
  // include location and compares equal to the other locations of the file.
  // Any other name is taken as it is; nothing here ends the run.
  P_Diagnostic(std::uint32_t number, const char *file, std::int32_t line, std::int32_t column);

  // Drops the diagnostic, then the file.
  ~P_Diagnostic() override = default;

  U_RefPtr<FilenameProxy> m_filename;
  U_RefPtr<M_Diagnostic> m_diagnostic;
};

// The order of model diagnostics: by location (files in interning order),
// number and parameter texts (M_compareDiagnostics gives -1).
bool P_diagnosticLess(const U_RefPtr<P_Diagnostic> &a, const U_RefPtr<P_Diagnostic> &b);
