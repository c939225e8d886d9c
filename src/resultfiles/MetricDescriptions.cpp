#include "resultfiles/MetricDescriptions.h"

MI_LiteralBase::MI_LiteralBase(const U_Location &location, int scope, int type)
    : m_location(location), m_scope(scope), m_type(type) {}

const char *MI_LiteralBase::includeLetter() const { return m_location.hasInclLoc() ? "I" : "N"; }

std::string MI_LiteralBase::dash() { return "-"; }

std::string MI_LiteralBase::copy(const std::string &text) { return text; }

std::string MI_LiteralBase::orDash(const std::string &text) { return text.empty() ? dash() : text; }
