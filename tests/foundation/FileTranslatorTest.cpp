#include "foundation/FileTranslator.h"

#include "cmdline/Product.h"
#include "foundation/Codecs.h"
#include "foundation/Language.h"
#include "foundation/TranslateException.h"
#include "support/Bytes.h"
#include "support/ProductFixture.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

std::size_t entryCount(const ScratchDirectory &directory) {
  const std::filesystem::directory_iterator entries(directory.path());
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

std::string readAll(std::FILE *file) {
  std::string text;
  char block[512];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, file)) > 0)
    text.append(block, n);
  return text;
}

class FileTranslatorTest : public test_support::ProductFixture {};

TEST_F(FileTranslatorTest, EachKindReadsAsTheInternalEncoding) {
  struct Case {
    const char *label;
    QL_EncodingKind kind;
    std::string file;
    std::string expected;
  };
  const std::string padding(1031, 'a');
  const Case cases[] = {
      {"EUC", eceEUC, BYTES("\xA4\xA2\x41\x8E\xB1\n"), BYTES("\xA4\xA2\x41\x8E\xB1\n")},
      {"none", eceNone, BYTES("\x82\xA0\n"), BYTES("\x82\xA0\n")},
      {"Shift_JIS", eceSJIS, BYTES("\x82\xA0\x41\xB1\n"), BYTES("\xA4\xA2\x41\x8E\xB1\n")},
      {"old JIS", eceOldJIS, BYTES("\x1B$@\x30\x21\x1B(J\n"), BYTES("\xB0\xA1\n")},
      {"new JIS", eceNewJIS, BYTES("\x1B$B\x30\x21\x1B(B\n"), BYTES("\xB0\xA1\n")},
      {"NEC JIS", eceNECJIS, BYTES("\x1BK\x30\x21\x1BH\n"), BYTES("\xB0\xA1\n")},
      {"UTF-8", eceUTF, BYTES("\xE3\x81\x82\x41\xEF\xBD\xB1\n"), BYTES("\xA4\xA2\x41\x8E\xB1\n")},
      {"UTF-8 with mark", eceUTF, BYTES("\xEF\xBB\xBF\xE3\x81\x82\n"), BYTES("\xA4\xA2\n")},
      {"UTF-16LE with mark", eceUTF, BYTES("\xFF\xFE\x42\x30\x41\x00\x0A\x00"), BYTES("\xA4\xA2\x41\n")},
      {"UTF-16BE with mark", eceUTF, BYTES("\xFE\xFF\x30\x42\x00\x41\x00\x0A"), BYTES("\xA4\xA2\x41\n")},
      {"UTF-32LE with mark", eceUTF, BYTES("\xFF\xFE\x00\x00\x42\x30\x00\x00\x0A\x00\x00\x00"),
       BYTES("\xA4\xA2\n")},
      {"UTF-32BE with mark", eceUTF, BYTES("\x00\x00\xFE\xFF\x00\x00\x30\x42\x00\x00\x00\x0A"),
       BYTES("\xA4\xA2\n")},
      {"UTF-8 across the read buffer", eceUTF, padding + BYTES("\xE3\x81\x82"), padding + BYTES("\xA4\xA2")},
      {"empty UTF-8", eceUTF, "", ""},
      {"empty Shift_JIS", eceSJIS, "", ""},
  };
  for (const Case &c : cases) {
    const std::string path = fixture(c.file);
    const bool converted = c.kind != eceEUC && c.kind != eceNone;
    std::string copy;
    {
      QL_FileTranslator translator(c.kind, m_temp.path());
      std::FILE *file = translator.open(path, true);
      ASSERT_NE(nullptr, file) << c.label;
      EXPECT_EQ(c.expected, readAll(file)) << c.label;
      EXPECT_EQ(converted, translator.isTemporary()) << c.label;
      copy = translator.path();
      if (converted)
        EXPECT_NE(path, copy) << c.label;
      else
        EXPECT_EQ(path, copy) << c.label;
      translator.close();
      EXPECT_EQ(nullptr, translator.file()) << c.label;
    }
    EXPECT_EQ(!converted, std::filesystem::exists(copy)) << c.label;
    EXPECT_EQ(0u, entryCount(m_temp)) << c.label;
  }
}

TEST_F(FileTranslatorTest, TextModeReadsCrLfAsNewline) {
  struct Case {
    QL_EncodingKind kind;
    std::string file;
  };
  const Case cases[] = {
      {eceEUC, "a\r\nb\r\n"},
      {eceSJIS, "a\r\nb\r\n"},
      {eceNewJIS, "a\r\nb\r\n"},
      {eceUTF, "a\r\nb\r\n"},
      {eceUTF, BYTES("\xFF\xFE\x61\x00\x0D\x00\x0A\x00\x62\x00\x0D\x00\x0A\x00")},
  };
  for (const Case &c : cases) {
    const std::string path = fixture(c.file);
    QL_FileTranslator text(c.kind, m_temp.path());
    std::FILE *file = text.open(path, false);
    ASSERT_NE(nullptr, file) << c.kind;
    EXPECT_EQ("a\nb\n", readAll(file)) << c.kind;
  }
  EXPECT_EQ(0u, entryCount(m_temp));
}

