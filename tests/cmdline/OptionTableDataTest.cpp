// Checks the generated option data (OptionTable.def, ProductOptionNames.def) against the facts that
// the rest of the option library relies on, so that a wrong row fails here rather than in a run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

// The argument an option's constructor takes after its name; none for the kinds without a default.
using DefaultValue = std::variant<std::monostate, bool, int, std::string_view>;

DefaultValue makeDefault() { return {}; }
DefaultValue makeDefault(bool value) { return value; }
DefaultValue makeDefault(int value) { return value; }
DefaultValue makeDefault(const char *value) { return std::string_view(value); }

struct OptionRow {
  std::string_view kind;
  std::string_view name;
  std::string_view accessor;
  std::string_view member;
  bool explicitSet;
  DefaultValue defaultValue;
};

const OptionRow kOptions[] = {
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  {#Kind, Name, #Accessor, #member, (explicitSet) != 0, makeDefault(__VA_ARGS__)},
#include "cmdline/OptionTable.def"
};

struct ProductsRow {
  std::string_view member;
  std::string_view name;
  unsigned products;
  unsigned canonicalProducts;
};

const ProductsRow kOptionProducts[] = {
#define C_OPTION_PRODUCTS(member, Name, products, canonicalProducts)                                         \
  {#member, Name, products, canonicalProducts},
#include "cmdline/ProductOptionNames.def"
};

struct AliasRow {
  std::string_view alias;
  std::string_view member;
  std::string_view option;
  unsigned products;
};

const AliasRow kAliases[] = {
#define C_OPTION_ALIAS(Alias, member, Name, products) {Alias, #member, Name, products},
#include "cmdline/ProductOptionNames.def"
};

constexpr std::size_t kOptionCount = std::size(kOptions);

// Product indexes as in the product table; a mask has bit (1 << index) per product.
enum ProductIndex { LYRPP = 0, LYR = 1, KEF = 2, DUV = 3, kProductCount = 4 };
constexpr unsigned bit(ProductIndex product) { return 1u << product; }
constexpr unsigned kAllProducts = 0xF;

const char *productName(int product) {
  static const char *const names[] = {"LYRPP", "LYR", "KEF", "DUV"};
  return names[product];
}

unsigned char foldAscii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

std::string upperAscii(std::string_view text) {
  std::string result(text);
  for (char &c : result) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z')
      c = static_cast<char>(u - 32);
  }
  return result;
}

std::optional<std::size_t> optionIndex(std::string_view name) {
  for (std::size_t i = 0; i < kOptionCount; ++i)
    if (kOptions[i].name == name)
      return i;
  return std::nullopt;
}

std::optional<std::size_t> memberIndex(std::string_view member) {
  for (std::size_t i = 0; i < kOptionCount; ++i)
    if (kOptions[i].member == member)
      return i;
  return std::nullopt;
}

const OptionRow &option(std::string_view name) {
  const auto index = optionIndex(name);
  if (!index)
    throw std::runtime_error("no option " + std::string(name));
  return kOptions[*index];
}

struct Spelling {
  std::string name;
  std::size_t option; // index into kOptions
};

bool byName(const Spelling &a, const Spelling &b) { return a.name < b.name; }

// The product's all-spellings table: its options under their own names and its aliases, in byte order.
std::vector<Spelling> allSpellings(ProductIndex product) {
  std::vector<Spelling> table;
  for (std::size_t i = 0; i < std::size(kOptionProducts); ++i)
    if (kOptionProducts[i].products & bit(product))
      table.push_back({std::string(kOptionProducts[i].name), i});
  for (const AliasRow &alias : kAliases)
    if (alias.products & bit(product))
      table.push_back({std::string(alias.alias), memberIndex(alias.member).value_or(kOptionCount)});
  std::sort(table.begin(), table.end(), byName);
  return table;
}

std::vector<Spelling> canonicalNames(ProductIndex product) {
  std::vector<Spelling> table;
  for (std::size_t i = 0; i < std::size(kOptionProducts); ++i)
    if (kOptionProducts[i].canonicalProducts & bit(product))
      table.push_back({std::string(kOptionProducts[i].name), i});
  std::sort(table.begin(), table.end(), byName);
  return table;
}

struct PrefixMatch {
  std::optional<std::size_t> option;
  std::size_t length = 0;
};

// Longest name of the table that is a prefix of the text, letter case ignored: bisect the names that
// begin with the text's first letter, then keep only strictly longer matches.
PrefixMatch findLongestPrefix(const std::vector<Spelling> &table, std::string_view text) {
  PrefixMatch match;
  const unsigned char first = text.empty() ? 0 : foldAscii(static_cast<unsigned char>(text[0]));
  const auto firstOf = [](const Spelling &s) { return static_cast<unsigned char>(s.name[0]); };
  const auto begin =
      std::partition_point(table.begin(), table.end(), [&](const Spelling &s) { return firstOf(s) < first; });
  const auto end =
      std::partition_point(begin, table.end(), [&](const Spelling &s) { return firstOf(s) <= first; });
  const Spelling *best = nullptr;
  for (auto it = begin; it != end; ++it) {
    const std::string &name = it->name;
    if (name.size() <= match.length || text.size() < name.size())
      continue;
    bool equal = true;
    for (std::size_t i = 0; i < name.size() && equal; ++i)
      equal =
          foldAscii(static_cast<unsigned char>(text[i])) == foldAscii(static_cast<unsigned char>(name[i]));
    if (equal) {
      match.length = name.size();
      best = &*it;
    }
  }
  if (best)
    match.option = best->option;
  return match;
}

std::set<std::string_view> namesOfKind(std::string_view kind) {
  std::set<std::string_view> names;
  for (const OptionRow &row : kOptions)
    if (row.kind == kind)
      names.insert(row.name);
  return names;
}

TEST(OptionTableDataTest, NamesAreUniqueLowerCaseAndInByteOrder) {
  ASSERT_EQ(149u, kOptionCount);
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    const std::string_view name = kOptions[i].name;
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(name[0] >= 'a' && name[0] <= 'z') << name;
    for (char c : name)
      EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+') << name;
    if (i > 0) { // std::string_view compares bytes as unsigned char
      EXPECT_LT(kOptions[i - 1].name, name) << "option " << i;
    }
  }

  struct Pair {
    const char *before;
    const char *after;
  };
  const Pair pairs[] = {{"c++03auto", "calling"},
                        {"d", "debug"},
                        {"pph", "pphversion"},
                        {"sql", "sqlvendor"},
                        {"version", "via"}};
  for (const Pair &p : pairs)
    EXPECT_LT(optionIndex(p.before).value_or(999), optionIndex(p.after).value_or(0)) << p.before;
}

