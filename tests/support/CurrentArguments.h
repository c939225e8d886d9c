// Test helpers: the argument set of a run, made from a word list under a
// temporary installation directory of its own and made the current one, with
// every once-per-process answer computed afresh.
#pragma once

#include "cmdline/CmdArgs.h"
#include "cmdline/OrphanHandler.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/FileIdentity.h"
#include "foundation/Language.h"
#include "foundation/NamedFiles.h"
#include "foundation/TextConversion.h"
#include "support/OnceAnswerReset.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace test_support {

// Starts afresh every answer that the system computes once per process or
// caches for the installation: the once-computed option answers, the product
// language and the implicit header.
inline void resetProcessAnswers() {
  OnceAnswerReset::resetAll();
  QL_resetLanguageCaches();
  resetImplicitHeaderLocations();
  resetImplicitHeaderIdentity();
}

// Takes the words that are not options as the driver does: each names a file
// of the run.
class NamedFileCollector : public C_OrphanHandler {
public:
  void handle(C_CmdArgs &args, const std::string &word) override {
    words.push_back(word);
    addNamedFile(QL_Filename::fromPath(QL_toInternal(args.product(), word)));
  }
  bool isEmpty() const override { return words.empty(); }

  std::vector<std::string> words;
};

// The current argument set for a scope. The words are those after the product
// word on a command line, read like the command line of a run; the product's
// configuration file in the installation holds no option words, and no rc
// file is found. The installation's path is in the product's installation
// variable; the output path variable is unset, so the output directory is the
// current one unless a word names another. When it goes, a default argument
// set is current again.
class CurrentArguments {
public:
  explicit CurrentArguments(const std::vector<std::string> &words = {}, const std::string &product = "lyr")
      : m_productWord(product), m_record(recordOf(product)) {
    m_installation.writeFile(std::string(m_record.configName) + ".cfg", "#options\n");
    set(words);
  }
  ~CurrentArguments() {
    clearNamedFiles();
    C_setCurrentCmdArgs(C_CmdArgs(m_productWord.c_str(), 0, nullptr));
    resetProcessAnswers();
  }
  CurrentArguments(const CurrentArguments &) = delete;
  CurrentArguments &operator=(const CurrentArguments &) = delete;

  // Makes a new argument set from the words current, in the same
  // installation. Configuration errors of the words pass to the caller.
  void set(const std::vector<std::string> &words) {
    std::vector<const char *> argv;
    for (const std::string &word : words)
      argv.push_back(word.c_str());
    resetProcessAnswers();
    U_RefPtr<C_CmdArgs> args =
        new C_CmdArgs(m_productWord.c_str(), static_cast<int>(argv.size()), argv.data());
    NamedFileCollector files;
    args->parseSources(files);
    C_setCurrentCmdArgs(*args);
    m_inputFiles = files.words;
    resetProcessAnswers();
  }

  // The current argument set.
  C_CmdArgs &args() const { return *C_currentCmdArgs(); }
  // The words that are not options, in order.
  const std::vector<std::string> &inputFiles() const { return m_inputFiles; }
  const ScratchDirectory &installation() const { return m_installation; }

private:
  static const ProductRecord &recordOf(const std::string &product) {
    const std::int32_t index = lookupProduct(product.c_str());
    if (index < 0)
      throw std::invalid_argument("no product " + product);
    return ProductTable[index];
  }
  static std::string variable(const ProductRecord &record, const char *suffix) {
    return std::string(record.name) + suffix;
  }

  std::string m_productWord;
  const ProductRecord &m_record;
  ScratchDirectory m_installation;
  ScratchDirectory m_home;
  EnvironmentVariable m_bin{m_record.binVariable, m_installation.path()};
  EnvironmentVariable m_homeVariable{"HOME", m_home.path()};
  EnvironmentVariable m_rcPath{variable(m_record, "RCPATH"), std::nullopt};
  EnvironmentVariable m_outPath{m_record.outPathVariable, std::nullopt};
  EnvironmentVariable m_tempFiles{m_record.tempFilesVariable, m_home.path()};
  std::vector<std::string> m_inputFiles;
};

// A test fixture whose tests start with the current argument set of no words;
// setArguments makes another one current.
class CurrentArgumentsTest : public testing::Test {
protected:
  void setArguments(const std::vector<std::string> &words) { m_arguments.set(words); }

  CurrentArguments m_arguments;
};

} // namespace test_support
