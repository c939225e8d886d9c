#include "foundation/TextConversion.h"

#include "cmdline/Product.h"
#include "foundation/Codecs.h"
#include "foundation/CountedString.h"
#include "foundation/Destination.h"
#include "foundation/Language.h"
#include "foundation/Source.h"
#include "foundation/TranslateException.h"
#include "support/Bytes.h"
#include "support/ProductFixture.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using test_support::EnvironmentVariable;
using test_support::readFile;
using test_support::ScratchDirectory;

class TextConversionTest : public test_support::ProductFixture {};

TEST_F(TextConversionTest, NoneAndEucLeaveEveryByteAsItIs) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  for (QL_EncodingKind kind : {eceNone, eceEUC}) {
    EXPECT_EQ(all, QL_fromInternal(all, m_product, kind)) << kind;
    EXPECT_EQ(all, QL_fromInternal(all, kind)) << kind;
    EXPECT_EQ(all, QL_toInternal(m_product, all, kind)) << kind;
    EXPECT_EQ(all, QL_toInternal(all, kind)) << kind;
  }
}

TEST_F(TextConversionTest, ConvertStringBetweenKinds) {
  struct Case {
    const char *label;
    QL_EncodingKind from;
    QL_EncodingKind to;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"EUC to UTF-8", eceEUC, eceUTF, BYTES("A\xA4\xA2\x8E\xB1"), BYTES("A\xE3\x81\x82\xEF\xBD\xB1")},
      {"UTF-8 to EUC", eceUTF, eceEUC, BYTES("A\xE3\x81\x82\xEF\xBD\xB1"), BYTES("A\xA4\xA2\x8E\xB1")},
      {"UTF-8 mark dropped", eceUTF, eceEUC, BYTES("\xEF\xBB\xBF\xE3\x81\x82"), BYTES("\xA4\xA2")},
      {"Shift_JIS to UTF-8", eceSJIS, eceUTF, BYTES("\x82\xA0\xB1"), BYTES("\xE3\x81\x82\xEF\xBD\xB1")},
      {"UTF-8 to Shift_JIS", eceUTF, eceSJIS, BYTES("\xE3\x81\x82\xEF\xBD\xB1"), BYTES("\x82\xA0\xB1")},
      {"UTF-8 to UTF-8 writes no mark", eceUTF, eceUTF, BYTES("\xEF\xBB\xBF\x41"), "A"},
      {"UTF-8 to none", eceUTF, eceNone, BYTES("\xE3\x81\x82"), BYTES("\xE3\x81\x82")},
      {"EUC to Shift_JIS", eceEUC, eceSJIS, BYTES("\xB0\xA1"), BYTES("\x88\x9F")},
      {"Shift_JIS to EUC", eceSJIS, eceEUC, BYTES("\x82\xA0"), BYTES("\xA4\xA2")},
      {"EUC to new JIS", eceEUC, eceNewJIS, BYTES("\xB0\xA1"), BYTES("\x1B$B\x30\x21\x1B(J")},
      {"EUC to NEC JIS", eceEUC, eceNECJIS, BYTES("\xB0\xA1"), BYTES("\x1BK\x30\x21\x1BH")},
      {"old JIS re-encoded", eceOldJIS, eceOldJIS, BYTES("\x1B$B\x30\x21\x1B(B"),
       BYTES("\x1B$@\x30\x21\x1B(J")},
      {"empty", eceEUC, eceUTF, "", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, QL_convertString(m_product, c.input, c.from, c.to)) << c.label;
}

TEST_F(TextConversionTest, HalfWidthKanaGrowPastTheReadBuffer) {
  const std::string sjis(3000, '\xB1');
  std::string euc;
  std::string utf8;
  for (int i = 0; i < 3000; ++i) {
    euc += BYTES("\x8E\xB1");
    utf8 += BYTES("\xEF\xBD\xB1");
  }
  EXPECT_EQ(utf8, QL_convertString(m_product, sjis, eceSJIS, eceUTF));
  EXPECT_EQ(utf8, QL_fromInternal(euc, m_product, eceUTF));
  EXPECT_EQ(euc, QL_toInternal(m_product, utf8, eceUTF));
}

