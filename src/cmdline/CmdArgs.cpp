#include "cmdline/CmdArgs.h"

namespace {

U_RefPtr<C_CmdArgs> &currentCmdArgs() {
  static U_RefPtr<C_CmdArgs> current;
  return current;
}

} // namespace

C_CmdArgs::C_CmdArgs(const char *productWord, int count, const char *const *words) : m_product(productWord) {
  if (!m_product.isValid())
    return;
  m_options = new C_Options(this);
  addWords(count, words);
}

C_CmdArgs::C_CmdArgs(const C_CmdArgs &other)
    : U_Ref(other), m_product(other.m_product), m_words(other.m_words), m_sourcesRead(other.m_sourcesRead) {
  if (other.m_options.isSet())
    m_options = new C_Options(*other.m_options);
}

void C_CmdArgs::addWords(int count, const char *const *words) {
  if (!words)
    return;
  for (int i = 0; i < count; ++i)
    m_words.emplace_back(words[i] ? words[i] : "");
}

bool C_CmdArgs::hasDebugFlag(const U_RefPtr<C_CmdArgs> &args, const char *word) {
  if (!args.isSet() || !args->options())
    return false;
  return C_Options::hasDebugFlag(*args->options(), word);
}

void C_setCurrentCmdArgs(const C_CmdArgs &args) { currentCmdArgs() = new C_CmdArgs(args); }

C_CmdArgs *C_currentCmdArgs() { return currentCmdArgs().pointer(); }
