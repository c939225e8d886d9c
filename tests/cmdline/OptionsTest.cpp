#include "cmdline/Options.h"
#include "cmdline/CmdArgs.h"

#include "cmdline/Product.h"
#include "foundation/Exception.h"
#include "support/TextLines.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using test_support::lines;

TEST(OptionsTest, DebugWordsAreWholeCaseSensitiveTexts) {
  const struct {
    std::vector<std::string> values;
    bool expected; // for the word "log"
  } cases[] = {
      {{}, false},
      {{"LOG"}, false},
      {{"log "}, false},
      {{"logs"}, false},
      {{"lo"}, false},
      {{"log,always-first"}, false}, // one value per use: a joined value is neither word
      {{"log"}, true},
      {{"LOG", "log"}, true},
      {{"always-first", "log", "x"}, true},
  };
  for (const auto &c : cases) {
    C_Options options;
    for (const std::string &value : c.values)
      options.debug().add(value);
    EXPECT_EQ(c.expected, C_Options::hasDebugFlag(options, "log")) << testing::PrintToString(c.values);
  }
  C_Options options;
  options.debug().add("");
  options.debug().add("log");
  EXPECT_TRUE(C_Options::hasDebugFlag(options, ""));
  EXPECT_FALSE(C_Options::hasDebugFlag(options, nullptr));
}

TEST(OptionsTest, CopyKeepsValues) {
  C_Options options;
  options.debug().add("log");
  options.debug().add("always-first");
  const C_Options copy(options);
  options.debug().forget();
  EXPECT_TRUE(C_Options::hasDebugFlag(copy, "always-first"));
  EXPECT_FALSE(C_Options::hasDebugFlag(options, "always-first"));
  EXPECT_EQ(0u, copy.referenceCount());
}

TEST(OptionsTest, DebugFlagReadsTheCurrentArgumentSet) {
  C_CmdArgs args("lyr", 0, nullptr);
  args.options()->debug().add("os-independent-slash");
  C_setCurrentCmdArgs(args);
  EXPECT_TRUE(debugFlag("os-independent-slash"));
  EXPECT_FALSE(debugFlag("always-first"));
  // The current set is a copy: later changes to the original do not show.
  args.options()->debug().add("always-first");
  EXPECT_FALSE(debugFlag("always-first"));
  C_currentCmdArgs()->options()->debug().add("always-first");
  EXPECT_TRUE(debugFlag("always-first"));
}

void useInOwnWord(C_OptionBase &option, const std::string &rest) {
  std::istringstream in(rest);
  option.set(in, true);
}

TEST(OptionsTest, DebugWordsOfSeparateUses) {
  C_CmdArgs args("lyr", 0, nullptr);
  std::istringstream words("log\n=always-first\nsimpleoutput\n");
  for (int use = 0; use < 3; ++use)
    args.options()->debug().set(words, false);
  useInOwnWord(args.options()->debug(), "show-format,sort-messages");
  const U_RefPtr<C_CmdArgs> handle(new C_CmdArgs(args));
  for (const char *word : {"log", "always-first", "simpleoutput", "show-format,sort-messages"}) {
    EXPECT_TRUE(C_Options::hasDebugFlag(*args.options(), word)) << word;
    EXPECT_TRUE(C_CmdArgs::hasDebugFlag(handle, word)) << word;
  }
  for (const char *word : {"show-format", "sort-messages", "=always-first", ""})
    EXPECT_FALSE(C_Options::hasDebugFlag(*args.options(), word)) << word;
}

struct Snapshot {
  std::string name;
  std::string valueText;
  bool isSet;
  friend bool operator==(const Snapshot &, const Snapshot &) = default;
};

std::vector<Snapshot> snapshot(const C_Options &options) {
  std::vector<Snapshot> members;
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  members.push_back({options.member().name(), options.member().valueText(), options.member().isSet()});
#include "cmdline/OptionTable.def"
  return members;
}

