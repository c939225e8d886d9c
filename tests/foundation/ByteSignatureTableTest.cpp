#include "foundation/ByteSignatureTable.h"

#include <QTextCodec>
#include <gtest/gtest.h>
#include <string>

namespace {

QTextCodec *codec(const char *name) {
  QTextCodec *found = QTextCodec::codecForName(name);
  EXPECT_NE(nullptr, found) << name;
  return found;
}

TEST(ByteSignatureTableTest, LongestSignatureBeginningTheBufferWins) {
  QL_ByteSignatureTable table;
  table.add("\xEF\xBB\xBF", codec("UTF-8"));
  table.add(std::string("\xFF\xFE\x00\x00", 4), codec("UTF-32LE"));
  table.add(std::string("\x00\x00\xFE\xFF", 4), codec("UTF-32BE"));
  table.add("\xFF\xFE", codec("UTF-16LE"));
  table.add("\xFE\xFF", codec("UTF-16BE"));

  struct Case {
    std::string buffer;
    const char *codec; // null: no signature
  };
  const Case cases[] = {
      {std::string("\xFF\xFE\x00\x00"
                   "a",
                   5),
       "UTF-32LE"},
      {std::string("\xFF\xFE\x00\x00", 4), "UTF-32LE"},
      {std::string("\xFF\xFE\x41\x00", 4), "UTF-16LE"},
      {std::string("\xFF\xFE\x00", 3), "UTF-16LE"},
      {"\xFF\xFE", "UTF-16LE"},
      {std::string("\x00\x00\xFE\xFF", 4), "UTF-32BE"},
      {std::string("\x00\x00\xFE", 3), nullptr},
      {"\xFE\xFF\x30", "UTF-16BE"},
      {"\xEF\xBB\xBFint main", "UTF-8"},
      {"\xEF\xBB\xBF", "UTF-8"},
      {"\xEF\xBB", nullptr},
      {"\xFF", nullptr},
      {"", nullptr},
      {"int x;", nullptr},
  };
  for (const Case &c : cases) {
    QTextCodec *expected = c.codec ? codec(c.codec) : nullptr;
    EXPECT_EQ(expected, table.lookup(c.buffer)) << "buffer of " << c.buffer.size() << " bytes";
    // A second lookup, after the probes were interned, answers the same.
    EXPECT_EQ(expected, table.lookup(c.buffer));
  }
}

TEST(ByteSignatureTableTest, FirstCodecEnteredForASignatureStays) {
  QL_ByteSignatureTable table;
  table.add("\xFF\xFE", codec("UTF-16LE"));
  table.add("\xFF\xFE", codec("UTF-16BE"));
  EXPECT_EQ(codec("UTF-16LE"), table.lookup("\xFF\xFE!"));
}

} // namespace
