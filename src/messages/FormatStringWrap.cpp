#include "messages/FormatStringWrap.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringLimits.h"

#include <cstddef>
#include <cstdint>

namespace {

std::int64_t tabStop() {
  static C_OnceAnswer<std::int32_t> answer([] { return C_optTabStop().value(); });
  const std::int32_t stop = answer.get();
  return stop > 0 ? stop : 1;
}

// Breaks the lines of the text. The output grows as the walk goes; a break at
// a blank already written moves the bytes after it back to the input, so
// that they are counted again on their new line.
std::string breakLines(const std::string &text, bool atBlank, std::int64_t width, const std::string &indent) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::string carried; // bytes to walk again before the rest of the text
  std::size_t carriedPos = 0;
  std::size_t pos = 0;
  std::size_t lineStart = 0; // in out
  std::int64_t col = 0;
  const auto makeRoom = [&](std::size_t bytes) {
    if (out.size() + bytes > FM_maxResultLength)
      throw FM_ParseException(FM_resultTooLongText());
  };
  // Ends the line at the end of the output; the new one starts with the indent.
  const auto breakLine = [&] {
    makeRoom(1 + indent.size());
    out += '\n';
    lineStart = out.size();
    out += indent;
    col = static_cast<std::int64_t>(indent.size());
  };
  while (carriedPos < carried.size() || pos < text.size()) {
    const bool fromCarried = carriedPos < carried.size();
    const char c = fromCarried ? carried[carriedPos] : text[pos];
    const auto consume = [&] {
      makeRoom(1);
      out += c;
      ++(fromCarried ? carriedPos : pos);
    };
    if (c == '\n') {
      consume();
      col = 0;
      lineStart = out.size();
    } else if (c == '\t') {
      consume();
      col = (col / tabStop() + 1) * tabStop();
    } else if (col <= 0 || width <= 0 || col < width) {
      consume();
      ++col;
    } else {
      // The line is full before c. In mode 2 look for a blank from c back to,
      // not including, the first byte after the line's indent.
      const std::size_t here = out.size();
      const std::size_t floor = lineStart + indent.size();
      if (atBlank && floor < here && c == ' ') {
        ++(fromCarried ? carriedPos : pos);
        breakLine();
        continue;
      }
      std::size_t blank = here;
      if (atBlank && floor < here)
        for (std::size_t k = here - 1; k > floor && blank == here; --k)
          if (out[k] == ' ')
            blank = k;
      if (blank != here) {
        carried = out.substr(blank + 1) + carried.substr(carriedPos);
        carriedPos = 0;
        out.resize(blank);
      }
      breakLine();
    }
  }
  return out;
}

} // namespace

std::string M_wrapText(std::string text, const FM_EvalContext &context) {
  const std::int64_t width = context.m_width;
  switch (context.m_wrapMode) {
  case 1:
  case 2: {
    // An indent that leaves no room on a line would break before the same
    // byte for ever: it is left out.
    const bool indentFits = width <= 0 || static_cast<std::int64_t>(context.m_indent.size()) < width;
    return breakLines(text, context.m_wrapMode == 2, width, indentFits ? context.m_indent : std::string());
  }
  case 3:
    if (width >= 0 && static_cast<std::size_t>(width) < text.size())
      text.resize(static_cast<std::size_t>(width));
    return text;
  default:
    return text;
  }
}
