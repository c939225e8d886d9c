#include "cmdline/Product.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

TEST(ProductTest, LookupProduct) {
  const struct {
    const char *word;
    int expected;
  } cases[] = {
      {"lyr", 1},         {"LYR", 1}, {"Lyr", 1},   {"lyrpp", 0}, {"lyr++", 0},  {"LyR+p", 0},
      {"kef", 2},         {"duv", 3}, {"lyrc", -1}, {"", -1},     {nullptr, -1}, {"lyrpp     ", -1},
      {"lyrppxxxxx", -1}, {"ly", -1}, {"p", -1},    {"lyr ", -1},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.expected, lookupProduct(c.word)) << (c.word ? c.word : "(null)");
}

TEST(ProductTest, NineCharactersCount) {
  // A long word is cut to its first nine characters before the comparison,
  // so no ten-character word names a product.
  const std::string longWord = "lyr" + std::string(7, '\0') + "x";
  EXPECT_EQ(1, lookupProduct(longWord.c_str()));
  EXPECT_EQ(-1, lookupProduct("duvduvduvduv"));
}

TEST(ProductTest, TableRecords) {
  const struct {
    int id;
    const char *name;
    const char *bin;
    const char *config;
    const char *tempFiles;
  } expected[] = {
      {2, "LYRPP", "LYRPPBIN", "lyrpp", "LYRPPTEMPFILES"},
      {1, "LYR", "LYRBIN", "lyr", "LYRTEMPFILES"},
      {16, "KEF", "KEFBIN", "kef", "KEFTEMPFILES"},
      {4, "DUV", "DUVBIN", "duv", "DUVTEMPFILES"},
  };
  for (int i = 0; i < 4; ++i) {
    const ProductRecord &r = ProductTable[i];
    EXPECT_EQ(expected[i].id, r.id);
    EXPECT_STREQ(expected[i].name, r.name);
    EXPECT_STREQ(expected[i].bin, r.binVariable);
    EXPECT_STREQ(expected[i].config, r.configName);
    EXPECT_STREQ(expected[i].config, r.rcName);
    EXPECT_STREQ(expected[i].tempFiles, r.tempFilesVariable);
    EXPECT_EQ(std::string(expected[i].name) + "OUTPATH", r.outPathVariable);
    EXPECT_EQ(std::string(expected[i].name) + "HELPFILES", r.helpFilesVariable);
  }
  EXPECT_EQ(0, ProductTable[4].id);
  EXPECT_EQ(nullptr, ProductTable[4].name);
}

TEST(ProductTest, ValidProductBecomesCurrent) {
  const C_Product first("LyR");
  EXPECT_TRUE(first.isValid());
  EXPECT_EQ("LyR", first.name());
  EXPECT_EQ(1, first.index());
  C_Product *current = C_currentProduct();
  ASSERT_NE(nullptr, current);
  EXPECT_NE(&first, current); // a copy
  EXPECT_EQ("LyR", current->name());
  EXPECT_EQ(1, current->index());

  const C_Product invalid("lyrc");
  EXPECT_FALSE(invalid.isValid());
  EXPECT_EQ(-1, invalid.index());
  EXPECT_EQ(current, C_currentProduct());
  EXPECT_EQ("LyR", C_currentProduct()->name());

  const C_Product none(nullptr);
  EXPECT_EQ("", none.name());
  EXPECT_FALSE(none.isValid());

  const C_Product copy(first); // copying changes nothing else
  EXPECT_EQ(current, C_currentProduct());

  const C_Product other("lyr++");
  EXPECT_EQ(0, C_currentProduct()->index());
  EXPECT_EQ("lyr++", C_currentProduct()->name());
}

TEST(ProductTest, OptionNameTableSizes) {
  const struct {
    const char *product;
    std::int32_t names;
    std::int32_t canonical;
  } cases[] = {{"lyrpp", 234, 85}, {"lyr", 166, 74}, {"kef", 103, 41}, {"duv", 107, 44}};
  for (int i = 0; i < 4; ++i) {
    const ProductRecord &record = ProductTable[i];
    EXPECT_EQ(cases[i].names, record.optionNameCount) << cases[i].product;
    EXPECT_EQ(cases[i].canonical, record.canonicalNameCount) << cases[i].product;
    EXPECT_STREQ(cases[i].product, record.productWord);
    for (const auto &[table, count] : {std::pair{record.optionNames, record.optionNameCount},
                                       std::pair{record.canonicalNames, record.canonicalNameCount}}) {
      ASSERT_NE(nullptr, table);
      for (std::int32_t n = 1; n < count; ++n) {
        EXPECT_LT(std::string(table[n - 1].name), std::string(table[n].name)) << cases[i].product;
      }
    }
  }
  EXPECT_EQ(nullptr, ProductTable[4].optionNames);
  EXPECT_EQ(0, ProductTable[4].optionNameCount);
  EXPECT_EQ(0, ProductTable[4].canonicalNameCount);
}

