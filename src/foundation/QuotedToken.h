// Tokens of record lines and format strings: quoted or blank-delimited words,
// and the escape pairs of format texts.
#pragma once

#include <istream>
#include <string>

// Input manipulator: `in >> U_QuotedToken(target)` reads one token into target.
// Blanks (" " only) are skipped; an optional leading "L" is kept; a token that
// begins with a double quote or an apostrophe runs to the matching closing
// quote, which is kept; any other token runs to the next blank, which is
// consumed and not kept. A backslash stays in the token and protects the
// character after it. The end of the stream ends the token where it stands.
class U_QuotedToken {
public:
  // Empties the target.
  explicit U_QuotedToken(std::string &target);

  friend std::istream &operator>>(std::istream &in, U_QuotedToken token);

private:
  std::string *m_target;
};

// A copy in which backslash-n, backslash-t and two backslashes become a
// newline, a tab and one backslash; every other backslash stays as it is.
std::string U_unescape(const std::string &text);