// A word of several megabytes, as one long word of a configuration file
// gives, converts in one pass: each kind's bytes are built here piece by
// piece, so that the converters cannot share a mistake with the expectation.
TEST_F(TextConversionTest, MultiMegabyteWordConvertsBothWays) {
  struct Piece {
    std::string sjis;
    std::string euc;
    std::string newJis; // inside the kanji state
  };
  const Piece pieces[] = {
      {BYTES("\x82\xA0"), BYTES("\xA4\xA2"), BYTES("\x24\x22")}, // hiragana a
      {BYTES("\x88\x9F"), BYTES("\xB0\xA1"), BYTES("\x30\x21")}, // first kanji of level 1
      {BYTES("\x83\x4A"), BYTES("\xA5\xAB"), BYTES("\x25\x2B")}, // katakana ka
  };
  constexpr std::size_t repeats = 1 << 20; // 3 Mi characters, 6 MiB in each kind
  std::string sjis, euc, newJis = BYTES("\x1B$B");
  sjis.reserve(6 * repeats);
  euc.reserve(6 * repeats);
  newJis.reserve(6 * repeats + 6);
  for (std::size_t i = 0; i < repeats; ++i) {
    for (const Piece &piece : pieces) {
      sjis += piece.sjis;
      euc += piece.euc;
      newJis += piece.newJis;
    }
  }
  newJis += BYTES("\x1B(J");
  EXPECT_TRUE(euc == QL_toInternal(m_product, sjis, eceSJIS));
  EXPECT_TRUE(sjis == QL_fromInternal(euc, m_product, eceSJIS));
  EXPECT_TRUE(newJis == QL_fromInternal(euc, m_product, eceNewJIS));
  EXPECT_TRUE(euc == QL_toInternal(m_product, newJis, eceNewJIS));
}

TEST_F(TextConversionTest, ShortFormsFollowTheLanguageOfTheCurrentProduct) {
  struct Case {
    const char *lang;
    std::string external; // the internal text A4 A2 in the language's encoding
  };
  const Case cases[] = {
      {"C.UTF-8", BYTES("\xA4\xA2")},     {"en_US.UTF-8", BYTES("\xA4\xA2")},
      {"ja_JP.eucJP", BYTES("\xA4\xA2")}, {"ja_JP.UTF-8", BYTES("\xE3\x81\x82")},
      {"ja_JP.SJIS", BYTES("\x82\xA0")},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    EXPECT_EQ(c.external, QL_fromInternal(BYTES("\xA4\xA2"))) << c.lang;
    EXPECT_EQ(BYTES("\xA4\xA2"), QL_toInternal(c.external)) << c.lang;
    EXPECT_EQ(BYTES("\xA4\xA2"), QL_toInternal(m_product, c.external)) << c.lang;
  }
}

TEST_F(TextConversionTest, InvalidPairIsReportedAndCopied) {
  testing::internal::CaptureStdout();
  const std::string result = QL_convertString(m_product, BYTES("\x82\xA0"), eceInvalid, eceSJIS);
  EXPECT_EQ("Translation for invalid encodings: eceInvalid to eceSJIS, performing binary copy.\n",
            testing::internal::GetCapturedStdout());
  EXPECT_EQ(BYTES("\x82\xA0"), result);
}

TEST_F(TextConversionTest, StreamOfOneKindIsCopiedUnchanged) {
  const std::string bytes = BYTES("\x82\xA0\x00\xFF\x1B$B\r\n");
  for (QL_EncodingKind kind : {eceSJIS, eceOldJIS, eceNone, eceInvalid}) {
    std::istringstream in(bytes);
    std::ostringstream out;
    EXPECT_TRUE(QL_translateStream(m_product, out, kind, in, kind, true)) << kind;
    EXPECT_EQ(bytes, out.str()) << kind;
  }
  std::istringstream empty("");
  std::ostringstream out;
  EXPECT_TRUE(QL_translateStream(m_product, out, eceSJIS, empty, eceSJIS, false));
  EXPECT_EQ("", out.str());
}