TEST(OptionTableDataTest, AccessorAndMemberFollowTheName) {
  std::set<std::string_view> accessors;
  std::set<std::string_view> members;
  for (const OptionRow &row : kOptions) {
    // The accessor spells the name's words in capitals, "++" as "pp" and a lone "+" as "And".
    std::string spelled;
    for (std::size_t i = 0; i < row.name.size(); ++i) {
      if (row.name.substr(i, 2) == "++") {
        spelled += "pp";
        ++i;
      } else if (row.name[i] == '+') {
        spelled += "and";
      } else {
        spelled += row.name[i];
      }
    }
    std::string lowered(row.accessor);
    for (char &c : lowered)
      c = static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    EXPECT_EQ(spelled, lowered) << row.name;
    ASSERT_FALSE(row.accessor.empty());
    EXPECT_TRUE(row.accessor[0] >= 'A' && row.accessor[0] <= 'Z') << row.accessor;
    EXPECT_EQ(std::string(1, static_cast<char>(foldAscii(static_cast<unsigned char>(row.accessor[0]))))
                  .append(row.accessor.substr(1)),
              row.member);
    EXPECT_TRUE(accessors.insert(row.accessor).second) << row.accessor;
    EXPECT_TRUE(members.insert(row.member).second) << row.member;
  }

  struct Case {
    const char *name;
    const char *accessor;
    const char *member;
  };
  const Case cases[] = {{"tabstop", "TabStop", "tabStop"},
                        {"namerulefile", "NameRuleFile", "nameRuleFile"},
                        {"c++03auto", "Cpp03Auto", "cpp03Auto"},
                        {"k+r", "KAndR", "kAndR"},
                        {"d", "D", "d"},
                        {"forgetall", "ForgetAll", "forgetAll"},
                        {"xnamelength", "XNameLength", "xNameLength"}};
  for (const Case &c : cases) {
    EXPECT_EQ(c.accessor, option(c.name).accessor) << c.name;
    EXPECT_EQ(c.member, option(c.name).member) << c.name;
  }
}

