#include "cmdline/Options.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "foundation/Assertion.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

C_Options &currentOptions() {
  C_CmdArgs *args = C_currentCmdArgs();
  U_ASSERT_THROW(args != nullptr && args->options() != nullptr);
  return *args->options();
}

} // namespace

C_Options::C_Options(C_CmdArgs *owner)
    : U_Ref()
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...) , m_##member(Name __VA_OPT__(, ) __VA_ARGS__)
#include "cmdline/OptionTable.def"
{
  m_forgetAll.setOwner(owner);
}

bool C_Options::hasDebugFlag(const C_Options &options, const char *word) {
  if (!word)
    return false;
  const std::vector<std::string> &values = options.debug().values();
  return std::find(values.begin(), values.end(), word) != values.end();
}

#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  Kind &C_opt##Accessor() { return currentOptions().member(); }
#include "cmdline/OptionTable.def"

#define C_OPTION_EXPLICIT_SET_0(Kind, Accessor, member)
#define C_OPTION_EXPLICIT_SET_1(Kind, Accessor, member)                                                      \
  Kind &C_opt##Accessor(C_Options &options) { return options.member(); }
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  C_OPTION_EXPLICIT_SET_##explicitSet(Kind, Accessor, member)
#include "cmdline/OptionTable.def"
#undef C_OPTION_EXPLICIT_SET_0
#undef C_OPTION_EXPLICIT_SET_1

bool debugFlag(const char *word) {
  const C_CmdArgs *args = C_currentCmdArgs();
  if (!args || !args->options())
    return false;
  return C_Options::hasDebugFlag(*args->options(), word);
}

void printOptionSettings(const C_CmdArgs &args, std::FILE *stream) {
  // The names and their order are those of the current product; the values
  // are those of the argument set.
  const C_Product *current = C_currentProduct();
  if (!args.options() || !current || !current->isValid())
    return;
  const ProductRecord &product = ProductTable[current->index()];
  for (std::int32_t i = 0; i < product.canonicalNameCount; ++i) {
    const C_OptionBase &option = product.canonicalNames[i].accessor(*args.options());
    std::fprintf(stream, "%s%-23s %s\n", "-", option.name().c_str(), option.valueText().c_str());
  }
}

void printCurrentOptionSettings(std::FILE *stream) {
  const C_CmdArgs *args = C_currentCmdArgs();
  U_ASSERT_THROW(args != nullptr);
  printOptionSettings(*args, stream);
}
