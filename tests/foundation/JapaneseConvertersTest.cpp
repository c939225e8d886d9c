#include "foundation/JapaneseConverters.h"

#include "foundation/Destination.h"
#include "foundation/Exception.h"
#include "foundation/Source.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>

namespace {

constexpr int ESC = 0x1B;
constexpr int SO = 0x0E;
constexpr int SI = 0x0F;

// Encoded text written byte by byte.
std::string bytes(std::initializer_list<int> values) {
  std::string text;
  for (int v : values)
    text += static_cast<char>(v);
  return text;
}

std::string hex(const std::string &text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    out += digits[c >> 4];
    out += digits[c & 15];
    out += ' ';
  }
  return out;
}

std::string translate(const std::string &input, QL_EncodingKind from, QL_EncodingKind to) {
  StringSource source;
  source.setText(CountedString(input));
  StringDestination destination;
  translateFile(source, destination, from, to);
  return destination.text().toStdString();
}

// The escapes of New JIS, the kind most vectors are written for.
const std::string kanjiIn = bytes({ESC, '$', 'B'});
const std::string romanIn = bytes({ESC, '(', 'J'});
const std::string planeTwoIn = bytes({ESC, '$', '(', 'P'});

struct Case {
  const char *name;
  QL_EncodingKind from;
  QL_EncodingKind to;
  std::string input;
  std::string expected;
};

void expectAll(const Case *begin, const Case *end) {
  for (const Case *c = begin; c != end; ++c) {
    ::testing::internal::CaptureStdout();
    std::string result = translate(c->input, c->from, c->to);
    std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(hex(c->expected), hex(result)) << c->name;
    EXPECT_EQ("", printed) << c->name;
  }
}

