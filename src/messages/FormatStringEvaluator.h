// Evaluation of the tokens of a format string against a diagnostic.
#pragma once

#include "messages/FormatEvalContext.h"
#include "messages/FormatStringToken.h"

#include <string>

class M_MessageEntry;

// The text of the whole token list. A "%:" or "%)" outside any conditional
// ends the text; the tokens after it are left alone. Settings (wrap mode,
// width, indent, q and Q) go to the context. A token that does not fit where
// it stands raises FM_ParseException with the token list from that token on;
// a list that ends where more is needed, "Unexpected end". A value of the
// location of a diagnostic that has none raises it with "Diagnostic without
// location". More than FM_maxResultLength bytes of text, raises it with
// FM_resultTooLongText().
std::string FM_evaluate(const FM_TokenList &tokens, FM_EvalContext &context);

// The catalogue entry of the context's diagnostic, for the current value of
// option "standard"; the entry of unknown numbers ("Unknown error", level
// "fatal") when the catalogue has none.
const M_MessageEntry &lookupMessageEntry(const FM_EvalContext &context);