TEST_F(FileTranslatorTest, BinaryModeKeepsCrLf) {
  struct Case {
    QL_EncodingKind kind;
    std::string file;
    std::string expected;
  };
  const Case cases[] = {
      {eceEUC, "a\r\nb\r", "a\r\nb\r"},
      {eceNone, "a\r\nb\r", "a\r\nb\r"},
      {eceSJIS, BYTES("\x82\xA0\r\nb\r"), BYTES("\xA4\xA2\r\nb\r")},
      {eceOldJIS, "a\r\nb\r", "a\r\nb\r"},
      {eceUTF, BYTES("\xE3\x81\x82\r\nb\r"), BYTES("\xA4\xA2\r\nb\r")},
  };
  for (const Case &c : cases) {
    QL_FileTranslator translator(c.kind, m_temp.path());
    std::FILE *file = translator.open(fixture(c.file), true);
    ASSERT_NE(nullptr, file) << c.kind;
    EXPECT_EQ(c.expected, readAll(file)) << c.kind;
  }
  EXPECT_EQ(0u, entryCount(m_temp));
}

TEST_F(FileTranslatorTest, UtfFileStaysUtfWhenTheLanguageSelectsNoEncoding) {
  m_lang.set("C.UTF-8");
  const std::string path = fixture(BYTES("\xEF\xBB\xBF\xE3\x81\x82\n"));
  QL_FileTranslator translator(eceUTF, m_temp.path());
  std::FILE *file = translator.open(path, true);
  ASSERT_NE(nullptr, file);
  EXPECT_EQ(BYTES("\xE3\x81\x82\n"), readAll(file));
}

TEST_F(FileTranslatorTest, MissingFileGivesNoStreamAndLeavesNoCopy) {
  // A directory where a file is expected cannot be opened either.
  const std::string directory = m_files.makeDirectory("directory.txt");
  for (QL_EncodingKind kind : {eceNone, eceEUC, eceSJIS, eceOldJIS, eceNewJIS, eceNECJIS, eceUTF}) {
    for (const std::string &path : {m_files / "missing.txt", directory}) {
      QL_FileTranslator translator(kind, m_temp.path());
      EXPECT_EQ(nullptr, translator.open(path, false)) << kind << " " << path;
      EXPECT_FALSE(translator.isTemporary()) << kind << " " << path;
      EXPECT_EQ(0u, entryCount(m_temp)) << kind << " " << path;
    }
  }
}

// A file that opens but cannot be read (the process's own memory file fails
// its first read) is an error, never an empty text.
TEST_F(FileTranslatorTest, UnreadableFileIsAnErrorAndLeavesNoCopy) {
  const std::string unreadable = "/proc/self/mem";
  for (QL_EncodingKind kind : {eceSJIS, eceOldJIS, eceNewJIS, eceNECJIS}) {
    QL_FileTranslator translator(kind, m_temp.path());
    testing::internal::CaptureStderr();
    try {
      translator.open(unreadable, false);
      ADD_FAILURE() << "no exception for kind " << kind;
    } catch (const QL_TranslateException &e) {
      EXPECT_EQ("Cannot read file: '" + unreadable + "'.", std::string(e.what())) << kind;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(nullptr, translator.file()) << kind;
    EXPECT_EQ(0u, entryCount(m_temp)) << kind;
  }
}

TEST_F(FileTranslatorTest, KindsWithoutConversionAreRefused) {
  const std::string path = fixture("text\n");
  QL_FileTranslator invalid(eceInvalid, m_temp.path());
  try {
    invalid.open(path, false);
    ADD_FAILURE() << "no exception";
  } catch (const QL_InvalidEncodingException &e) {
    EXPECT_STREQ("InvalidEncoding", e.what());
  }
  EXPECT_EQ(nullptr, invalid.file());

  // A kind beyond the known ones has no byte converter: the partly made copy
  // goes, and both files are closed.
  QL_FileTranslator unknown(static_cast<QL_EncodingKind>(8), m_temp.path());
  EXPECT_THROW(unknown.open(path, false), QL_InvalidEncodingException);
  EXPECT_EQ(nullptr, unknown.file());
  EXPECT_FALSE(unknown.isTemporary());
  EXPECT_EQ(0u, entryCount(m_temp));
}

TEST_F(FileTranslatorTest, SharedTranslatorGoesWithItsLastHandle) {
  const std::string path = fixture(BYTES("\x82\xA0"));
  QL_FileTranslatorPtr first(new QL_FileTranslator(eceSJIS, m_temp.path()));
  ASSERT_NE(nullptr, first->open(path, true));
  const std::string copy = first->path();
  EXPECT_TRUE(std::filesystem::exists(copy));
  {
    QL_FileTranslatorPtr second(first);
    EXPECT_EQ(2u, first.count());
    second = second;
    EXPECT_EQ(2u, first.count());
    QL_FileTranslatorPtr third;
    third = second;
    EXPECT_EQ(3u, first.count());
    EXPECT_EQ(first.pointer(), third.pointer());
  }
  EXPECT_EQ(1u, first.count());
  EXPECT_TRUE(std::filesystem::exists(copy));
  first = QL_FileTranslatorPtr();
  EXPECT_FALSE(first.isSet());
  EXPECT_FALSE(std::filesystem::exists(copy));
}

} // namespace
