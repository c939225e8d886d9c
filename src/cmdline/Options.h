// The option set of an argument set and the test for debug words.
#pragma once

#include "foundation/Ref.h"

#include <string>
#include <vector>

class C_Options : public U_Ref {
public:
  C_Options() = default;
  C_Options(const C_Options &) = default;
  ~C_Options() override = default;

  // The values of the string-list option "debug", one per use, in the order
  // in which they were given.
  std::vector<std::string> &debug() { return m_debug; }
  const std::vector<std::string> &debug() const { return m_debug; }

  // Whether some value of "debug" is exactly the word (letter case counts).
  static bool hasDebugFlag(const C_Options &options, const char *word);

private:
  std::vector<std::string> m_debug;
};

// hasDebugFlag on the options of the current argument set; false while no
// argument set is current.
bool debugFlag(const char *word);
