#include "foundation/TranStreambuf.h"

#include "cmdline/Product.h"
#include "foundation/Codecs.h"
#include "foundation/Language.h"
#include "foundation/TranslateException.h"
#include "support/Bytes.h"
#include "support/ProductFixture.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

using test_support::EnvironmentVariable;
using test_support::readFile;
using test_support::ScratchDirectory;

std::vector<std::string> entries(const ScratchDirectory &directory) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(directory.path()))
    names.push_back(entry.path().string());
  return names;
}

// Everything the buffer gives, byte by byte.
std::string drain(std::streambuf &buffer) {
  std::string text;
  for (int c = buffer.sbumpc(); c != std::char_traits<char>::eof(); c = buffer.sbumpc())
    text += static_cast<char>(c);
  return text;
}

class TranStreambufTest : public test_support::ProductFixture {};

TEST_F(TranStreambufTest, InputGivesTheInternalEncodingOfEachKind) {
  struct Case {
    const char *label;
    QL_EncodingKind kind;
    std::string file;
    std::string expected;
  };
  const std::string padding(itranstreambuf::dataSize + 100, 'p');
  const Case cases[] = {
      {"every byte value is data", eceEUC, BYTES("\xFF\x00\xFF\x1A\xA4\xA2z"),
       BYTES("\xFF\x00\xFF\x1A\xA4\xA2z")},
      {"CR LF reads as newline", eceEUC, "a\r\nb\rc\r\n", "a\nb\rc\n"},
      {"Shift_JIS", eceSJIS, BYTES("\x82\xA0\x83\x5C\xB1\r\n"), BYTES("\xA4\xA2\xA5\xBD\x8E\xB1\n")},
      {"new JIS", eceNewJIS, BYTES("\x1B$B\x30\x21\x1B(B\n"), BYTES("\xB0\xA1\n")},
      {"UTF-8", eceUTF, BYTES("\xE3\x81\x82\n"), BYTES("\xA4\xA2\n")},
      {"longer than one read", eceEUC, padding + "end", padding + "end"},
      {"empty", eceSJIS, "", ""},
  };
  for (const Case &c : cases) {
    {
      itranstreambuf buffer(c.kind, fixture(c.file));
      ASSERT_TRUE(buffer.isOpen()) << c.label;
      EXPECT_EQ(c.expected, drain(buffer)) << c.label;
      EXPECT_FALSE(buffer.readFailed()) << c.label;
    }
    EXPECT_TRUE(entries(m_temp).empty()) << c.label;
  }
}

TEST_F(TranStreambufTest, TenCharactersCanBePutBackAcrossARefill) {
  const std::size_t size = itranstreambuf::dataSize;
  std::string text;
  for (std::size_t i = 0; i < size + 6; ++i)
    text += static_cast<char>('a' + i % 26);
  itranstreambuf buffer(eceEUC, fixture(text));
  ASSERT_TRUE(buffer.isOpen());
  for (std::size_t i = 0; i <= size; ++i)
    ASSERT_EQ(text[i], buffer.sbumpc());
  // The byte after the refill and the ten before it go back, no more.
  for (std::size_t i = 0; i <= itranstreambuf::putbackSize; ++i)
    ASSERT_EQ(text[size - i], buffer.sungetc()) << i;
  EXPECT_EQ(std::char_traits<char>::eof(), buffer.sungetc());
  EXPECT_EQ(text.substr(size - itranstreambuf::putbackSize), drain(buffer));
}

// Once the input has ended, the last characters read can still be put back,
// also when the end came right after a refill.
TEST_F(TranStreambufTest, CharactersCanBePutBackAtTheEnd) {
  const std::size_t size = itranstreambuf::dataSize;
  struct Case {
    const char *label;
    std::size_t length;
  };
  const Case cases[] = {
      {"short file", 7},
      {"a few bytes after a refill", size + 3},
      {"ends with a full read", 2 * size},
  };
  for (const Case &c : cases) {
    std::string text;
    for (std::size_t i = 0; i < c.length; ++i)
      text += static_cast<char>('a' + i % 26);
    itranstreambuf buffer(eceEUC, fixture(text));
    ASSERT_TRUE(buffer.isOpen()) << c.label;
    EXPECT_EQ(text, drain(buffer)) << c.label;
    const std::size_t back = std::min(c.length, itranstreambuf::putbackSize);
    for (std::size_t i = 1; i <= back; ++i)
      ASSERT_EQ(text[c.length - i], buffer.sungetc()) << c.label << ", character " << i << " from the end";
    EXPECT_EQ(text.substr(c.length - back), drain(buffer)) << c.label;
  }
}

