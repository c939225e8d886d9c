#include "foundation/Utf8Streambuf.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>

#include <QTextCodec>

#include <cstring>
#include <iterator>
#include <sstream>
#include <string>

namespace {

QTextCodec *codec(const char *name) {
  QTextCodec *found = QTextCodec::codecForName(name);
  EXPECT_NE(nullptr, found) << name;
  return found;
}

// Reads everything the input buffer delivers for bytes, read from offset on.
std::string readThrough(const std::string &bytes, QTextCodec *from, bool detect, std::streamoff offset = 0,
                        QTextCodec **finalCodec = nullptr) {
  std::istringstream raw(bytes);
  raw.seekg(offset);
  QL_IUTF8Streambuf buffer(raw, from, detect);
  std::istream in(&buffer);
  std::string result{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (finalCodec)
    *finalCodec = buffer.codec();
  return result;
}

TEST(Utf8StreambufTest, InputConvertsToUtf8AndDetectsByteOrderMarks) {
  struct Case {
    const char *label;
    std::string input;
    const char *codecName; // nullptr: no codec
    bool detect;
    std::streamoff offset;
    std::string expected;
    const char *codecAfter; // nullptr: no codec
  };
  const Case cases[] = {
      {"EUC-JP text", BYTES("A\xA4\xA2"), "EUC-JP", false, 0, BYTES("A\xE3\x81\x82"), "EUC-JP"},
      {"Shift_JIS text", BYTES("\x82\xA0\xB1"), "Shift_JIS", false, 0, BYTES("\xE3\x81\x82\xEF\xBD\xB1"),
       "Shift_JIS"},
      {"UTF-8 mark over EUC-JP", BYTES("\xEF\xBB\xBF\xE3\x81\x82"), "EUC-JP", true, 0, BYTES("\xE3\x81\x82"),
       "UTF-8"},
      {"UTF-16LE mark", BYTES("\xFF\xFE\x41\x00"), "EUC-JP", true, 0, "A", "UTF-16LE"},
      {"UTF-16BE mark", BYTES("\xFE\xFF\x00\x41"), "EUC-JP", true, 0, "A", "UTF-16BE"},
      {"UTF-32LE mark", BYTES("\xFF\xFE\x00\x00\x41\x00\x00\x00"), "EUC-JP", true, 0, "A", "UTF-32LE"},
      {"UTF-32BE mark", BYTES("\x00\x00\xFE\xFF\x00\x00\x00\x41"), "EUC-JP", true, 0, "A", "UTF-32BE"},
      // Only the bytes read are looked at: two bytes cannot be a 4-byte mark.
      {"two bytes FF FE", BYTES("\xFF\xFE"), "EUC-JP", true, 0, "", "UTF-16LE"},
      {"three bytes FF FE 00", BYTES("\xFF\xFE\x00"), "EUC-JP", true, 0, "", "UTF-16LE"},
      {"detection off", BYTES("\xEF\xBB\xBF"), "ISO-8859-1", false, 0, BYTES("\xC3\xAF\xC2\xBB\xC2\xBF"),
       "ISO-8859-1"},
      {"not at stream start", BYTES("X\xFF\xFE\x41\x00"), "ISO-8859-1", true, 1,
       BYTES("\xC3\xBF\xC3\xBE\x41\x00"), "ISO-8859-1"},
      {"no codec passes bytes", BYTES("\xFF\xFE\x41\x00\xA4"), nullptr, true, 0,
       BYTES("\xFF\xFE\x41\x00\xA4"), nullptr},
      {"empty input", "", "EUC-JP", true, 0, "", "EUC-JP"},
  };
  for (const Case &c : cases) {
    QTextCodec *after = nullptr;
    const std::string result =
        readThrough(c.input, c.codecName ? codec(c.codecName) : nullptr, c.detect, c.offset, &after);
    EXPECT_EQ(c.expected, result) << c.label;
    EXPECT_EQ(c.codecAfter ? codec(c.codecAfter) : nullptr, after) << c.label;
  }
}

TEST(Utf8StreambufTest, CharacterSplitAcrossReadBlocksComesThroughWhole) {
  struct Case {
    const char *codecName;
    std::string character;
    std::string utf8;
  };
  const Case cases[] = {
      {"UTF-8", BYTES("\xE3\x81\x82"), BYTES("\xE3\x81\x82")},
      {"UTF-8", BYTES("\xF0\x9F\x98\x80"), BYTES("\xF0\x9F\x98\x80")},
      {"EUC-JP", BYTES("\xA4\xA2"), BYTES("\xE3\x81\x82")},
      {"EUC-JP", BYTES("\x8E\xB1"), BYTES("\xEF\xBD\xB1")},
      {"Shift_JIS", BYTES("\x82\xA0"), BYTES("\xE3\x81\x82")},
  };
  // The first read fills the whole buffer (1032 bytes), later ones the 1024
  // bytes behind the putback area: place the character across both ends.
  const std::size_t paddings[] = {1028, 1029, 1030, 1031, 1032, 2053, 2054, 2055, 2056};
  for (const Case &c : cases) {
    for (std::size_t padding : paddings) {
      const std::string text(padding, 'a');
      EXPECT_EQ(text + c.utf8 + "z", readThrough(text + c.character + "z", codec(c.codecName), false))
          << c.codecName << " after " << padding;
    }
  }
}

TEST(Utf8StreambufTest, HalfWidthKanaGrowTheBufferAndLaterReadsGrowWithIt) {
  // Each half-width katakana byte of Shift_JIS becomes three UTF-8 bytes, so
  // the first block of 1024 bytes yields 3072.
  const std::string input = std::string(3000, '\xB1') + "end";
  std::string expected;
  for (int i = 0; i < 3000; ++i)
    expected += BYTES("\xEF\xBD\xB1");
  expected += "end";
  EXPECT_EQ(expected, readThrough(input, codec("Shift_JIS"), false));
}

TEST(Utf8StreambufTest, BytesDeliveredBeforeARefillCanBePutBack) {
  std::istringstream raw("abcdefgh");
  QL_IUTF8Streambuf buffer(raw, nullptr, false, 4, 2);
  // The first fill uses the whole buffer of 2 + 4 bytes.
  for (char expected : std::string("abcdef"))
    EXPECT_EQ(expected, buffer.sbumpc());
  EXPECT_EQ('g', buffer.sgetc()); // refill
  EXPECT_EQ('f', buffer.sungetc());
  EXPECT_EQ('e', buffer.sungetc());
  EXPECT_EQ(std::char_traits<char>::eof(), buffer.sungetc());
}

TEST(Utf8StreambufTest, SafeEndHoldsBackOnlyAnIncompleteTrailingSequence) {
  struct Case {
    const char *label;
    std::string bytes;
    std::size_t expected; // offset of the result
  };
  const Case cases[] = {
      {"ASCII", "ab", 2},
      {"lone lead byte", BYTES("a\xE3"), 1},
      {"two of three bytes", BYTES("a\xE3\x81"), 1},
      {"complete three bytes", BYTES("a\xE3\x81\x82"), 4},
      {"complete four bytes", BYTES("\xF0\x9F\x98\x80"), 4},
      {"three of four bytes", BYTES("a\xF0\x9F\x98"), 1},
      {"two-byte lead complete", BYTES("\xC3\xA9"), 2},
      {"lead announces three, one follows", BYTES("ab\xE3\x81"), 2},
      {"lead announces two, three present", BYTES("a\xC3\x81\x81"), 1},
      {"only continuation bytes", BYTES("\x81\x82\x83"), 3},
      {"six continuation bytes", BYTES("a\xFC\x81\x81\x81\x81\x81\x81"), 8},
      {"ASCII before stray continuation", BYTES("a\x81"), 0},
  };
  for (const Case &c : cases) {
    const char *begin = c.bytes.data();
    EXPECT_EQ(c.expected, static_cast<std::size_t>(QL_utf8SafeEnd(begin, begin + c.bytes.size()) - begin))
        << c.label;
  }
}

TEST(Utf8StreambufTest, OutputIsTheSameForEveryBufferSize) {
  // "A", U+3042, U+1F600, U+00E9 as UTF-8, and the same text as UTF-16LE.
  const std::string utf8 = BYTES("A\xE3\x81\x82\xF0\x9F\x98\x80\xC3\xA9");
  const std::string utf16 = BYTES("\x41\x00\x42\x30\x3D\xD8\x00\xDE\xE9\x00");
  for (std::size_t size = 4; size <= 12; ++size) {
    std::ostringstream out;
    {
      QL_OUTF8Streambuf buffer(out, codec("UTF-16LE"), QTextCodec::IgnoreHeader, size);
      std::ostream stream(&buffer);
      for (char c : utf8)
        stream.put(c);
    }
    EXPECT_EQ(utf16, out.str()) << "buffer size " << size;
  }
}

TEST(Utf8StreambufTest, OutputCodecsAndPassThrough) {
  struct Case {
    const char *label;
    const char *codecName; // nullptr: no codec
    QTextCodec::ConversionFlags flags;
    std::string utf8;
    std::string expected;
  };
  const Case cases[] = {
      {"EUC-JP", "EUC-JP", QTextCodec::IgnoreHeader, BYTES("A\xE3\x81\x82"), BYTES("A\xA4\xA2")},
      {"Shift_JIS", "Shift_JIS", QTextCodec::IgnoreHeader, BYTES("\xE3\x81\x82\xEF\xBD\xB1"),
       BYTES("\x82\xA0\xB1")},
      {"UTF-8 without mark", "UTF-8", QTextCodec::IgnoreHeader, BYTES("\xE3\x81\x82"), BYTES("\xE3\x81\x82")},
      {"UTF-16LE with mark", "UTF-16LE", QTextCodec::DefaultConversion, "A", BYTES("\xFF\xFE\x41\x00")},
      {"no codec", nullptr, QTextCodec::IgnoreHeader, BYTES("\xFF\xA4\x00z"), BYTES("\xFF\xA4\x00z")},
  };
  for (const Case &c : cases) {
    std::ostringstream out;
    {
      QL_OUTF8Streambuf buffer(out, c.codecName ? codec(c.codecName) : nullptr, c.flags);
      buffer.sputn(c.utf8.data(), static_cast<std::streamsize>(c.utf8.size()));
    }
    EXPECT_EQ(c.expected, out.str()) << c.label;
  }
}

TEST(Utf8StreambufTest, IncompleteTailIsHeldBackUnlessItFillsThePutArea) {
  struct Case {
    const char *label;
    std::size_t bufferSize;
    std::string written;
    std::string rest; // completes the tail; empty: the tail is not held back
  };
  const Case cases[] = {
      {"tail after complete text", 4, BYTES("A\xE3\x81"), BYTES("\x82")},
      {"tail after a complete character", 8, BYTES("\xC3\xA9\xE3"), BYTES("\x81\x82")},
      {"tail alone fills the put area", 2, BYTES("\xE3\x81"), ""},
  };
  for (const Case &c : cases) {
    std::ostringstream out;
    QL_OUTF8Streambuf buffer(out, codec("UTF-8"), QTextCodec::IgnoreHeader, c.bufferSize);
    ASSERT_EQ(static_cast<std::streamsize>(c.written.size()),
              buffer.sputn(c.written.data(), static_cast<std::streamsize>(c.written.size())))
        << c.label;
    EXPECT_EQ(0, buffer.pubsync()) << c.label;
    const std::size_t complete = static_cast<std::size_t>(
        QL_utf8SafeEnd(c.written.data(), c.written.data() + c.written.size()) - c.written.data());
    if (!c.rest.empty()) {
      EXPECT_EQ(c.written.substr(0, complete), out.str()) << c.label;
      // The rest of the character completes it at the next flush.
      buffer.sputn(c.rest.data(), static_cast<std::streamsize>(c.rest.size()));
      EXPECT_EQ(0, buffer.pubsync()) << c.label;
      EXPECT_EQ(c.written + c.rest, out.str()) << c.label;
    } else {
      // Converted as it is rather than held back for ever.
      EXPECT_FALSE(out.str().empty()) << c.label;
      EXPECT_EQ('B', buffer.sputc('B')) << c.label;
    }
  }
}

TEST(Utf8StreambufTest, IncompleteSequenceAtTheEndIsNotDropped) {
  std::ostringstream out;
  {
    QL_OUTF8Streambuf buffer(out, codec("UTF-8"), QTextCodec::IgnoreHeader);
    buffer.sputn("A\xE3\x81", 3);
  }
  const std::string written = out.str();
  ASSERT_GT(written.size(), 1u);
  EXPECT_EQ('A', written[0]);
}

TEST(Utf8StreambufTest, FailedWriteIsReportedAndTheBytesAreConsumed) {
  for (const char *codecName : {"EUC-JP", static_cast<const char *>(nullptr)}) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    QL_OUTF8Streambuf buffer(out, codecName ? codec(codecName) : nullptr, QTextCodec::IgnoreHeader, 4);
    EXPECT_EQ(4, buffer.sputn("abcd", 4));
    EXPECT_EQ(std::char_traits<char>::eof(), buffer.sputc('e'));
    EXPECT_EQ('f', buffer.sputc('f')); // the failed flush emptied the put area
    EXPECT_EQ(-1, buffer.pubsync());
  }
}

} // namespace
