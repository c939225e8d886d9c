#include "messages/MessageParameters.h"

#include "messages/DecimalDigits.h"
#include "messages/Diagnostic.h"

#include <cstddef>
#include <cstdint>

std::string substituteMessageParameters(const std::string &text, const U_RefPtr<M_Diagnostic> &diagnostic) {
  std::string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos++];
    if (c == '%') {
      const std::int32_t n = M_readDigits(text, pos);
      if (pos == text.size())
        break;
      const char directive = text[pos++];
      if (directive == 's') {
        const std::int32_t index = n > 0 ? n - 1 : 0;
        if (index < diagnostic->getParameterCount())
          result += diagnostic->getParameter(index)->text();
        else
          result += "{parameter " + std::to_string(static_cast<std::int64_t>(index) + 1) + " not available}";
      } else {
        result += '%';
        if (n > 0)
          result += std::to_string(n);
        result += directive;
      }
    } else if (c == '\\') {
      if (pos == text.size())
        break;
      const char escaped = text[pos++];
      result += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
    } else {
      result += c;
    }
  }
  return result;
}
