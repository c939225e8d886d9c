// Reading the fields of one record line in turn, by the rules of stream
// extraction from the whole line: white space (blank, tab, line feed,
// vertical tab, form feed, carriage return) before a field is skipped, a word
// ends at the next white-space character, a number is an optional sign and
// decimal digits that must fit a signed 32-bit integer. Once a field cannot
// be read every later one fails too, as on a stream. The line is read in
// place: nothing is copied but the fields themselves.
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <string>
#include <string_view>

class P_NameToken;

class P_RecordFields {
public:
  explicit P_RecordFields(std::string_view line) : m_line(line) {}

  // Whether every field so far was read.
  bool ok() const { return !m_failed; }
  explicit operator bool() const { return ok(); }

  // A word into out (emptied first).
  P_RecordFields &word(std::string &out);
  // The next word, left in the line; empty when none could be read.
  std::string_view word();
  // A word in the marked form of an encoded name (P_NameToken).
  P_RecordFields &name(P_NameToken &out);
  // A token as U_QuotedToken reads it (only blanks skipped, an "L" prefix
  // and quotes kept, a backslash protects the next character) into out
  // (emptied first); a token that the end of the line ends fails.
  P_RecordFields &quoted(std::string &out);
  // The same token without a copy where it can be: a plain one (no quote,
  // "L" prefix or backslash) is left in the line, any other is read into
  // scratch (emptied first), and a token that fails keeps what was read of
  // it there, as in the other form. out stays valid while the line and
  // scratch do; it is empty when an earlier field failed.
  P_RecordFields &quoted(std::string_view &out, std::string &scratch);
  // One character that is not white space.
  P_RecordFields &letter(char &out);
  // A signed 32-bit decimal number.
  P_RecordFields &number(std::int32_t &out);
  // A file-name token (as U_QuotedToken reads it: only blanks skipped, a
  // quoted token runs to its closing quote, a backslash protects the next
  // character, a token that the end of the line ends fails) and the proxy of
  // the file it names; the handle is set also when the token fails.
  P_RecordFields &file(U_RefPtr<FilenameProxy> &out);

  // What the fields read so far left of the line, as it stands (empty once a
  // field failed).
  std::string_view rest() const { return m_failed ? std::string_view() : m_line.substr(m_at); }

private:
  // Skips white space; false (and the reading failed) at the end.
  bool skipSpace();

  // The characters of the line for U_readQuotedToken.
  template <class Source> friend bool U_readQuotedToken(Source &source, std::string &target);
  int peek() const;
  int take();

  std::string_view m_line;
  std::size_t m_at = 0;
  bool m_failed = false;
};