TEST_F(TranStreambufTest, InputThatCannotBeOpenedOrRead) {
  itranstreambuf missing(eceEUC, m_files / "missing");
  EXPECT_FALSE(missing.isOpen());
  EXPECT_EQ(std::char_traits<char>::eof(), missing.sgetc());

  itranstreambuf missingCopy(eceSJIS, m_files / "missing");
  EXPECT_FALSE(missingCopy.isOpen());
  EXPECT_TRUE(entries(m_temp).empty());

  EXPECT_THROW(itranstreambuf(eceInvalid, fixture("x")), QL_InvalidEncodingException);

  // A directory cannot be opened.
  EXPECT_FALSE(itranstreambuf(eceEUC, m_files.makeDirectory("dir")).isOpen());

  // A file that opens but fails its first read: the input ends for good.
  itranstreambuf unreadable(eceEUC, "/proc/self/mem");
  ASSERT_TRUE(unreadable.isOpen());
  EXPECT_EQ(std::char_traits<char>::eof(), unreadable.sgetc());
  EXPECT_TRUE(unreadable.readFailed());
  EXPECT_EQ(std::char_traits<char>::eof(), unreadable.sgetc());
}

TEST_F(TranStreambufTest, OutputWritesTheTargetInItsKind) {
  struct Case {
    const char *label;
    const char *lang; // the product's language
    QL_EncodingKind kind;
    bool append;
    std::string written; // internal encoding
    std::string expected;
  };
  const std::string old = BYTES("old \x82\xA0\n");
  const std::string text = BYTES("<A> \xA4\xA2\xA5\xBD\n");
  const Case cases[] = {
      {"EUC replaces", "ja_JP.eucJP", eceEUC, false, text, text},
      {"EUC appends", "ja_JP.eucJP", eceEUC, true, text, old + text},
      {"Shift_JIS replaces", "ja_JP.SJIS", eceSJIS, false, text, BYTES("<A> \x82\xA0\x83\x5C\n")},
      {"Shift_JIS appends", "ja_JP.SJIS", eceSJIS, true, text, old + BYTES("<A> \x82\xA0\x83\x5C\n")},
      {"Shift_JIS appends nothing", "ja_JP.SJIS", eceSJIS, true, "", old},
      {"UTF-8 replaces", "ja_JP.eucJP", eceUTF, false, text, BYTES("<A> \xE3\x81\x82\xE3\x82\xBD\n")},
      {"UTF-8 appends", "ja_JP.eucJP", eceUTF, true, text, old + BYTES("<A> \xE3\x81\x82\xE3\x82\xBD\n")},
      {"new JIS replaces", "ja_JP.eucJP", eceNewJIS, false, BYTES("\xB0\xA1\n"),
       BYTES("\x1B$B\x30\x21\x1B(J\n")},
      {"CR LF written stays", "ja_JP.SJIS", eceSJIS, false, "a\r\nb\n", "a\r\nb\n"},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    const std::string target = fixture(old);
    const bool translated = c.kind != eceEUC;
    {
      otranstreambuf buffer(c.kind, target, c.append);
      ASSERT_TRUE(buffer.isOpen()) << c.label;
      std::ostream out(&buffer);
      out << c.written.substr(0, 3);
      for (std::size_t i = 3; i < c.written.size(); ++i)
        out.put(c.written[i]);
      EXPECT_TRUE(out.good()) << c.label;
      // A translated target is not touched before the buffer is closed.
      if (translated) {
        EXPECT_EQ(old, readFile(target)) << c.label;
      }
      buffer.close();
      EXPECT_FALSE(buffer.isOpen()) << c.label;
    }
    EXPECT_EQ(c.expected, readFile(target)) << c.label;
    EXPECT_TRUE(entries(m_temp).empty()) << c.label;
  }
}

TEST_F(TranStreambufTest, OutputInTheProductsEncodingTranslatesWhenTheBufferGoes) {
  m_lang.set("ja_JP.SJIS");
  const std::string target = fixture("old\n");
  {
    otranstreambuf buffer(target, true);
    std::ostream out(&buffer);
    out << BYTES("\xA4\xA2\n");
  }
  EXPECT_EQ(BYTES("old\n\x82\xA0\n"), readFile(target));
  EXPECT_TRUE(entries(m_temp).empty());

  // EUC: replaced at once.
  m_lang.set("ja_JP.eucJP");
  otranstreambuf direct(target, false);
  ASSERT_TRUE(direct.isOpen());
  EXPECT_EQ("", readFile(target));
}

TEST_F(TranStreambufTest, OutputThatCannotBeCreatedRefusesCharacters) {
  otranstreambuf buffer(eceEUC, m_files / "no/such/dir", false);
  EXPECT_FALSE(buffer.isOpen());
  std::ostream out(&buffer);
  out << "text";
  EXPECT_TRUE(out.bad());
  out.clear();
  out.put('x');
  EXPECT_TRUE(out.bad());
  EXPECT_NO_THROW(buffer.close());

  EXPECT_THROW(otranstreambuf(eceInvalid, fixture(""), false), QL_InvalidEncodingException);
}

