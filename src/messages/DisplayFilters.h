// The tests that decide whether a diagnostic is shown: by its message number
// (options "only" and "nomsg"), its flags (error, hidden by a pragma, option
// "hiddenwarnings"), the file it lies in (named for the run, option
// "hdrsuppress", quiet files) and, on the reader side, its catalogue level
// (option "suppresslvl"). A diagnostic with the error flag passes every test.
//
// Each filter reads the number lists and flags it keeps at its first call,
// from the argument set current then, and keeps them for the process; option
// "hdrsuppress", the named files and the quiet entries are read at every call.
#pragma once

#include "foundation/Ref.h"

#include <cstdint>

class M_Diagnostic;

// The output side: whether a text output shows the diagnostic.
bool M_isMessageShown(const U_RefPtr<M_Diagnostic> &diagnostic);

// The reader side: whether a diagnostic read back from an error file is
// passed on to the checks. As M_isMessageShown, with the number tests of
// M_isMessageNumberWanted and a test of the catalogue level against option
// "suppresslvl" (the catalogue is not consulted while that option is empty).
bool M_isDiagnosticShown(U_RefPtr<M_Diagnostic> diagnostic);

// The number tests alone: false for a number in "nomsg"; otherwise true when
// "only" is empty or holds the number.
bool M_isMessageNumberWanted(U_RefPtr<M_Diagnostic> diagnostic);
bool M_isMessageNumberWanted(std::uint32_t number);

// 0 when option "only" (or "nomsg") is empty, 2 when it holds the number, 1
// otherwise.
int M_onlyListState(std::uint32_t number);
int M_nomsgListState(std::uint32_t number);
