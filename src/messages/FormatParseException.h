// The error of a format string that cannot be read or evaluated. The
// formatting entry catches it and gives its what() text as the result.
#pragma once

#include "foundation/Exception.h"

#include <ostream>
#include <string>

class FM_ParseException : public U_Exception {
public:
  // The text says where the format failed: the rest of the format string from
  // the failing position, the token list from the failing token, or
  // "Unexpected end".
  explicit FM_ParseException(std::string text);
  ~FM_ParseException() override;

  const std::string &text() const { return m_text; }
  // "Error in format string '" + text + "'", made for each exception.
  const char *what() const noexcept override;
  // Writes "Error in format string at :" and the text.
  virtual std::ostream &print(std::ostream &out) const;

private:
  std::string m_text;
  std::string m_what;
};