TEST(OptionTableDataTest, KindCounts) {
  struct Case {
    const char *kind;
    std::size_t count;
  };
  const Case cases[] = {{"C_OptionBool", 67},   {"C_OptionStringList", 29}, {"C_OptionFilename", 16},
                        {"C_OptionString", 11}, {"C_OptionInt", 11},        {"C_OptionFilenameList", 6},
                        {"C_OptionIntList", 4}, {"C_OptionVia", 2},         {"C_OptionEcho", 1},
                        {"C_OptionForget", 1},  {"C_OptionI8NString", 1}};
  std::size_t total = 0;
  for (const Case &c : cases) {
    EXPECT_EQ(c.count, namesOfKind(c.kind).size()) << c.kind;
    total += c.count;
  }
  EXPECT_EQ(kOptionCount, total) << "an option has a kind outside the eleven";
}

TEST(OptionTableDataTest, KindsOfTheListAndSingleOptions) {
  struct Case {
    const char *kind;
    std::set<std::string_view> names;
  };
  const Case cases[] = {
      {"C_OptionStringList",
       {"align",         "customreport",  "d",           "debug",       "extensions", "filenamereplace",
        "intrinsictype", "javadoctag",    "keywords",    "nocallfrom",  "nocallto",   "noctlg",
        "nodecl",        "noderivedfrom", "noderivedto", "noinclfrom",  "noinclto",   "nometrics",
        "noreffrom",     "norefto",       "prodoption",  "remark",      "size",       "skippragma",
        "systemdefine",  "threshold",     "warncall",    "warnkeyword", "warnpragma"}},
      {"C_OptionIntList", {"expandmultihomedmessages", "nomsg", "only", "suppresslvl"}},
      {"C_OptionFilenameList", {"forceinclude", "i", "patchfile", "pph", "quiet", "systeminclude"}},
      {"C_OptionVia", {"list", "via"}},
      {"C_OptionI8NString", {"format"}},
      {"C_OptionEcho", {"echo"}},
      {"C_OptionForget", {"forgetall"}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.names, namesOfKind(c.kind)) << c.kind;

  // Options that the program reads keep the kind its readers expect.
  struct Read {
    const char *name;
    const char *kind;
  };
  const Read reads[] = {{"tabstop", "C_OptionInt"},
                        {"namerulefile", "C_OptionFilename"},
                        {"outputpath", "C_OptionFilename"},
                        {"crossmoduleanalysisfile", "C_OptionFilename"},
                        {"usrfile", "C_OptionFilename"},
                        {"usrpath", "C_OptionFilename"},
                        {"encoding", "C_OptionString"},
                        {"style", "C_OptionString"},
                        {"hdrsuppress", "C_OptionBool"},
                        {"errorinvalidcfgarg", "C_OptionBool"},
                        {"errorinvalidcfgvalue", "C_OptionBool"},
                        {"version", "C_OptionBool"},
                        {"help", "C_OptionBool"},
                        {"settings", "C_OptionBool"}};
  for (const Read &r : reads)
    EXPECT_EQ(r.kind, option(r.name).kind) << r.name;
}

TEST(OptionTableDataTest, Defaults) {
  const std::set<std::string_view> switchesOn = {"dontusec99decintlittypes",
                                                 "expandfilenames",
                                                 "metrics",
                                                 "nogen",
                                                 "rvaluerefbind",
                                                 "showalias",
                                                 "strict",
                                                 "strictsignedness"};
  const std::map<std::string_view, int> integers = {
      {"heap", 512},      {"maxrecursivetemplatenestingdepth", 200},
      {"namelength", 31}, {"tabstop", 8},
      {"xnamelength", 6}, {"pphversion", 1}};
  const std::map<std::string_view, std::string_view> texts = {{"style", "exdented"}};

  for (std::string_view name : switchesOn)
    EXPECT_EQ("C_OptionBool", option(name).kind) << name;
  for (const auto &[name, value] : integers)
    EXPECT_EQ("C_OptionInt", option(name).kind) << name;

  for (const OptionRow &row : kOptions) {
    DefaultValue expected;
    if (row.kind == "C_OptionBool") {
      expected = switchesOn.count(row.name) != 0;
    } else if (row.kind == "C_OptionInt") {
      const auto it = integers.find(row.name);
      expected = it == integers.end() ? 0 : it->second;
    } else if (row.kind == "C_OptionString" || row.kind == "C_OptionI8NString" ||
               row.kind == "C_OptionFilename") {
      const auto it = texts.find(row.name);
      expected = it == texts.end() ? std::string_view() : it->second;
    } // the list kinds, echo and forget are built from the name alone
    EXPECT_EQ(expected, row.defaultValue) << row.name;
  }
}

TEST(OptionTableDataTest, OptionsWithAnExplicitSetAccessor) {
  const std::set<std::string_view> expected = {"crossmoduleanalysisfile",
                                               "debug",
                                               "encoding",
                                               "errorinvalidcfgarg",
                                               "errorinvalidcfgvalue",
                                               "expandfilenames",
                                               "help",
                                               "namerulefile",
                                               "outputpath",
                                               "prodoption",
                                               "quiet",
                                               "settings",
                                               "threshold",
                                               "usrfile",
                                               "usrpath",
                                               "version"};
  std::set<std::string_view> actual;
  for (const OptionRow &row : kOptions)
    if (row.explicitSet)
      actual.insert(row.name);
  EXPECT_EQ(expected, actual);
}

TEST(OptionTableDataTest, ProductRowsFollowTheOptionTable) {
  ASSERT_EQ(kOptionCount, std::size(kOptionProducts));
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    EXPECT_EQ(kOptions[i].name, kOptionProducts[i].name) << i;
    EXPECT_EQ(kOptions[i].member, kOptionProducts[i].member) << i;
    EXPECT_EQ(0u, kOptionProducts[i].canonicalProducts & ~kOptionProducts[i].products) << kOptions[i].name;
  }
}

