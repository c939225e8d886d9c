#include "cmdline/OptionWords.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/ListOptionKinds.h"
#include "cmdline/OrphanHandler.h"
#include "cmdline/Product.h"
#include "foundation/Assertion.h"

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// Lets the option take its value: from the rest of its own word when there
// is one, else from the following words.
void setOption(C_OptionBase &option, const std::string &rest, std::istream &in) {
  if (rest.empty()) {
    option.set(in, false);
  } else if (auto *via = dynamic_cast<C_OptionVia *>(&option)) {
    // All of the rest names the settings file.
    via->pushFile(rest, in);
  } else {
    std::istringstream ownWord(rest);
    option.set(ownWord, true);
  }
}

// Called from the handler of a bad or missing value: rethrows it while
// "errorinvalidcfgvalue" is on, else writes it to standard error.
void reportValueError(const C_Options &options, const C_ConfigurationException &error) {
  if (options.errorInvalidCfgValue().value())
    throw;
  std::cerr << error.what();
}

} // namespace

void parseOptionWords(C_CmdArgs &args, std::istream &in, C_OrphanHandler &handler) {
  U_ASSERT_THROW(args.product().isValid() && args.options() != nullptr);
  const ProductRecord &record = ProductTable[args.product().index()];
  C_Options &options = *args.options();
  std::string word;
  while (std::getline(in, word, '\n')) {
    if (word.empty() || word[0] != '-') {
      handler.handle(args, word);
      continue;
    }
    const std::string name = word.substr(1);
    std::int32_t matched = 0;
    C_OptionBase *option =
        findOptionByPrefix(args, name.c_str(), matched, record.optionNames, record.optionNameCount);
    if (!option) {
      const C_InvalidArgException error(word);
      if (options.errorInvalidCfgArg().value())
        throw error;
      std::cerr << error.what();
      continue;
    }
    try {
      setOption(*option, name.substr(static_cast<std::size_t>(matched)), in);
    } catch (const C_InvalidArgValueException &error) {
      reportValueError(options, error);
    } catch (const C_ValueExpectedException &error) {
      reportValueError(options, error);
    }
  }
}
