// Reads a format string into tokens. The format language mixes literal text
// with directives introduced by '%': values of the diagnostic, conditionals
// (%?condition%(then%:else%)), a repeat (%R(count,text)) and settings for
// wrapping, indentation and the remembered location.
#pragma once

#include "messages/FormatStringToken.h"

#include <string>

// The tokens of the format text (its escape pairs already replaced), in
// order. A text that cannot be read raises FM_ParseException with
// "Unexpected end" or with the rest of the text from where reading failed.
// The then part, the else part and the end of a conditional are read as plain
// text: their nesting is not checked here.
FM_TokenList lexFormatString(const std::string &text);
