#include "cmdline/CmdArgs.h"

#include "cmdline/ArgsSource.h"
#include "cmdline/CmdArgStreamBuffer.h"
#include "cmdline/ConfigFile.h"
#include "cmdline/OptionWords.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Assertion.h"
#include "foundation/FileIdentity.h"
#include "foundation/Language.h"
#include "foundation/NamedFiles.h"
#include "foundation/PathText.h"
#include "platform/Environment.h"

#include <istream>
#include <optional>

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

void C_CmdArgs::parseSources(C_OrphanHandler &handler) {
  if (m_sourcesRead)
    return;
  U_ASSERT_THROW(m_product.isValid() && m_options.isSet());
  const ProductRecord &record = ProductTable[m_product.index()];
  const std::optional<std::string> binDir = platform::environmentValue(record.binVariable);
  const std::string tempDir = productTempDir(m_product);
  const QL_EncodingKind kind = QL_languageEncoding(m_product);
  const QL_FileTranslatorPtr configFile = readProductConfigFile(
      kind, tempDir, binDir ? binDir->c_str() : nullptr, record.configName, record.configSections, true);
  clearNamedFiles();

  // Pushed last, read first.
  C_ArgsSourceStack stack(true);
  stack.push(U_RefPtr<C_ArgsSource>(new C_ArgvSource(m_product, m_words)));
  stack.push(U_RefPtr<C_ArgsSource>(new C_FileSource(m_product, productRcFile(m_product), kind, tempDir)));
  if (configFile.isSet())
    stack.push(U_RefPtr<C_ArgsSource>(new C_FileSource(m_product, configFile)));
  {
    C_CmdArgStreamBuffer buffer(m_product, kind, tempDir, stack);
    std::istream words(&buffer);
    parseOptionWords(*this, words, handler);
  }
  m_sourcesRead = true;

  const C_OptionFilename &crossModule = m_options->crossModuleAnalysisFile();
  if (crossModule.isSet() && !crossModule.getValue().empty())
    addNamedFile(QL_Filename::fromPath(crossModule.getValue()));
}

bool C_CmdArgs::hasDebugFlag(const U_RefPtr<C_CmdArgs> &args, const char *word) {
  if (!args.isSet() || !args->options())
    return false;
  return C_Options::hasDebugFlag(*args->options(), word);
}

void C_setCurrentCmdArgs(const C_CmdArgs &args) { currentCmdArgs() = new C_CmdArgs(args); }

C_CmdArgs *C_currentCmdArgs() { return currentCmdArgs().pointer(); }
