#include "foundation/Filename.h"

U_Filename::U_Filename() { Store::instance(); }

U_Filename::U_Filename(const std::string &text) : m_entry(Store::instance().intern(text)) {}

U_Filename::U_Filename(const char *text) : m_entry(Store::instance().intern(text)) {}

std::string U_Filename::str() const { return std::string(c_str()); }

const char *U_Filename::c_str() const { return m_entry ? m_entry->text.c_str() : ""; }

std::ostream &U_Filename::print(std::ostream &out) const { return out << c_str(); }

std::ostream &operator<<(std::ostream &out, const U_Filename &name) { return name.print(out); }