TEST(ProductTest, FindOptionByPrefix) {
  struct Case {
    const char *product;
    const char *text;
    const char *option; // nullptr: no name of the product is a prefix of the text
    const char *rest;
  };
  const Case cases[] = {
      {"lyr", "NOMSG", "nomsg", ""},
      {"lyr", "no12", "nomsg", "12"},
      {"lyr", "fix", "forceinclude", "x"},
      {"lyr", "file", "file", ""},
      {"lyr", "format", "format", ""},
      {"lyr", "forget", "forgetall", ""},
      {"lyr", "forgetall", "forgetall", ""},
      {"kef", "fix", "forgetall", "ix"},
      {"kef", "sx", nullptr, ""},
      {"lyr", "sx", "size", "x"},
      {"lyr", "verbose", "version", "bose"},
      {"duv", "Verbose", "version", "bose"},
      {"lyr", "opdir", "outputpath", "dir"},
      {"lyr", "one", "onelineonly", ""},
      {"lyr", "o12", "only", "12"},
      {"lyr", "", nullptr, ""},
      {"lyr", "-t", nullptr, ""},
      {"lyr", "9", nullptr, ""},
      {"lyr", "\xC1\xA2", nullptr, ""}, // a byte above 0x7F is no letter
      {"lyr", "pluginpath", nullptr, ""},
      {"kef", "pluginpath", "pluginpath", ""},
      {"lyrpp", "C++03AUTO+", "c++03auto", "+"},
      {"lyr", "K+R", "k+r", ""},
      {"lyr", "tab=4", "tabstop", "=4"},
      {"lyrpp", "pphv2", "pphversion", "2"},
      {"lyrpp", "pph", "pph", ""},
      {"lyr", "dFOO=1", "d", "FOO=1"},
      {"kef", "ex", "echo", "x"},
      {"lyr", "ex", "extensions", ""},
      {"duv", "rec", "syntaxreccmds", ""},
      {"lyr", "rec", nullptr, ""},
  };
  for (const Case &c : cases) {
    C_CmdArgs args(c.product, 0, nullptr);
    const ProductRecord &record = ProductTable[args.product().index()];
    std::int32_t matched = -5;
    const C_OptionBase *option =
        findOptionByPrefix(args, c.text, matched, record.optionNames, record.optionNameCount);
    const std::string label = std::string(c.product) + " '" + c.text + "'";
    if (!c.option) {
      EXPECT_EQ(nullptr, option) << label;
      EXPECT_EQ(0, matched) << label;
      continue;
    }
    ASSERT_NE(nullptr, option) << label;
    EXPECT_EQ(c.option, option->name()) << label;
    EXPECT_EQ(c.rest, std::string(c.text + matched)) << label;
  }
}

// Every name of a product's tables reaches its own option of the argument
// set's option set, whatever the letter case and whatever follows the name.
TEST(ProductTest, EverySpellingFindsItsOption) {
  std::map<std::string, std::string> aliases; // alias -> option name
#define C_OPTION_ALIAS(Alias, member, Name, products) aliases[Alias] = Name;
#include "cmdline/ProductOptionNames.def"
  for (const char *word : {"lyrpp", "lyr", "kef", "duv"}) {
    C_CmdArgs args(word, 0, nullptr);
    const ProductRecord &record = ProductTable[args.product().index()];
    int options = 0;
    for (std::int32_t i = 0; i < record.optionNameCount; ++i) {
      const OptionNameEntry &entry = record.optionNames[i];
      const std::string name = entry.name;
      const C_OptionBase *expected = &entry.accessor(*args.options());
      const auto alias = aliases.find(name);
      if (expected->name() == name)
        ++options;
      else
        EXPECT_TRUE(alias != aliases.end() && alias->second == expected->name()) << word << " " << name;
      std::string upper = name;
      for (char &ch : upper)
        if (ch >= 'a' && ch <= 'z')
          ch = static_cast<char>(ch - 'a' + 'A');
      for (const std::string &text : {name, upper, name + "=1", upper + " x"}) {
        std::int32_t matched = 0;
        EXPECT_EQ(expected,
                  findOptionByPrefix(args, text.c_str(), matched, record.optionNames, record.optionNameCount))
            << word << " '" << text << "'";
        EXPECT_EQ(static_cast<std::int32_t>(name.size()), matched) << word << " '" << text << "'";
      }
    }
    const int expectedOptions[] = {124, 89, 55, 58};
    EXPECT_EQ(expectedOptions[args.product().index()], options) << word;
    for (std::int32_t i = 0; i < record.canonicalNameCount; ++i) {
      const OptionNameEntry &entry = record.canonicalNames[i];
      EXPECT_EQ(entry.name, entry.accessor(*args.options()).name()) << word;
    }
  }
}

} // namespace
