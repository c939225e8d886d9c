// Wrapping of a rendered format string, by the settings its format made.
#pragma once

#include "messages/FormatEvalContext.h"

#include <string>

// Mode 0 keeps the text; mode 3 keeps its first width bytes (all of it for a
// negative width). Modes 1 and 2 count columns in bytes, a tab to the next
// multiple of option "tabstop" (read once per process; 0 or less counts as
// 1), and break a line when its column has reached a positive width: mode 1
// before the byte that does not fit, mode 2 at the last blank of the line
// after its indent when there is one. The indent follows every line break
// that wrapping inserts; an indent at least as long as the width is left out.
// A result longer than FM_maxResultLength raises FM_ParseException.
std::string M_wrapText(std::string text, const FM_EvalContext &context);
