#include "messages/FormatParseException.h"

#include <utility>

FM_ParseException::FM_ParseException(std::string text)
    : m_text(std::move(text)), m_what("Error in format string '" + m_text + "'") {}

FM_ParseException::~FM_ParseException() = default;

const char *FM_ParseException::what() const noexcept { return m_what.c_str(); }

std::ostream &FM_ParseException::print(std::ostream &out) const {
  return out << "Error in format string at :" << m_text;
}
