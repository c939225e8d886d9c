#include "foundation/Assertion.h"

#include "foundation/Exception.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

namespace {
void replaceAll(std::string &text, const std::string &from, const std::string &to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}
} // namespace

void reportAssertion(const char *unit, unsigned line, const char *kind, const char *expression) {
  // Expressions may carry "<NL>" and "<TB>" to lay out long conditions.
  std::string expanded = expression ? expression : "";
  replaceAll(expanded, "<NL>", "   \n");
  replaceAll(expanded, "<TB>", "   \t");
  std::ostringstream report;
  report << kind << " at " << unit << ":" << line << ": Assertion '" << expanded << "' failed.";
  std::cerr << report.str() << std::endl;
}

void assertFailed(const char *unit, unsigned line, const char *expression, bool) {
  reportAssertion(unit, line, "Assertion", expression);
  std::raise(SIGABRT);
  std::abort(); // only reached when SIGABRT is ignored
}

void assertFailedThrow(const char *unit, unsigned line, const char *expression) {
  reportAssertion(unit, line, "Assertion", expression);
  throw U_AssertException();
}
