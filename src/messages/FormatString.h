// The format-string language: renders one diagnostic as text through a format
// string of literal text and '%' directives (the format's values, conditions,
// repeat, wrapping and the location remembered between calls).
#pragma once

#include "foundation/Location.h"
#include "foundation/Ref.h"
#include "messages/Diagnostic.h"

#include <cstdint>
#include <string>

// The diagnostic rendered through the format, with u as the caller's value
// that "%u" prints and "u" tests. The format's escape pairs (backslash-n,
// backslash-t, two backslashes) are replaced first. A format that cannot be
// read or evaluated gives "Error in format string '<where>'" instead (so
// does a format that reads the location of a diagnostic without one, or
// whose result would exceed FM_maxResultLength bytes), and leaves the
// remembered location as it was. After a call that succeeds, a
// format that set Q makes the remembered location null, else one that set q
// (or showed a caret) makes it the diagnostic's location. Under the debug word
// "show-format" the token list and the result go to standard output, one
// line each. The diagnostic must be set.
std::string M_formatDiagnostic(const std::string &format, const U_RefPtr<M_Diagnostic> &diagnostic,
                               std::uint32_t u);

// The location remembered for the next call; null at the start.
U_Location &FM_previousLocation();
void FM_forgetPreviousLocation();

// The format the format-text output uses when option "format" is empty: the
// canonical file name ("%F") or, without expandfilenames, the name as written
// ("%f"), then ":%l:%c: %?u==0%(%?h%(Err%:Msg%)%:-->%) (%g;%N) %R(%u,  )%t".
std::string M_defaultFormatString(bool expandFilenames);
