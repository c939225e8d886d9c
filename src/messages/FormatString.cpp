#include "messages/FormatString.h"

#include "cmdline/Options.h"
#include "foundation/Assertion.h"
#include "foundation/QuotedToken.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringEvaluator.h"
#include "messages/FormatStringReader.h"
#include "messages/FormatStringWrap.h"

#include <iostream>

std::string M_formatDiagnostic(const std::string &format, const U_RefPtr<M_Diagnostic> &diagnostic,
                               std::uint32_t u) {
  U_ASSERT(diagnostic.isSet() && "Dont dereference 0.");
  const bool showFormat = debugFlag("show-format");
  try {
    const FM_TokenList tokens = lexFormatString(U_unescape(format));
    if (showFormat)
      std::cout << FM_tokenListText(tokens) << std::endl;
    FM_EvalContext context(u, diagnostic, FM_previousLocation());
    const std::string result = M_wrapText(FM_evaluate(tokens, context), context);
    if (showFormat)
      std::cout << result << std::endl;
    if (context.m_forget)
      FM_forgetPreviousLocation();
    else if (context.m_remember)
      FM_previousLocation() = diagnostic->getLocation();
    return result;
  } catch (const FM_ParseException &error) {
    return error.what();
  }
}

U_Location &FM_previousLocation() {
  static U_Location location;
  return location;
}

void FM_forgetPreviousLocation() { FM_previousLocation() = U_Location(); }

std::string M_defaultFormatString(bool expandFilenames) {
  return std::string(expandFilenames ? "%F" : "%f") +
         ":%l:%c: %?u==0%(%?h%(Err%:Msg%)%:-->%) (%g;%N) %R(%u,  )%t";
}
