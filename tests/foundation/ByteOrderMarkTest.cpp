#include "foundation/ByteOrderMark.h"

#include <gtest/gtest.h>

#include <QTextCodec>

#include <string>

namespace {

TEST(ByteOrderMarkTest, LongestSignatureAtTheStartChoosesTheCodec) {
  QTextCodec *fallback = QTextCodec::codecForName("EUC-JP");
  ASSERT_NE(nullptr, fallback);
  struct Case {
    std::string bytes;
    const char *codecName; // nullptr: the default codec
  };
  const Case cases[] = {
      {std::string("\xEF\xBB\xBF\x41", 4), "UTF-8"},
      {std::string("\xEF\xBB\xBF", 3), "UTF-8"},
      {std::string("\xFE\xFF\x00\x41", 4), "UTF-16BE"},
      {std::string("\xFF\xFE\x41\x00", 4), "UTF-16LE"},
      {std::string("\xFF\xFE\x00\x00", 4), "UTF-32LE"},
      {std::string("\x00\x00\xFE\xFF", 4), "UTF-32BE"},
      {std::string("\x84\x31\x95\x33", 4), "GB18030"},
      {std::string("\xFF\xFE", 2), "UTF-16LE"},
      {std::string("\xFF\xFE\x00", 3), "UTF-16LE"},
      {std::string("\xEF\xBB", 2), nullptr},
      {std::string("\x00\x00\xFE", 3), nullptr},
      {std::string("\xFE", 1), nullptr},
      {std::string("ABCD", 4), nullptr},
      {std::string(), nullptr},
  };
  for (const Case &c : cases) {
    QTextCodec *found = QL_codecForByteSignature(fallback, c.bytes.data(), c.bytes.size());
    QTextCodec *expected = c.codecName ? QTextCodec::codecForName(c.codecName) : fallback;
    ASSERT_NE(nullptr, expected);
    EXPECT_EQ(expected, found) << (c.codecName ? c.codecName : "default") << " for " << c.bytes.size()
                               << " bytes";
  }
}

TEST(ByteOrderMarkTest, NoSignatureKeepsAMissingCodecMissing) {
  EXPECT_EQ(nullptr, QL_codecForByteSignature(nullptr, "ab", 2));
}

} // namespace
