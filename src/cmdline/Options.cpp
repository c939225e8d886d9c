#include "cmdline/Options.h"

#include "cmdline/CmdArgs.h"

#include <cstring>

bool C_Options::hasDebugFlag(const C_Options &options, const char *word) {
  if (!word)
    return false;
  const std::size_t length = std::strlen(word);
  for (const std::string &value : options.debug())
    if (value.size() == length && value.compare(0, length, word, length) == 0)
      return true;
  return false;
}

bool debugFlag(const char *word) {
  const C_CmdArgs *args = C_currentCmdArgs();
  if (!args || !args->options())
    return false;
  return C_Options::hasDebugFlag(*args->options(), word);
}