TEST(OptionTableDataTest, MembershipGroupsAreDisjointAndCoverEveryOption) {
  // Every option belongs to exactly one of these groups, so no other mask may occur.
  struct Group {
    unsigned products;
    std::size_t options;
    std::size_t aliases;
  };
  const Group groups[] = {{kAllProducts, 54, 48}, {bit(LYR) | bit(LYRPP), 15, 13},
                          {bit(LYR), 20, 16},     {bit(LYRPP), 55, 49},
                          {bit(KEF), 1, 0},       {bit(DUV), 4, 1}};
  std::map<unsigned, std::size_t> options;
  std::map<unsigned, std::size_t> aliases;
  for (const ProductsRow &row : kOptionProducts)
    ++options[row.products];
  for (const AliasRow &row : kAliases)
    ++aliases[row.products];
  std::size_t coveredOptions = 0;
  std::size_t coveredAliases = 0;
  for (const Group &g : groups) {
    EXPECT_EQ(g.options, options[g.products]) << "options of mask " << g.products;
    EXPECT_EQ(g.aliases, aliases[g.products]) << "aliases of mask " << g.products;
    coveredOptions += options[g.products];
    coveredAliases += aliases[g.products];
  }
  EXPECT_EQ(kOptionCount, coveredOptions) << "an option lies outside the six groups";
  EXPECT_EQ(std::size(kAliases), coveredAliases) << "an alias lies outside the groups";

  struct Case {
    const char *name;
    unsigned products;
  };
  const Case cases[] = {
      {"pluginpath", bit(KEF)},  {"syntaxreccmds", bit(DUV)},      {"k+r", bit(LYR)},
      {"c++03auto", bit(LYRPP)}, {"quiet", bit(LYR) | bit(LYRPP)}, {"forgetall", kAllProducts},
      {"tabstop", kAllProducts}};
  for (const Case &c : cases)
    EXPECT_EQ(c.products, kOptionProducts[optionIndex(c.name).value_or(0)].products) << c.name;
}

