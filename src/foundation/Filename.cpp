#include "foundation/Filename.h"

#include <utility>

U_Filename::U_Filename() { Store::instance(); }

U_Filename::U_Filename(const std::string &text) : m_entry(Store::instance().intern(text)) {}

U_Filename::U_Filename(const char *text) : m_entry(Store::instance().intern(text)) {}

U_Filename::U_Filename(std::string_view text) : m_entry(Store::instance().intern(text)) {}

U_Filename::U_Filename(std::string &&text) : m_entry(Store::instance().intern(std::move(text))) {}

U_Filename U_Filename::find(std::string_view text) {
  U_Filename name;
  name.m_entry = Store::instance().find(text);
  return name;
}

std::string U_Filename::str() const { return std::string(c_str()); }

const char *U_Filename::c_str() const { return m_entry ? m_entry->text.c_str() : ""; }

std::ostream &U_Filename::print(std::ostream &out) const { return out << c_str(); }

std::ostream &operator<<(std::ostream &out, const U_Filename &name) { return name.print(out); }