TEST(OptionsTest, FreshSetHoldsEveryOptionInByteOrderWithItsDefault) {
  const std::set<std::string> onSwitches{
      "expandfilenames", "metrics",          "nogen",         "showalias",
      "strict",          "strictsignedness", "rvaluerefbind", "dontusec99decintlittypes"};
  const std::vector<std::pair<std::string, std::string>> otherDefaults{
      {"heap", "512"},      {"maxrecursivetemplatenestingdepth", "200"},
      {"namelength", "31"}, {"tabstop", "8"},
      {"xnamelength", "6"}, {"pphversion", "1"},
      {"style", "exdented"}};
  const C_Options options;
  std::vector<std::string> names;
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  {                                                                                                          \
    const std::string name = options.member().name();                                                        \
    names.push_back(name);                                                                                   \
    EXPECT_EQ(Name, name);                                                                                   \
    EXPECT_FALSE(options.member().isSet()) << name;                                                          \
    std::string expected = std::is_same_v<Kind, C_OptionBool>                                                \
                               ? (onSwitches.count(name) ? "+ (on)" : "- (off)")                             \
                           : std::is_same_v<Kind, C_OptionInt> ? "0"                                         \
                                                               : "";                                         \
    for (const auto &other : otherDefaults)                                                                  \
      if (other.first == name)                                                                               \
        expected = other.second;                                                                             \
    EXPECT_EQ(expected, options.member().valueText()) << name;                                               \
  }
#include "cmdline/OptionTable.def"
  ASSERT_EQ(149u, names.size());
  for (std::size_t i = 1; i < names.size(); ++i)
    EXPECT_LT(names[i - 1], names[i]); // byte order: "c++03auto" < "calling", "via" after "version"
  EXPECT_STREQ("exdented", options.style().cStr());
  EXPECT_EQ(nullptr, options.ident().cStr());
}

TEST(OptionsTest, CopyKeepsEveryValueAndSetFlag) {
  C_CmdArgs args("lyrpp", 0, nullptr);
  C_Options &options = *args.options();
  useInOwnWord(options.tabStop(), "4");
  useInOwnWord(options.metrics(), "-");
  useInOwnWord(options.unsignedChar(), "+");
  useInOwnWord(options.style(), "indented");
  useInOwnWord(options.ident(), "=");
  useInOwnWord(options.format(), "%f:%l");
  useInOwnWord(options.outputPath(), "out\\dir");
  useInOwnWord(options.debug(), "log");
  useInOwnWord(options.debug(), "always-first");
  useInOwnWord(options.noMsg(), "1-3,7");
  useInOwnWord(options.quiet(), "/usr/include");
  const std::vector<Snapshot> before = snapshot(options);

  const C_Options copy(options);
  EXPECT_EQ(0u, copy.referenceCount());
  EXPECT_EQ(4711, copy.marker());
  EXPECT_EQ(&args, options.forgetAll().owner());
  EXPECT_EQ(nullptr, copy.forgetAll().owner());
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...) options.member().forget();
#include "cmdline/OptionTable.def"
  EXPECT_EQ(before, snapshot(copy));
  EXPECT_EQ(snapshot(C_Options()), snapshot(options));
  EXPECT_EQ("out/dir", copy.outputPath().getValue());
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3, 7}), copy.noMsg().values());
}

TEST(OptionsTest, GlobalAccessorsReachTheCurrentArgumentSet) {
  C_CmdArgs args("lyr", 0, nullptr);
  useInOwnWord(args.options()->tabStop(), "3");
  C_setCurrentCmdArgs(args);
  C_Options &current = *C_currentCmdArgs()->options();
  EXPECT_EQ(3, C_optTabStop().value());
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  {                                                                                                          \
    Kind &option = C_opt##Accessor();                                                                        \
    EXPECT_EQ(&current.member(), &option) << Name;                                                           \
  }
#include "cmdline/OptionTable.def"

  // The accessors that take the option set to read, for code holding a set
  // that is not current.
  C_Options &options = *args.options();
  const std::vector<std::pair<const C_OptionBase *, const C_OptionBase *>> explicitOnes{
      {&C_optCrossModuleAnalysisFile(options), &options.crossModuleAnalysisFile()},
      {&C_optDebug(options), &options.debug()},
      {&C_optEncoding(options), &options.encoding()},
      {&C_optErrorInvalidCfgArg(options), &options.errorInvalidCfgArg()},
      {&C_optErrorInvalidCfgValue(options), &options.errorInvalidCfgValue()},
      {&C_optExpandFilenames(options), &options.expandFilenames()},
      {&C_optHelp(options), &options.help()},
      {&C_optNameRuleFile(options), &options.nameRuleFile()},
      {&C_optOutputPath(options), &options.outputPath()},
      {&C_optProdOption(options), &options.prodOption()},
      {&C_optQuiet(options), &options.quiet()},
      {&C_optSettings(options), &options.settings()},
      {&C_optThreshold(options), &options.threshold()},
      {&C_optUsrFile(options), &options.usrFile()},
      {&C_optUsrPath(options), &options.usrPath()},
      {&C_optVersion(options), &options.version()},
  };
  for (const auto &[viaAccessor, member] : explicitOnes)
    EXPECT_EQ(member, viaAccessor) << member->name();
}