TEST(OptionTableDataTest, PerProductCounts) {
  struct Case {
    ProductIndex product;
    std::size_t options;
    std::size_t aliases;
    std::size_t names;
    std::size_t canonical;
  };
  const Case cases[] = {
      {LYRPP, 124, 110, 234, 85}, {LYR, 89, 77, 166, 74}, {KEF, 55, 48, 103, 41}, {DUV, 58, 49, 107, 44}};
  for (const Case &c : cases) {
    std::size_t options = 0;
    std::size_t aliases = 0;
    for (const ProductsRow &row : kOptionProducts)
      options += (row.products & bit(c.product)) != 0;
    for (const AliasRow &row : kAliases)
      aliases += (row.products & bit(c.product)) != 0;
    EXPECT_EQ(c.options, options) << productName(c.product);
    EXPECT_EQ(c.aliases, aliases) << productName(c.product);
    EXPECT_EQ(c.names, allSpellings(c.product).size()) << productName(c.product);
    EXPECT_EQ(c.canonical, canonicalNames(c.product).size()) << productName(c.product);
  }
}

TEST(OptionTableDataTest, CanonicalExclusions) {
  // Options that every product accepts but no settings listing shows, and nogen, which only the
  // two products that accept it leave out.
  std::size_t hiddenEverywhere = 0;
  for (const ProductsRow &row : kOptionProducts)
    hiddenEverywhere += row.products == kAllProducts && row.canonicalProducts == 0;
  EXPECT_EQ(14u, hiddenEverywhere);

  struct Case {
    const char *name;
    unsigned canonicalProducts;
  };
  const Case cases[] = {{"debug", 0},
                        {"customreport", 0},
                        {"updateerr", 0},
                        {"nogen", 0},
                        {"pph", 0},
                        {"userealthrowntypes", 0},
                        {"tabstop", kAllProducts},
                        {"quiet", bit(LYR) | bit(LYRPP)},
                        {"pphversion", 0},
                        {"pluginpath", bit(KEF)}};
  for (const Case &c : cases)
    EXPECT_EQ(c.canonicalProducts, kOptionProducts[optionIndex(c.name).value_or(0)].canonicalProducts)
        << c.name;
}

TEST(OptionTableDataTest, AliasesNameAnOptionOfTheirOwnProducts) {
  std::set<std::string_view> seen;
  for (const AliasRow &row : kAliases) {
    ASSERT_FALSE(row.alias.empty());
    EXPECT_TRUE(row.alias[0] >= 'a' && row.alias[0] <= 'z') << row.alias;
    for (char c : row.alias)
      EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+') << row.alias;
    EXPECT_TRUE(seen.insert(row.alias).second) << "alias twice: " << row.alias;
    EXPECT_FALSE(optionIndex(row.alias)) << "alias equals an option name: " << row.alias;
    const auto target = memberIndex(row.member);
    ASSERT_TRUE(target) << row.alias;
    EXPECT_EQ(kOptions[*target].name, row.option) << row.alias;
    EXPECT_NE(0u, row.products) << row.alias;
    EXPECT_EQ(0u, row.products & ~kOptionProducts[*target].products)
        << row.alias << " is accepted where " << row.option << " is not";
  }

  // Aliases that look alike, and options with several aliases.
  struct Case {
    const char *option;
    std::set<std::string_view> aliases;
  };
  const Case cases[] = {{"allowtmplargnullptrconv", {"atanpc"}},
                        {"allowtempnonconstrefbind", {"atncrb"}},
                        {"prodoption", {"lyrppoption", "ornoption", "po", "qo"}},
                        {"nomsg", {"n", "no"}},
                        {"forgetall", {"f", "forget"}},
                        {"tabstop", {"t", "tab"}},
                        {"c++03auto", {"c++03a"}},
                        {"syntaxreccmds", {"rec"}},
                        {"pluginpath", {}},
                        {"version", {"ver"}}};
  for (const Case &c : cases) {
    std::set<std::string_view> actual;
    for (const AliasRow &row : kAliases)
      if (row.option == c.option)
        actual.insert(row.alias);
    EXPECT_EQ(c.aliases, actual) << c.option;
  }
}