TEST(JapaneseConvertersTest, KnownCharacters) {
  const Case cases[] = {
      {"hiragana a", eceSJIS, eceEUC, bytes({0x82, 0xA0}), bytes({0xA4, 0xA2})},
      {"hiragana a back", eceEUC, eceSJIS, bytes({0xA4, 0xA2}), bytes({0x82, 0xA0})},
      {"first kanji", eceEUC, eceSJIS, bytes({0xB0, 0xA1}), bytes({0x88, 0x9F})},
      {"first kanji back", eceSJIS, eceEUC, bytes({0x88, 0x9F}), bytes({0xB0, 0xA1})},
      {"ideographic space", eceEUC, eceSJIS, bytes({0xA1, 0xA1}), bytes({0x81, 0x40})},
      {"last of row 62", eceEUC, eceSJIS, bytes({0xDE, 0xFE}), bytes({0x9F, 0xFC})},
      {"first of row 63", eceEUC, eceSJIS, bytes({0xDF, 0xA1}), bytes({0xE0, 0x40})},
      {"row 74", eceEUC, eceSJIS, bytes({0xEA, 0xA4}), bytes({0xE5, 0xA2})},
      {"row 84", eceSJIS, eceEUC, bytes({0xEA, 0xA4}), bytes({0xF4, 0xA6})},
      {"first kanji new", eceEUC, eceNewJIS, bytes({0xB0, 0xA1}), kanjiIn + bytes({0x30, 0x21}) + romanIn},
      {"first kanji old", eceEUC, eceOldJIS, bytes({0xB0, 0xA1}),
       bytes({ESC, '$', '@', 0x30, 0x21, ESC, '(', 'J'})},
      {"first kanji nec", eceEUC, eceNECJIS, bytes({0xB0, 0xA1}), bytes({ESC, 'K', 0x30, 0x21, ESC, 'H'})},
      {"half-width ka and voiced mark", eceSJIS, eceNewJIS, bytes({0xB6, 0xDE}),
       kanjiIn + bytes({0x25, 0x2C}) + romanIn},
      {"half-width ka and a", eceSJIS, eceNewJIS, bytes({0xB6, 0xB1}),
       kanjiIn + bytes({0x25, 0x2B, 0x25, 0x22}) + romanIn},
      {"user-defined character", eceSJIS, eceEUC, bytes({0xF0, 0x40}), "?"},
      {"user-defined character to jis", eceSJIS, eceNewJIS, bytes({'a', 0xFC, 0xFC, 'b'}), "a?b"},
      {"half-width a", eceEUC, eceSJIS, bytes({0x8E, 0xB1}), bytes({0xB1})},
      {"half-width a back", eceSJIS, eceEUC, bytes({0xB1}), bytes({0x8E, 0xB1})},
      {"line feed leaves kanji", eceEUC, eceNewJIS, bytes({0xB0, 0xA1, '\n', 0xB0, 0xA1}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + "\n" + kanjiIn + bytes({0x30, 0x21}) + romanIn},
      {"carriage return leaves kanji", eceSJIS, eceNECJIS, bytes({0x88, 0x9F, '\r', '\n', 'x'}),
       bytes({ESC, 'K', 0x30, 0x21, ESC, 'H', '\r', '\n', 'x'})},
      {"ascii between kanji", eceSJIS, eceNewJIS, bytes({0x88, 0x9F, 'a', 'b', 0x88, 0x9F}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + "ab" + kanjiIn + bytes({0x30, 0x21}) + romanIn},
      {"ascii alone needs no escape", eceEUC, eceOldJIS, "int main;\n", "int main;\n"},
      {"bad trail byte passes", eceSJIS, eceEUC, bytes({0x82, 0x20}), bytes({0x82, 0x20})},
      {"bad second byte passes", eceEUC, eceSJIS, bytes({0xB0, 'x'}), bytes({0xB0, 'x'})},
      {"bad kana byte passes", eceEUC, eceSJIS, bytes({0x8E, 'x'}), bytes({0x8E, 'x'})},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(JapaneseConvertersTest, EmptyInputGivesEmptyOutput) {
  const QL_EncodingKind kinds[] = {eceNone, eceEUC, eceSJIS, eceOldJIS, eceNewJIS, eceNECJIS};
  for (QL_EncodingKind from : kinds)
    for (QL_EncodingKind to : kinds)
      EXPECT_EQ("", translate("", from, to)) << from << " to " << to;
}

TEST(JapaneseConvertersTest, ReadsEveryJisEscapeForm) {
  struct EscapeCase {
    std::string afterEsc;
    int state;
    std::string left; // what the escape leaves unread
  };
  const EscapeCase cases[] = {
      {"$Bz", 1, "z"}, {"$@z", 1, "z"}, {"$(Oz", 1, "z"}, {"$(Pz", 2, "z"}, {"$(Qz", 0, "z"}, {"$Az", 0, "z"},
      {"(Bz", 0, "z"}, {"(Jz", 0, "z"}, {"(Iz", 0, "z"},  {"Kz", 1, "z"},   {"Hz", 0, "z"},   {"xz", 0, "z"},
      {"", 0, ""},     {"$", 0, ""},    {"$(", 0, ""},    {"(", 0, ""},
  };
  for (const EscapeCase &c : cases) {
    StringSource source;
    source.setText(CountedString(c.afterEsc));
    EXPECT_EQ(c.state, QL_readJisEscape(source)) << c.afterEsc;
    std::string left;
    for (int b = source.Get(); b != -1; b = source.Get())
      left += static_cast<char>(b);
    EXPECT_EQ(c.left, left) << c.afterEsc;
  }
}

TEST(JapaneseConvertersTest, JisInputInEveryForm) {
  const Case cases[] = {
      {"new", eceNewJIS, eceEUC, kanjiIn + bytes({0x30, 0x21}) + romanIn + "a", bytes({0xB0, 0xA1, 'a'})},
      {"old", eceOldJIS, eceEUC, bytes({ESC, '$', '@', 0x30, 0x21, ESC, '(', 'B', 'a'}),
       bytes({0xB0, 0xA1, 'a'})},
      {"nec", eceNECJIS, eceEUC, bytes({ESC, 'K', 0x30, 0x21, ESC, 'H', 'a'}), bytes({0xB0, 0xA1, 'a'})},
      {"iso 2022 plane 1", eceNewJIS, eceEUC, bytes({ESC, '$', '(', 'O', 0x30, 0x21}), bytes({0xB0, 0xA1})},
      {"second plane", eceNewJIS, eceEUC, planeTwoIn + bytes({0x21, 0x21, ESC, '(', 'B'}),
       bytes({0x8F, 0xA1, 0xA1})},
      {"second plane to sjis", eceNewJIS, eceSJIS, planeTwoIn + bytes({0x21, 0x21, 0x6E, 0x21}),
       bytes({0xF0, 0x40, 0xF4, 0x9F})},
      {"kanji to sjis", eceOldJIS, eceSJIS, kanjiIn + bytes({0x24, 0x22, 0x30, 0x21}) + romanIn + "z",
       bytes({0x82, 0xA0, 0x88, 0x9F, 'z'})},
      {"line end leaves kanji", eceNewJIS, eceEUC, kanjiIn + bytes({0x30, 0x21, '\n', 0x30, 0x21}),
       bytes({0xB0, 0xA1, '\n', 0x30, 0x21})},
      {"line end leaves kanji to sjis", eceNewJIS, eceSJIS, kanjiIn + bytes({0x30, 0x21, '\r', 0x30, 0x21}),
       bytes({0x88, 0x9F, '\r', 0x30, 0x21})},
      {"katakana shift", eceNewJIS, eceEUC, bytes({SO, 0x31, 0x5F, SI, 0x31}),
       bytes({0x8E, 0xB1, 0x8E, 0xDF, 0x31})},
      {"shift outlives line end", eceNewJIS, eceEUC, bytes({SO, 0x31, '\n', 0x32, SI, 0x33}),
       bytes({0x8E, 0xB1, '\n', 0x8E, 0xB2, 0x33})},
      {"shift only covers 21-5F", eceNewJIS, eceEUC, bytes({SO, 0x60, SI}), bytes({0x60})},
      {"lone shift-in is a byte", eceNewJIS, eceEUC, bytes({SI, 'a'}), bytes({SI, 'a'})},
      {"8-bit kana in kanji state", eceNewJIS, eceEUC, kanjiIn + bytes({0xB1, 0x30, 0x21}),
       bytes({0x8E, 0xB1, 0xB0, 0xA1})},
      {"kana shift in second plane", eceNewJIS, eceEUC, planeTwoIn + bytes({SO, 0x31}),
       bytes({0x8F, 0x8E, 0xB1})},
      {"shift bytes pass into sjis", eceNewJIS, eceSJIS, bytes({SO, 0x31, SI, 0x31}),
       bytes({SO, 0xB1, SI, 0x31})},
      {"8-bit kana to sjis", eceNewJIS, eceSJIS, bytes({0xB1, 'a'}), bytes({0xB1, 'a'})},
      {"katakana set escape is single bytes", eceNewJIS, eceEUC, bytes({ESC, '(', 'I', 0x31}), "1"},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(JapaneseConvertersTest, JisToJisReplacesOnlyTheEscapes) {
  const Case cases[] = {
      {"ascii escape becomes roman", eceNewJIS, eceNewJIS, kanjiIn + bytes({0x30, 0x21, ESC, '(', 'B', 'a'}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + "a"},
      {"repeated kanji escape dropped", eceNewJIS, eceNewJIS,
       kanjiIn + bytes({0x30, 0x21}) + kanjiIn + bytes({0x30, 0x22, ESC, '(', 'B'}),
       kanjiIn + bytes({0x30, 0x21, 0x30, 0x22}) + romanIn},
      {"escape that changes nothing dropped", eceNewJIS, eceNewJIS, bytes({ESC, '(', 'B', 'a'}), "a"},
      {"nec to old", eceNECJIS, eceOldJIS, bytes({ESC, 'K', 0x30, 0x21, ESC, 'H', 'a'}),
       bytes({ESC, '$', '@', 0x30, 0x21, ESC, '(', 'J', 'a'})},
      {"old to nec", eceOldJIS, eceNECJIS, bytes({ESC, '$', '@', 0x30, 0x21, ESC, '(', 'J'}),
       bytes({ESC, 'K', 0x30, 0x21, ESC, 'H'})},
      {"state left at line end and at the end", eceNewJIS, eceNECJIS,
       kanjiIn + bytes({0x30, 0x21, '\n'}) + kanjiIn + bytes({0x30, 0x22}),
       bytes({ESC, 'K', 0x30, 0x21, ESC, 'H', '\n', ESC, 'K', 0x30, 0x22, ESC, 'H'})},
      {"second plane keeps its designation", eceNewJIS, eceNECJIS, planeTwoIn + bytes({0x21, 0x21}),
       planeTwoIn + bytes({0x21, 0x21, ESC, 'H'})},
      {"shift bytes unchanged", eceNewJIS, eceOldJIS, bytes({SO, 0x31, SI}), bytes({SO, 0x31, SI})},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(JapaneseConvertersTest, JisOutputDesignatesTheSecondPlane) {
  const Case cases[] = {
      {"second plane", eceEUC, eceNewJIS, bytes({0x8F, 0xA1, 0xA1}),
       planeTwoIn + bytes({0x21, 0x21}) + romanIn},
      {"planes alternate", eceEUC, eceOldJIS, bytes({0xB0, 0xA1, 0x8F, 0xEE, 0xA1, 0xB0, 0xA1, 'a'}),
       bytes({ESC, '$', '@', 0x30, 0x21}) + planeTwoIn +
           bytes({0x6E, 0x21, ESC, '$', '@', 0x30, 0x21, ESC, '(', 'J', 'a'})},
      {"nec", eceEUC, eceNECJIS, bytes({0x8F, 0xA1, 0xA1, '\n'}),
       planeTwoIn + bytes({0x21, 0x21, ESC, 'H', '\n'})},
      {"second plane to sjis", eceEUC, eceSJIS,
       bytes({0x8F, 0xA1, 0xA1, 0x8F, 0xA3, 0xA1, 0x8F, 0xA8, 0xA1, 0x8F, 0xEE, 0xA1, 0x8F, 0xAF, 0xFE, 0x8F,
              0xFE, 0xF6}),
       bytes({0xF0, 0x40, 0xF1, 0x40, 0xF0, 0x9F, 0xF4, 0x9F, 0xF4, 0x9E, 0xFC, 0xF4})},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(JapaneseConvertersTest, HalfWidthKanaBecomeFullWidthInJis) {
  const Case cases[] = {
      {"ka voiced from euc", eceEUC, eceNewJIS, bytes({0x8E, 0xB6, 0x8E, 0xDE}),
       kanjiIn + bytes({0x25, 0x2C}) + romanIn},
      {"ka then a from euc", eceEUC, eceNewJIS, bytes({0x8E, 0xB6, 0x8E, 0xB1}),
       kanjiIn + bytes({0x25, 0x2B, 0x25, 0x22}) + romanIn},
      {"ha semi-voiced", eceSJIS, eceNewJIS, bytes({0xCA, 0xDF}), kanjiIn + bytes({0x25, 0x51}) + romanIn},
      {"u voiced is vu", eceSJIS, eceNewJIS, bytes({0xB3, 0xDE}), kanjiIn + bytes({0x25, 0x74}) + romanIn},
      {"lone marks", eceSJIS, eceNewJIS, bytes({0xDE, 0xDF}),
       kanjiIn + bytes({0x21, 0x2B, 0x21, 0x2C}) + romanIn},
      {"mark after unsuitable base", eceSJIS, eceNewJIS, bytes({0xB1, 0xDE}),
       kanjiIn + bytes({0x25, 0x22, 0x21, 0x2B}) + romanIn},
      {"kana then kanji lead in euc", eceEUC, eceNewJIS, bytes({0x8E, 0xB6, 0xDE, 0xA1}),
       kanjiIn + bytes({0x25, 0x2B, 0x5E, 0x21}) + romanIn},
      {"kana then ascii", eceEUC, eceNECJIS, bytes({0x8E, 0xB1, 'a'}),
       bytes({ESC, 'K', 0x25, 0x22, ESC, 'H', 'a'})},
      {"kana before line end", eceSJIS, eceNewJIS, bytes({0xB1, '\n'}),
       kanjiIn + bytes({0x25, 0x22}) + romanIn + "\n"},
      {"punctuation", eceSJIS, eceNewJIS, bytes({0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xB0}),
       kanjiIn + bytes({0x21, 0x23, 0x21, 0x56, 0x21, 0x57, 0x21, 0x22, 0x21, 0x26, 0x21, 0x3C}) + romanIn},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(JapaneseConvertersTest, WidenKanaJoinsMarksAndGivesBackTheRest) {
  struct KanaCase {
    QL_EncodingKind input;
    int kana;
    std::string following;
    int c;
    int d;
    std::string left;
  };
  const KanaCase cases[] = {
      {eceSJIS, 0xA1, "", 0x81, 0x42, ""},
      {eceSJIS, 0xA2, "", 0x81, 0x75, ""},
      {eceSJIS, 0xA3, "", 0x81, 0x76, ""},
      {eceSJIS, 0xA4, "", 0x81, 0x41, ""},
      {eceSJIS, 0xA5, "", 0x81, 0x45, ""},
      {eceSJIS, 0xA6, "", 0x83, 0x92, ""},
      {eceSJIS, 0xA7, "", 0x83, 0x40, ""},
      {eceSJIS, 0xAF, "", 0x83, 0x62, ""},
      {eceSJIS, 0xB0, "", 0x81, 0x5B, ""},
      {eceSJIS, 0xB1, "", 0x83, 0x41, ""},
      {eceSJIS, 0xB3, "", 0x83, 0x45, ""},
      {eceSJIS, 0xB6, "", 0x83, 0x4A, ""},
      {eceSJIS, 0xC4, "", 0x83, 0x67, ""},
      {eceSJIS, 0xCA, "", 0x83, 0x6E, ""},
      {eceSJIS, 0xCE, "", 0x83, 0x7A, ""},
      {eceSJIS, 0xDC, "", 0x83, 0x8F, ""},
      {eceSJIS, 0xDD, "", 0x83, 0x93, ""},
      {eceSJIS, 0xDE, "", 0x81, 0x4A, ""},
      {eceSJIS, 0xDF, "", 0x81, 0x4B, ""},
      {eceSJIS, 0xB6, bytes({0xDE}), 0x83, 0x4B, ""},
      {eceSJIS, 0xC4, bytes({0xDE}), 0x83, 0x68, ""},
      {eceSJIS, 0xB3, bytes({0xDE}), 0x83, 0x94, ""},
      {eceSJIS, 0xCA, bytes({0xDE}), 0x83, 0x6F, ""},
      {eceSJIS, 0xCA, bytes({0xDF}), 0x83, 0x70, ""},
      {eceSJIS, 0xCE, bytes({0xDF}), 0x83, 0x7C, ""},
      {eceSJIS, 0xB6, bytes({0xDF}), 0x83, 0x4A, bytes({0xDF})},
      {eceSJIS, 0xB1, bytes({0xDE}), 0x83, 0x41, bytes({0xDE})},
      {eceSJIS, 0xC5, bytes({0xDE}), 0x83, 0x69, bytes({0xDE})},
      {eceSJIS, 0xDF, "x", 0x81, 0x4B, "x"},
      {eceEUC, 0xB6, bytes({0x8E, 0xDE}), 0x83, 0x4B, ""},
      {eceEUC, 0xCA, bytes({0x8E, 0xDF, 'z'}), 0x83, 0x70, "z"},
      {eceEUC, 0xB6, bytes({0x8E, 0xB1}), 0x83, 0x4A, bytes({0x8E, 0xB1})},
      {eceEUC, 0xB6, bytes({0x8E}), 0x83, 0x4A, bytes({0x8E})},
      {eceEUC, 0xB6, bytes({0xDE, 0xA1}), 0x83, 0x4A, bytes({0xDE, 0xA1})},
      {eceEUC, 0xB6, "a", 0x83, 0x4A, "a"},
      {eceNone, 0xB6, bytes({0xDE}), 0x83, 0x4A, bytes({0xDE})},
  };
  for (const KanaCase &k : cases) {
    StringSource source;
    source.setText(CountedString(k.following));
    int c = k.kana;
    int d = -1;
    QL_widenKana(source, c, d, k.input);
    EXPECT_EQ(k.c, c) << std::hex << k.kana << " " << hex(k.following);
    EXPECT_EQ(k.d, d) << std::hex << k.kana << " " << hex(k.following);
    std::string left;
    for (int b = source.Get(); b != -1; b = source.Get())
      left += static_cast<char>(b);
    EXPECT_EQ(hex(k.left), hex(left)) << std::hex << k.kana << " " << hex(k.following);
  }
}

TEST(JapaneseConvertersTest, EveryVoicedBaseJoinsItsMark) {
  for (int kana = 0xA1; kana <= 0xDF; ++kana) {
    for (int mark : {0xDE, 0xDF}) {
      bool joins = mark == 0xDE
                       ? (kana == 0xB3 || (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE))
                       : (kana >= 0xCA && kana <= 0xCE);
      StringSource plain;
      int baseC = kana;
      int baseD = 0;
      QL_widenKana(plain, baseC, baseD, eceSJIS);

      StringSource source;
      source.setText(CountedString(bytes({mark})));
      int c = kana;
      int d = 0;
      QL_widenKana(source, c, d, eceSJIS);
      EXPECT_EQ(joins ? -1 : mark, source.Get()) << std::hex << kana;
      EXPECT_EQ(baseC, c);
      if (!joins)
        EXPECT_EQ(baseD, d) << std::hex << kana;
      else if (kana == 0xB3)
        EXPECT_EQ(0x94, d);
      else
        EXPECT_EQ(baseD + (mark == 0xDE ? 1 : 2), d) << std::hex << kana;
    }
  }
}

TEST(JapaneseConvertersTest, TruncatedCharactersPassTheirLeadBytes) {
  const Case cases[] = {
      {"sjis lead", eceSJIS, eceEUC, bytes({'a', 0x82}), bytes({'a', 0x82})},
      {"sjis user lead", eceSJIS, eceEUC, bytes({0xF0}), bytes({0xF0})},
      {"euc lead", eceEUC, eceSJIS, bytes({0xA4}), bytes({0xA4})},
      {"euc kana prefix", eceEUC, eceSJIS, bytes({0x8E}), bytes({0x8E})},
      {"euc plane-2 prefix", eceEUC, eceSJIS, bytes({0x8F}), bytes({0x8F})},
      {"euc plane-2 first byte", eceEUC, eceSJIS, bytes({0x8F, 0xA1}), bytes({0x8F, 0xA1})},
      {"jis pair to euc", eceNewJIS, eceEUC, kanjiIn + bytes({0x30, 0x21, 0x30}), bytes({0xB0, 0xA1, 0x30})},
      {"jis pair to sjis", eceNewJIS, eceSJIS, kanjiIn + bytes({0x30}), bytes({0x30})},
      {"shifted jis pair to sjis", eceNewJIS, eceSJIS, bytes({SO}) + kanjiIn + bytes({0x31}),
       bytes({SO, 0x31})},
      {"jis pair to jis", eceNewJIS, eceNewJIS, kanjiIn + bytes({0x30, 0x21, 0x30}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + bytes({0x30})},
      {"sjis lead to jis", eceSJIS, eceNewJIS, bytes({0x88, 0x9F, 0x82}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + bytes({0x82})},
      {"sjis user lead to jis", eceSJIS, eceNewJIS, bytes({0xFC}), bytes({0xFC})},
      {"euc lead to jis", eceEUC, eceNewJIS, bytes({0xB0, 0xA1, 0xA4}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + bytes({0xA4})},
      {"euc kana prefix to jis", eceEUC, eceNewJIS, bytes({0x8E}), bytes({0x8E})},
      {"kana then kana prefix to jis", eceEUC, eceNewJIS, bytes({0x8E, 0xB6, 0x8E}),
       kanjiIn + bytes({0x25, 0x2B}) + romanIn + bytes({0x8E})},
      {"euc plane-2 to jis", eceEUC, eceNewJIS, bytes({0x8F, 0xA1}), bytes({0x8F, 0xA1})},
      {"unfinished escape", eceNewJIS, eceEUC, bytes({'a', ESC, '$'}), "a"},
  };
  expectAll(std::begin(cases), std::end(cases));
}

// A broken second-plane character gives its bytes back instead of taking the
// line end or the next character with it.
TEST(JapaneseConvertersTest, BrokenSecondPlaneCharacterKeepsWhatFollows) {
  const Case cases[] = {
      {"line end after prefix", eceEUC, eceSJIS, bytes({0x8F, '\n', 'a'}), bytes({0x8F, '\n', 'a'})},
      {"line end after first byte", eceEUC, eceSJIS, bytes({0x8F, 0xA1, '\n'}), bytes({0x8F, 0xA1, '\n'})},
      {"kana after first byte", eceEUC, eceSJIS, bytes({0x8F, 0xA1, 0x8E, 0xB1}), bytes({0x8F, 0xA1, 0xB1})},
      {"to jis", eceEUC, eceNewJIS, bytes({0xB0, 0xA1, 0x8F, '\n', 0xB0, 0xA1}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + bytes({0x8F, '\n'}) + kanjiIn + bytes({0x30, 0x21}) +
           romanIn},
      {"first byte to jis", eceEUC, eceNewJIS, bytes({0x8F, 0xA1, 'a', 0xB0, 0xA1}),
       bytes({0x8F, 0xA1, 'a'}) + kanjiIn + bytes({0x30, 0x21}) + romanIn},
  };
  expectAll(std::begin(cases), std::end(cases));
}

// A byte that is no character of its own is written in the single-byte state,
// so that it cannot pair with what follows.
TEST(JapaneseConvertersTest, JisOutputWritesSingleBytesOutsideKanji) {
  const Case cases[] = {
      {"user-defined between kanji", eceSJIS, eceNewJIS, bytes({0x88, 0x9F, 0xF0, 0x40, 0x88, 0x9F}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + "?" + kanjiIn + bytes({0x30, 0x21}) + romanIn},
      {"bad trail after kanji", eceSJIS, eceNewJIS, bytes({0x88, 0x9F, 0x82, '\n'}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + bytes({0x82, '\n'})},
      {"bad euc pair after kanji", eceEUC, eceNewJIS, bytes({0xB0, 0xA1, 0xB0, 'x'}),
       kanjiIn + bytes({0x30, 0x21}) + romanIn + bytes({0xB0, 'x'})},
      {"bad kana after kanji", eceEUC, eceNECJIS, bytes({0xB0, 0xA1, 0x8E, 'x'}),
       bytes({ESC, 'K', 0x30, 0x21, ESC, 'H', 0x8E, 'x'})},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(JapaneseConvertersTest, OtherPairsAreCopied) {
  const std::string mixed = bytes({'a', 0x82, 0xA0, 0x8E, 0xB1, ESC, '$', 'B', 0xFF, 0x00, 0xF0, 0x40, '\n'});
  const QL_EncodingKind all[] = {eceNone, eceEUC, eceSJIS, eceOldJIS, eceNewJIS, eceNECJIS};
  for (QL_EncodingKind kind : all) {
    EXPECT_EQ(hex(mixed), hex(translate(mixed, eceNone, kind))) << kind;
    EXPECT_EQ(hex(mixed), hex(translate(mixed, kind, eceNone))) << kind;
  }
  EXPECT_EQ(hex(mixed), hex(translate(mixed, eceEUC, eceEUC)));
  EXPECT_EQ(hex(mixed), hex(translate(mixed, eceSJIS, eceSJIS)));
}

TEST(JapaneseConvertersTest, InvalidPairsAreReportedAndCopied) {
  struct InvalidCase {
    QL_EncodingKind from;
    QL_EncodingKind to;
    std::string printed;
  };
  const InvalidCase cases[] = {
      {eceEUC, eceUTF, "Translation for invalid encodings: eceEUC to eceUTF, performing binary copy.\n"},
      {eceInvalid, eceSJIS,
       "Translation for invalid encodings: eceInvalid to eceSJIS, performing binary copy.\n"},
      {eceUTF, eceUTF, "Translation for invalid encodings: eceUTF to eceUTF, performing binary copy.\n"},
      {eceNewJIS, static_cast<QL_EncodingKind>(8),
       "Translation for invalid encodings: eceNewJIS to Unknown Endcoding Kind, performing binary copy.\n"},
      {static_cast<QL_EncodingKind>(-1), eceNone,
       "Translation for invalid encodings: Unknown Endcoding Kind to eceNone, performing binary copy.\n"},
  };
  const std::string input = bytes({0xA4, 0xA2, 0x82, 0xA0, ESC, '$', 'B', 0xFF, '\n'});
  for (const InvalidCase &c : cases) {
    ::testing::internal::CaptureStdout();
    std::string result = translate(input, c.from, c.to);
    EXPECT_EQ(c.printed, ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(hex(input), hex(result));
  }
}

TEST(JapaneseConvertersTest, KindNames) {
  struct NameCase {
    int kind;
    const char *name;
  };
  const NameCase cases[] = {
      {0, "eceInvalid"},
      {1, "eceNone"},
      {2, "eceEUC"},
      {3, "eceSJIS"},
      {4, "eceOldJIS"},
      {5, "eceNewJIS"},
      {6, "eceNECJIS"},
      {7, "eceUTF"},
      {8, "Unknown Endcoding Kind"},
      {-1, "Unknown Endcoding Kind"},
  };
  for (const NameCase &c : cases)
    EXPECT_EQ(c.name, QL_encodingKindName(static_cast<QL_EncodingKind>(c.kind)));
}

TEST(JapaneseConvertersTest, EscapeTablesOfTheJisKinds) {
  struct TableCase {
    QL_EncodingKind kind;
    const char *texts[3];
  };
  const TableCase cases[] = {
      {eceOldJIS, {"(J", "$@", "$(P"}},
      {eceNewJIS, {"(J", "$B", "$(P"}},
      {eceNECJIS, {"H", "K", "$(P"}},
  };
  for (const TableCase &c : cases) {
    for (int state = 0; state < 3; ++state) {
      StringDestination destination;
      QL_writeJisEscape(destination, QL_jisEscapeTable(c.kind), state);
      EXPECT_EQ(std::string("\x1B") + c.texts[state], destination.text().toStdString()) << c.kind << state;
    }
  }
  EXPECT_THROW(QL_jisEscapeTable(eceEUC), U_AssertException);
}

// Every position of the first plane, and of the rows of the second plane that
// Shift_JIS can hold, survives the pair arithmetic both ways.
TEST(JapaneseConvertersTest, PairArithmeticIsInvertibleOnBothPlanes) {
  auto inShiftJis = [](int plane, int row) {
    int r = row - 0x20;
    return plane == 1 || r == 1 || (r >= 3 && r <= 5) || r == 8 || (r >= 12 && r <= 15) || r >= 78;
  };
  for (int plane = 1; plane <= 2; ++plane) {
    for (int row = 0x21; row <= 0x7E; ++row) {
      if (!inShiftJis(plane, row))
        continue;
      for (int cell = 0x21; cell <= 0x7E; ++cell) {
        int c1 = row;
        int c2 = cell;
        QL_jisPairToSjis(plane, c1, c2);
        ASSERT_TRUE(c2 >= 0x40 && c2 <= 0xFC && c2 != 0x7F) << std::hex << row << " " << cell;
        ASSERT_EQ(plane, QL_sjisPairToJis(c1, c2)) << std::hex << row << " " << cell;
        ASSERT_EQ(row, c1);
        ASSERT_EQ(cell, c2);
      }
    }
  }
}

// Every JIS X 0208 position survives EUC -> Shift_JIS -> EUC and EUC -> each
// JIS form -> EUC; every second-plane position survives EUC -> JIS -> EUC.
TEST(JapaneseConvertersTest, RoundTripsOverAllPositions) {
  std::string euc;
  std::string eucPlaneTwo;
  for (int row = 0xA1; row <= 0xFE; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      euc += bytes({row, cell});
      eucPlaneTwo += bytes({0x8F, row, cell});
    }
    euc += '\n';
    eucPlaneTwo += '\n';
  }
  for (int kana = 0xA1; kana <= 0xDF; ++kana)
    euc += bytes({0x8E, kana});

  const std::string sjis = translate(euc, eceEUC, eceSJIS);
  EXPECT_EQ(euc, translate(sjis, eceSJIS, eceEUC));
  for (QL_EncodingKind jis : {eceOldJIS, eceNewJIS, eceNECJIS}) {
    std::string kanjiOnly = euc.substr(0, euc.find('\x8E'));
    std::string seven = translate(kanjiOnly, eceEUC, jis);
    for (char c : seven)
      ASSERT_EQ(0, c & 0x80) << jis;
    EXPECT_EQ(kanjiOnly, translate(seven, jis, eceEUC)) << jis;
    EXPECT_EQ(translate(kanjiOnly, eceEUC, eceSJIS), translate(seven, jis, eceSJIS)) << jis;
    EXPECT_EQ(seven, translate(seven, jis, jis)) << jis;
    EXPECT_EQ(seven, translate(translate(kanjiOnly, eceEUC, eceSJIS), eceSJIS, jis)) << jis;

    std::string planeTwo = translate(eucPlaneTwo, eceEUC, jis);
    EXPECT_EQ(eucPlaneTwo, translate(planeTwo, jis, eceEUC)) << jis;
    EXPECT_EQ(translate(eucPlaneTwo, eceEUC, eceSJIS), translate(planeTwo, jis, eceSJIS)) << jis;
  }
}

// The converters give back two bytes in a row while looking for a sound mark;
// files and streams must return them as a string does.
class ConverterSourceTest : public ::testing::Test {
protected:
  test_support::ScratchDirectory m_dir;
};

TEST_F(ConverterSourceTest, FilesAndStreamsTakeTwoBytesBack) {
  struct SourceCase {
    std::string euc;
    std::string jis;
  };
  const SourceCase cases[] = {
      {bytes({0x8E, 0xB6, 0x8E, 0xB1, 0x8E, 0xB6, 0x8E, 0xDE}),
       kanjiIn + bytes({0x25, 0x2B, 0x25, 0x22, 0x25, 0x2C}) + romanIn},
      {bytes({0x8E, 0xCA, 0x8E, 0xCA, 0x8E, 0xDF, '\n'}),
       kanjiIn + bytes({0x25, 0x4F, 0x25, 0x51}) + romanIn + "\n"},
      {bytes({0x8E, 0xB6, 0x8E}), kanjiIn + bytes({0x25, 0x2B}) + romanIn + bytes({0x8E})},
  };
  for (const SourceCase &c : cases) {
    std::istringstream in(c.euc);
    StreamSource stream(&in);
    StringDestination fromStream;
    QL_eucToJis(stream, fromStream, eceNewJIS);
    EXPECT_EQ(hex(c.jis), hex(fromStream.text().toStdString()));

    const std::string path = m_dir.writeFile("in.txt", c.euc);
    FileSource file;
    ASSERT_TRUE(file.open(CountedString(path)));
    StringDestination fromFile;
    QL_eucToJis(file, fromFile, eceNewJIS);
    file.Close();
    EXPECT_EQ(hex(c.jis), hex(fromFile.text().toStdString()));
  }
}

TEST_F(ConverterSourceTest, WritesIntoFilesAndStreams) {
  std::istringstream in(bytes({0x88, 0x9F, 'a', '\n'}));
  StreamSource source(&in);
  const std::string path = m_dir / "out.txt";
  FileDestination file;
  ASSERT_TRUE(file.open(CountedString(path)));
  translateFile(source, file, eceSJIS, eceNECJIS);
  file.Close();
  const std::string written = test_support::readFile(path);
  EXPECT_EQ(hex(bytes({ESC, 'K', 0x30, 0x21, ESC, 'H', 'a', '\n'})), hex(written));

  std::istringstream again(bytes({0xB0, 0xA1}));
  StreamSource eucSource(&again);
  std::ostringstream out;
  StreamDestination stream(&out);
  translateFile(eucSource, stream, eceEUC, eceSJIS);
  EXPECT_EQ(hex(bytes({0x88, 0x9F})), hex(out.str()));
}

} // namespace