TEST_F(TranStreambufTest, FailuresAtCloseAreReported) {
  struct Case {
    const char *label;
    QL_EncodingKind kind;
    bool append;
    bool targetMissing; // the target's directory does not exist
  };
  const Case cases[] = {
      {"Shift_JIS target cannot be made", eceSJIS, false, true},
      {"Shift_JIS append cannot be made", eceSJIS, true, true},
      {"UTF-8 target cannot be made", eceUTF, false, true},
      {"UTF-8 append cannot be made", eceUTF, true, true},
  };
  for (const Case &c : cases) {
    const std::string target = c.targetMissing ? m_files / "no/such" : fixture("");
    otranstreambuf buffer(c.kind, target, c.append);
    ASSERT_TRUE(buffer.isOpen()) << c.label;
    std::ostream(&buffer) << "text\n";
    try {
      buffer.close();
      ADD_FAILURE() << c.label << ": no exception";
    } catch (const QL_TranslateFileOpenException &e) {
      EXPECT_EQ("Cannot open file: '" + target + "'.", std::string(e.what())) << c.label;
    }
    // The untranslated text stays in its temporary file; a second close
    // does nothing.
    EXPECT_EQ(1u, entries(m_temp).size()) << c.label;
    EXPECT_NO_THROW(buffer.close()) << c.label;
    for (const std::string &left : entries(m_temp)) {
      EXPECT_EQ("text\n", readFile(left)) << c.label;
      std::filesystem::remove(left);
    }
  }
}

TEST_F(TranStreambufTest, UtfTranslationOfAVanishedTemporaryFileNamesBothFiles) {
  const std::string target = fixture("");
  otranstreambuf buffer(eceUTF, target, false);
  ASSERT_TRUE(buffer.isOpen());
  std::ostream(&buffer) << "text\n";
  const std::vector<std::string> temp = entries(m_temp);
  ASSERT_EQ(1u, temp.size());
  std::filesystem::remove(temp[0]);
  try {
    buffer.close();
    ADD_FAILURE() << "no exception";
  } catch (const QL_TranslateFileOpenException &e) {
    EXPECT_EQ("Cannot open file: '" + temp[0] + " or " + target + "'.", std::string(e.what()));
  }
}

TEST_F(TranStreambufTest, WriteFailureIsReportedAtClose) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  otranstreambuf buffer(eceEUC, "/dev/full", false);
  ASSERT_TRUE(buffer.isOpen());
  std::ostream(&buffer) << std::string(100000, 'x');
  EXPECT_THROW(buffer.close(), QL_TranslateException);
  EXPECT_FALSE(buffer.isOpen());
}

TEST_F(TranStreambufTest, FlushHandsTheTextToTheFile) {
  const std::string target = fixture("old\n");
  otranstreambuf buffer(eceEUC, target, true);
  std::ostream out(&buffer);
  out << "new\n";
  EXPECT_EQ("old\n", readFile(target));
  out.flush();
  EXPECT_TRUE(out.good());
  EXPECT_EQ("old\nnew\n", readFile(target));

  if (std::filesystem::exists("/dev/full")) {
    otranstreambuf full(eceEUC, "/dev/full", false);
    std::ostream toFull(&full);
    toFull << "text";
    toFull.flush();
    EXPECT_TRUE(toFull.bad());
  }
}

TEST_F(TranStreambufTest, AppendFailuresAreReported) {
  // No second temporary file can be made for the translated text.
  {
    ScratchDirectory temp;
    EnvironmentVariable tempFiles("LYRTEMPFILES", temp.path());
    otranstreambuf buffer(eceSJIS, fixture("old\n"), true);
    ASSERT_TRUE(buffer.isOpen());
    std::ostream(&buffer) << "text\n";
    std::filesystem::remove_all(temp.path());
    try {
      buffer.close();
      ADD_FAILURE() << "no exception";
    } catch (const QL_TranslateException &e) {
      EXPECT_EQ("Cannot create a temporary file in: '" + temp.path() + "'.", std::string(e.what()));
    }
  }
  // The appended bytes cannot be written.
  if (std::filesystem::exists("/dev/full")) {
    otranstreambuf buffer(eceSJIS, "/dev/full", true);
    ASSERT_TRUE(buffer.isOpen());
    std::ostream(&buffer) << std::string(100000, 'x');
    try {
      buffer.close();
      ADD_FAILURE() << "no exception";
    } catch (const QL_TranslateException &e) {
      EXPECT_EQ("Cannot write file: '/dev/full'.", std::string(e.what()));
    }
    // Only the untranslated text is left, in its temporary file.
    EXPECT_EQ(1u, entries(m_temp).size());
  }
}

TEST_F(TranStreambufTest, DestructorFinishesQuietly) {
  const std::string target = m_files / "no/such";
  EXPECT_NO_THROW({
    otranstreambuf buffer(eceSJIS, target, true);
    std::ostream(&buffer) << "text\n";
  });
  for (const std::string &left : entries(m_temp))
    std::filesystem::remove(left);
}

} // namespace