TEST_F(TextConversionTest, StreamThatCannotBeWrittenReportsFailure) {
  struct Case {
    QL_EncodingKind from;
    QL_EncodingKind to;
  };
  const Case cases[] = {{eceSJIS, eceSJIS}, {eceSJIS, eceEUC}, {eceUTF, eceEUC}, {eceEUC, eceUTF}};
  for (const Case &c : cases) {
    std::istringstream in("text");
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(QL_translateStream(m_product, out, c.to, in, c.from, false)) << c.from << " to " << c.to;
  }
}

TEST_F(TextConversionTest, FileToFileErrors) {
  ScratchDirectory files;
  const std::string input = files.writeFile("in.txt", BYTES("\xFF\xFE\x42\x30"));

  const std::string noDirectory = files / "missing/out.txt";
  try {
    QL_translateFileToFile(m_product, noDirectory, eceEUC, input, eceUTF);
    ADD_FAILURE() << "no exception";
  } catch (const QL_TranslateFileOpenException &e) {
    EXPECT_EQ("Cannot open file: '" + noDirectory + "'.", std::string(e.what()));
  }

  const std::string output = files / "out.txt";
  EXPECT_FALSE(QL_translateFileToFile(m_product, output, eceEUC, files / "missing.txt", eceUTF));
  EXPECT_EQ("", readFile(output));

  EXPECT_TRUE(QL_translateFileToFile(output, eceEUC, input, eceUTF));
  EXPECT_EQ(BYTES("\xA4\xA2"), readFile(output));
}

TEST_F(TextConversionTest, FileToStreamDetectsTheByteOrderMark) {
  ScratchDirectory files;
  const std::string input = files.writeFile("in.txt", BYTES("\xFE\xFF\x30\x42\x00\x0A"));
  std::ostringstream out;
  EXPECT_TRUE(QL_translateFileToStream(m_product, out, eceSJIS, input, eceUTF));
  EXPECT_EQ(BYTES("\x82\xA0\n"), out.str());

  std::ostringstream none;
  EXPECT_FALSE(QL_translateFileToStream(none, eceEUC, files / "missing.txt", eceUTF));
  EXPECT_EQ("", none.str());
}

TEST_F(TextConversionTest, EncodeFromInternalWritesTheByteKinds) {
  struct Case {
    QL_EncodingKind kind;
    std::string expected;
  };
  const Case cases[] = {
      {eceSJIS, BYTES("\x88\x9F")},
      {eceOldJIS, BYTES("\x1B$@\x30\x21\x1B(J")},
      {eceNewJIS, BYTES("\x1B$B\x30\x21\x1B(J")},
      {eceNECJIS, BYTES("\x1BK\x30\x21\x1BH")},
  };
  for (const Case &c : cases) {
    QL_EncodingDescriptor descriptor;
    descriptor.kind = c.kind;
    StringSource source;
    source.setText(CountedString("\xB0\xA1"));
    StringDestination destination;
    QL_encodeFromInternal(descriptor, source, destination);
    EXPECT_EQ(c.expected, destination.text().toStdString()) << c.kind;
  }
  for (QL_EncodingKind kind : {eceInvalid, eceNone, eceEUC, eceUTF, static_cast<QL_EncodingKind>(9)}) {
    QL_EncodingDescriptor descriptor;
    descriptor.kind = kind;
    StringSource source;
    StringDestination destination;
    EXPECT_THROW(QL_encodeFromInternal(descriptor, source, destination), QL_InvalidEncodingException) << kind;
  }
}

} // namespace
