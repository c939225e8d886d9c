// The name rule file read through the real loader in each of the product's
// languages (the first byte chooses): it either gives one rule per rule line
// or ends with the configuration error and an errors file; the same file
// gives the same result twice, and each rule it gives can be asked about
// names.
#include "FuzzSupport.h"

#include "anlsrslt/model/CurrentFile.h"
#include "checks/NameRuleFile.h"
#include "cmdline/ConfigurationException.h"
#include "foundation/Exception.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The rule lines of the file, counted as the loader counts them.
std::size_t ruleLines(const std::string &text) {
  std::size_t count = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    if (text.compare(start, 5, "rule=") == 0)
      ++count;
    start = end + 1;
  }
  return count;
}

// The rules, or the configuration error's text with the errors file.
struct Outcome {
  std::vector<NameRule> rules;
  std::string error;
  std::string errorsFile;
};

Outcome load(const std::string &path, const std::string &errorsPath) {
  Outcome outcome;
  try {
    outcome.rules = loadNameRules(path);
  } catch (const C_ConfigurationException &error) {
    outcome.error = error.what();
    outcome.errorsFile = readFile(errorsPath);
    check(!outcome.errorsFile.empty());
  } catch (const U_Exception &) {
    // A file that cannot be taken into the internal encoding.
    outcome.error = "translation";
  }
  return outcome;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz_support::quietStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  fuzz_support::useProduct(data[0]);
  const std::string out = fuzz_support::workDirectory() + "/out";
  std::filesystem::create_directories(out);
  P_outputDirectory() = out;
  const std::string errorsPath = out + "/" + kNameCheckErrorsFile;
  const std::string path = fuzz_support::writeInput(data + 1, size - 1, "rules.txt");

  const Outcome first = load(path, errorsPath);
  if (first.error.empty()) {
    // Every rule line gave a rule. Counted where the file's bytes are read
    // unconverted (no language, or EUC).
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    if (data[0] % 4 < 2)
      check(first.rules.size() == ruleLines(text));
    check(!std::filesystem::exists(errorsPath));
    for (const NameRule &rule : first.rules) {
      // A rule without a pattern accepts a name only when it inverts.
      if (!rule.hasPattern())
        check(rule.acceptsName("name_1") == rule.invert());
      (void)rule.acceptsName("");
      (void)rule.typeMatches("pc{s::FILE}");
      (void)rule.flagMatches("SF");
    }
  }
  const Outcome second = load(path, errorsPath);
  check(first.error == second.error && first.errorsFile == second.errorsFile &&
        first.rules.size() == second.rules.size());
  return 0;
}
