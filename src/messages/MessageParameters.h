// The parameters of a diagnostic put into a catalogue text.
#pragma once

#include "foundation/Ref.h"

#include <string>

class M_Diagnostic;

// The text with its references replaced: "%<n>s" (n digits, none, 0 or 1 for
// the first) gives the text of parameter n, or "{parameter <n> not
// available}"; any other character after "%<n>" stays with its '%' and with
// n when n is above 0; "\n" and "\t" give a newline and a tab, a backslash
// before any other character gives that character. A '%' with only digits
// after it, or a backslash, at the very end gives nothing. Numbers stop at
// INT_MAX.
std::string substituteMessageParameters(const std::string &text, const U_RefPtr<M_Diagnostic> &diagnostic);