TEST(OptionTableDataTest, LookupExamples) {
  struct Case {
    ProductIndex product;
    const char *text;
    const char *option; // nullptr: no name of the product is a prefix of the text
    const char *rest;
  };
  const Case cases[] = {
      {LYR, "NOMSG", "nomsg", ""},
      {LYR, "no12", "nomsg", "12"},
      {LYR, "fix", "forceinclude", "x"},
      {LYR, "file", "file", ""},
      {LYR, "format", "format", ""},
      {LYR, "forget", "forgetall", ""},
      {LYR, "forgetall", "forgetall", ""},
      {KEF, "fix", "forgetall", "ix"},
      {KEF, "sx", nullptr, ""},
      {LYR, "sx", "size", "x"},
      {LYR, "verbose", "version", "bose"},
      {LYRPP, "verbose", "version", "bose"},
      {KEF, "verbose", "version", "bose"},
      {DUV, "verbose", "version", "bose"},
      {LYR, "opdir", "outputpath", "dir"},
      {LYR, "one", "onelineonly", ""},
      {LYR, "o12", "only", "12"},
      {LYR, "", nullptr, ""},
      {LYR, "-x", nullptr, ""},
      {LYR, "1abc", nullptr, ""},
      {LYR, "\xA4\xA2", nullptr, ""},
      {LYR, "pluginpath", nullptr, ""},
      {KEF, "pluginpath", "pluginpath", ""},
      {KEF, "quiet", nullptr, ""},
      {LYR, "QUIET", "quiet", ""},
      {LYRPP, "atanpc", "allowtmplargnullptrconv", ""},
      {LYRPP, "atncrb", "allowtempnonconstrefbind", ""},
      {LYR, "atanpc", "align", "tanpc"},
      {KEF, "atanpc", nullptr, ""},
      {DUV, "rec", "syntaxreccmds", ""},
      {LYR, "rec", nullptr, ""},
      {LYRPP, "C++03AUTO", "c++03auto", ""},
      {LYRPP, "c++03a", "c++03auto", ""},
      {LYR, "K+R8", "k+r", "8"},
      {LYR, "tab=4", "tabstop", "=4"},
      {LYR, "t4", "tabstop", "4"},
      {LYRPP, "pphversion2", "pphversion", "2"},
      {LYRPP, "pphv", "pphversion", ""},
      {LYRPP, "pph", "pph", ""},
      {LYR, "dFOO", "d", "FOO"},
      {KEF, "dFOO", nullptr, ""},
      {LYR, "ex", "extensions", ""},
      {KEF, "ex", "echo", "x"},
  };
  std::vector<Spelling> tables[kProductCount];
  for (int p = 0; p < kProductCount; ++p)
    tables[p] = allSpellings(static_cast<ProductIndex>(p));

  for (const Case &c : cases) {
    const std::string_view text = c.text;
    const PrefixMatch match = findLongestPrefix(tables[c.product], text);
    const std::string label = std::string(productName(c.product)) + " '" + c.text + "'";
    if (!c.option) {
      EXPECT_FALSE(match.option) << label;
      EXPECT_EQ(0u, match.length) << label;
      continue;
    }
    ASSERT_TRUE(match.option) << label;
    ASSERT_LT(*match.option, kOptionCount) << label;
    EXPECT_EQ(c.option, kOptions[*match.option].name) << label;
    EXPECT_EQ(c.rest, text.substr(match.length)) << label;
  }
}

TEST(OptionTableDataTest, EverySpellingFindsItsOption) {
  for (int p = 0; p < kProductCount; ++p) {
    const auto product = static_cast<ProductIndex>(p);
    const std::vector<Spelling> table = allSpellings(product);
    for (std::size_t i = 1; i < table.size(); ++i)
      EXPECT_LT(table[i - 1].name, table[i].name) << productName(p) << ": name twice or unsorted";

    for (const Spelling &s : table) {
      ASSERT_LT(s.option, kOptionCount) << s.name;
      for (const std::string &text : {s.name, upperAscii(s.name), s.name + "=1", upperAscii(s.name) + " x"}) {
        const PrefixMatch match = findLongestPrefix(table, text);
        EXPECT_EQ(s.option, match.option.value_or(kOptionCount)) << productName(p) << " '" << text << "'";
        EXPECT_EQ(s.name.size(), match.length) << productName(p) << " '" << text << "'";
      }
    }

    // An option the product does not accept is never matched under its whole name.
    for (std::size_t i = 0; i < kOptionCount; ++i) {
      if (kOptionProducts[i].products & bit(product))
        continue;
      const PrefixMatch match = findLongestPrefix(table, kOptions[i].name);
      EXPECT_LT(match.length, kOptions[i].name.size()) << productName(p) << " " << kOptions[i].name;
    }
  }
}

} // namespace
