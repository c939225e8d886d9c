#include "cmdline/Product.h"

#include <cstring>
#include <gtest/gtest.h>
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

} // namespace