std::string listing(const C_CmdArgs *args) {
  std::FILE *file = std::tmpfile();
  if (!file)
    return "(no temporary file)";
  if (args)
    printOptionSettings(*args, file);
  else
    printCurrentOptionSettings(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;)
    text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

TEST(OptionsTest, SettingsListing) {
  struct Case {
    const char *product;
    std::size_t count;
    std::vector<const char *> expected; // lines that must be there, newline excluded
  };
  const Case cases[] = {
      {"lyr",
       74,
       {"-tabstop                 8", "-style                   exdented", "-nomsg                   1-3 5",
        "-metrics                 - (off)", "-echo                    ", "-forgetall               ",
        "-via                     ", "-i                       ", "-remark                  a b, c, "}},
      {"lyrpp",
       85,
       {"-allowimplicitconvptrmbr - (off)", "-maxrecursivetemplatenestingdepth 200",
        "-allowtempnonconstrefbind - (off)", "-rvaluerefbind           + (on)"}},
      {"kef", 41, {"-pluginpath              ", "-tabstop                 8"}},
      {"duv", 44, {"-javadoctag              ", "-closeprec               "}},
  };
  for (const Case &c : cases) {
    C_CmdArgs args(c.product, 0, nullptr);
    useInOwnWord(args.options()->noMsg(), "1-3,5");
    useInOwnWord(args.options()->metrics(), "-");
    useInOwnWord(args.options()->remark(), "a b");
    useInOwnWord(args.options()->remark(), "c");
    useInOwnWord(args.options()->debug(), "log"); // not listed
    const std::string text = listing(&args);
    const std::vector<std::string> all = lines(text);
    ASSERT_EQ(c.count, all.size()) << c.product;
    EXPECT_EQ('\n', text.back());
    const ProductRecord &product = ProductTable[args.product().index()];
    for (std::size_t i = 0; i < all.size(); ++i) {
      const std::string name = product.canonicalNames[i].name;
      EXPECT_EQ("-" + name + (name.size() < 23 ? std::string(23 - name.size(), ' ') : "") + " ",
                all[i].substr(0, 2 + std::max<std::size_t>(23, name.size())))
          << c.product << " " << name;
    }
    for (const char *line : c.expected)
      EXPECT_NE(all.end(), std::find(all.begin(), all.end(), line)) << c.product << " '" << line << "'";
    for (const std::string &line : all)
      EXPECT_NE(0u, line.rfind("-debug ", 0)) << c.product;
  }

  C_CmdArgs args("lyr", 0, nullptr);
  useInOwnWord(args.options()->tabStop(), "2");
  C_setCurrentCmdArgs(args);
  EXPECT_EQ(listing(&args), listing(nullptr));
  const std::vector<std::string> current = lines(listing(nullptr));
  EXPECT_NE(current.end(), std::find(current.begin(), current.end(), "-tabstop                 2"));
}

// The listing shows the names of the current product, whichever product the
// argument set was made for, with the argument set's values.
TEST(OptionsTest, SettingsListingFollowsTheCurrentProduct) {
  C_CmdArgs args("lyr", 0, nullptr);
  useInOwnWord(args.options()->tabStop(), "5");
  useInOwnWord(args.options()->pluginPath(), "plug");
  const C_Product other("kef"); // now the current product
  const std::vector<std::string> all = lines(listing(&args));
  EXPECT_EQ(41u, all.size());
  for (const char *line : {"-tabstop                 5", "-pluginpath              plug"})
    EXPECT_NE(all.end(), std::find(all.begin(), all.end(), line)) << line;
  for (const std::string &line : all)
    EXPECT_NE(0u, line.rfind("-namelength ", 0)); // an option of lyr only
}

} // namespace
