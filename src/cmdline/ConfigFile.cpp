#include "cmdline/ConfigFile.h"

#include "cmdline/Product.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Assertion.h"
#include "foundation/Exception.h"
#include "foundation/PathText.h"
#include "foundation/PlatformName.h"
#include "foundation/TextConversion.h"
#include "platform/Environment.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

namespace {

// The values of the configuration files. Nothing reads them once stored; they
// stay for the run.
struct LyrConfigRecord {
  std::string help[1024];
  std::string messages[3];
  std::string levels[500];
  std::int32_t development[4];
  std::int32_t cyclomatic[5];
  std::int32_t paths[3];
  std::int32_t general[8];
  std::int32_t comments[2];
  std::string format[2];
};

struct LyrppConfigRecord {
  std::string help[1024];
  std::string characters;
  std::int32_t internal;
  std::string messages[3];
  std::string levels[500];
  std::int32_t development[4];
  std::int32_t cyclomatic[5];
  std::int32_t paths[3];
  std::string debugging;
  std::int32_t general[5];
  std::int32_t comments[2];
  std::int32_t bathtub[2];
};

struct KefConfigRecord {
  std::string help[1024];
};

LyrConfigRecord lyrConfig;
LyrppConfigRecord lyrppConfig;
KefConfigRecord kefConfig;

// The next entry of the list slot being filled.
std::int32_t listCounter = 0;

constexpr ConfigSectionTable section(const char *name) { return {crkSection, name, nullptr, nullptr, 0}; }
constexpr ConfigSectionTable optionsSection() { return {crkOptions, "options", nullptr, nullptr, 0}; }
constexpr ConfigSectionTable endOfTable() { return {crkEnd, nullptr, nullptr, nullptr, 0}; }
constexpr ConfigSectionTable text(std::string &slot) { return {crkText, nullptr, &slot, nullptr, 1}; }
constexpr ConfigSectionTable number(std::int32_t &slot) { return {crkNumber, nullptr, nullptr, &slot, 1}; }
template <std::size_t N> constexpr ConfigSectionTable textList(std::string (&slots)[N]) {
  return {crkTextList, nullptr, slots, nullptr, static_cast<std::int32_t>(N)};
}

bool isAsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isVariableNameChar(unsigned char c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == '_'; }

// A decimal int at the start of the text, blanks before it skipped; nothing
// when there is none or it does not fit.
std::optional<std::int32_t> leadingNumber(const char *text) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  while (isAsciiSpace(*p))
    ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+')
    ++p;
  if (!isAsciiDigit(*p))
    return std::nullopt;
  const long long limit = negative ? -static_cast<long long>(INT32_MIN) : INT32_MAX;
  long long value = 0;
  for (; isAsciiDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit)
      return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

// The value of an environment variable, in the internal encoding once there
// is a product.
std::optional<std::string> variableValue(const std::string &name) {
  if (const C_Product *product = C_currentProduct())
    return productEnvironmentValue(*product, name);
  return platform::environmentValue(name);
}

void reportUnexpectedData(const char *line) {
  std::printf("\nERROR: Unexpected configuration data: %s\n", line);
}

} // namespace

constinit const ConfigSectionTable lyrConfigSections[] = {
    section("help"),
    textList(lyrConfig.help),
    section("messages"),
    text(lyrConfig.messages[0]),
    text(lyrConfig.messages[1]),
    text(lyrConfig.messages[2]),
    section("levels"),
    textList(lyrConfig.levels),
    section("development"),
    number(lyrConfig.development[0]),
    number(lyrConfig.development[1]),
    number(lyrConfig.development[2]),
    number(lyrConfig.development[3]),
    section("cyclomatic"),
    number(lyrConfig.cyclomatic[0]),
    number(lyrConfig.cyclomatic[1]),
    number(lyrConfig.cyclomatic[2]),
    number(lyrConfig.cyclomatic[3]),
    number(lyrConfig.cyclomatic[4]),
    section("paths"),
    number(lyrConfig.paths[0]),
    number(lyrConfig.paths[1]),
    number(lyrConfig.paths[2]),
    section("general"),
    number(lyrConfig.general[0]),
    number(lyrConfig.general[1]),
    number(lyrConfig.general[2]),
    number(lyrConfig.general[3]),
    number(lyrConfig.general[4]),
    number(lyrConfig.general[5]),
    number(lyrConfig.general[6]),
    number(lyrConfig.general[7]),
    section("comments"),
    number(lyrConfig.comments[0]),
    number(lyrConfig.comments[1]),
    section("format"),
    {crkTextList, nullptr, &lyrConfig.format[0], nullptr, 1},
    {crkTextList, nullptr, &lyrConfig.format[1], nullptr, 1},
    optionsSection(),
    endOfTable(),
};

constinit const ConfigSectionTable lyrppConfigSections[] = {
    section("help"),
    textList(lyrppConfig.help),
    section("characters"),
    text(lyrppConfig.characters),
    section("internal"),
    number(lyrppConfig.internal),
    section("messages"),
    text(lyrppConfig.messages[0]),
    text(lyrppConfig.messages[1]),
    text(lyrppConfig.messages[2]),
    section("levels"),
    textList(lyrppConfig.levels),
    section("development"),
    number(lyrppConfig.development[0]),
    number(lyrppConfig.development[1]),
    number(lyrppConfig.development[2]),
    number(lyrppConfig.development[3]),
    section("cyclomatic"),
    number(lyrppConfig.cyclomatic[0]),
    number(lyrppConfig.cyclomatic[1]),
    number(lyrppConfig.cyclomatic[2]),
    number(lyrppConfig.cyclomatic[3]),
    number(lyrppConfig.cyclomatic[4]),
    section("paths"),
    number(lyrppConfig.paths[0]),
    number(lyrppConfig.paths[1]),
    number(lyrppConfig.paths[2]),
    section("debugging"),
    text(lyrppConfig.debugging),
    section("general"),
    number(lyrppConfig.general[0]),
    number(lyrppConfig.general[1]),
    number(lyrppConfig.general[2]),
    number(lyrppConfig.general[3]),
    number(lyrppConfig.general[4]),
    section("comments"),
    number(lyrppConfig.comments[0]),
    number(lyrppConfig.comments[1]),
    section("bathtub"),
    number(lyrppConfig.bathtub[0]),
    number(lyrppConfig.bathtub[1]),
    optionsSection(),
    endOfTable(),
};

constinit const ConfigSectionTable kefConfigSections[] = {
    section("help"),
    textList(kefConfig.help),
    optionsSection(),
    endOfTable(),
};

namespace {

// Reads one physical line, or as much of it as fits, into buffer: at most
// size - 1 characters, the newline included, then a NUL. A NUL byte in the
// file ends the text; the rest of the line up to its newline is passed over,
// but the newline itself is kept, so that the line still ends there. Gives
// the number of characters stored, or nothing at the end of the file.
std::optional<std::size_t> readLinePiece(char *buffer, std::size_t size, std::FILE *file) {
  std::size_t length = 0;
  bool passingOver = false;
  int c = std::getc(file);
  if (c == EOF)
    return std::nullopt;
  for (; c != EOF; c = std::getc(file)) {
    if (c == '\0') {
      passingOver = true;
    } else if (c == '\n') {
      buffer[length++] = '\n';
      break;
    } else if (!passingOver) {
      buffer[length++] = static_cast<char>(c);
      if (length == size - 1)
        break;
    }
  }
  buffer[length] = '\0';
  return length;
}

// True when the file has nothing more to read.
bool atEndOfFile(std::FILE *file) {
  const int c = std::getc(file);
  if (c == EOF)
    return true;
  std::ungetc(c, file);
  return false;
}

} // namespace

char *readConfigLine(char *buffer, std::size_t size, std::FILE *file) {
  U_ASSERT_THROW(buffer && size >= 2 && file);
  std::optional<std::size_t> read = readLinePiece(buffer, size, file);
  if (!read)
    return nullptr;
  std::size_t length = *read;
  while (length >= 2 && buffer[length - 1] == '\n' && buffer[length - 2] == '\\') {
    length -= 2;
    buffer[length] = '\0';
    char piece[ConfigLineSize];
    read = readLinePiece(piece, sizeof piece, file);
    if (!read)
      break;
    const std::size_t taken = std::min(*read, size - 1 - length);
    std::memcpy(buffer + length, piece, taken);
    length += taken;
    buffer[length] = '\0';
  }
  // A backslash as the last byte of the file is a continuation with nothing
  // to join, dropped as one before a newline is.
  if (length >= 1 && buffer[length - 1] == '\\' && atEndOfFile(file))
    buffer[--length] = '\0';
  return buffer;
}

std::string expandConfigText(const std::string &line, bool newlineEnds, bool substitute, bool escapes) {
  // The text ends at its first NUL as the C string it stands for would.
  std::size_t end = std::min(line.find('\0'), line.size());
  if (newlineEnds)
    end = std::min(end, line.find('\n'));
  std::string result;
  std::size_t i = 0;
  while (i < end) {
    const char c = line[i];
    if (substitute && c == '$') {
      if (i + 1 < end && line[i + 1] == '$') {
        result += '$';
        i += 2;
      } else if (i + 1 < end && line[i + 1] == '{') {
        const std::size_t close = line.find('}', i + 2);
        if (close == std::string::npos || close >= end) {
          std::printf("\nERROR: Badly formed variable substitution:\n\t%s\n", line.c_str());
          break;
        }
        if (std::optional<std::string> value = variableValue(line.substr(i + 2, close - i - 2)))
          result += *value;
        i = close + 1;
      } else {
        std::size_t nameEnd = i + 1;
        while (nameEnd < end && isVariableNameChar(static_cast<unsigned char>(line[nameEnd])))
          ++nameEnd;
        if (nameEnd > i + 1)
          if (std::optional<std::string> value = variableValue(line.substr(i + 1, nameEnd - i - 1)))
            result += *value;
        i = nameEnd;
      }
    } else if (escapes && c == '\\' && i + 1 < end) {
      const char next = line[i + 1];
      result += next == 'n' ? '\n' : next == 't' ? '\t' : next;
      i += 2;
    } else {
      result += c;
      ++i;
    }
    if (result.size() >= ConfigLineSize - 1)
      break;
  }
  if (result.size() > ConfigLineSize - 1)
    result.resize(ConfigLineSize - 1);
  return result;
}

void expandConfigLine(char *line, std::size_t size, bool newlineEnds, bool substitute, bool escapes) {
  U_ASSERT_THROW(line && size >= 1);
  const std::string expanded = expandConfigText(line, newlineEnds, substitute, escapes);
  const std::size_t length = std::min(expanded.size(), size - 1);
  std::memcpy(line, expanded.data(), length);
  line[length] = '\0';
}

const ConfigSectionTable *findConfigSection(const char *line, const ConfigSectionTable *table,
                                            bool &continueReading) {
  U_ASSERT_THROW(line && *line == '#' && table);
  std::string word;
  for (const char *p = line + 1;
       isAsciiLetter(static_cast<unsigned char>(*p)) || isAsciiDigit(static_cast<unsigned char>(*p)); ++p)
    word += *p;
  for (const ConfigSectionTable *row = table; row->kind != crkEnd; ++row) {
    if (row->kind != crkSection && row->kind != crkOptions)
      continue;
    if (U_strnicmp(word.c_str(), row->name, std::strlen(row->name)) == 0) {
      listCounter = 0;
      continueReading = row->kind != crkOptions;
      return row + 1;
    }
  }
  std::printf("\nERROR: Unknown section #%s\n", word.c_str());
  return nullptr;
}

void storeConfigValue(const char *line, const ConfigSectionTable *&slot, bool substitute) {
  if (!slot)
    return;
  switch (slot->kind) {
  case crkText:
    *slot->texts = expandConfigText(line, true, substitute, true);
    ++slot;
    break;
  case crkNumber:
    if (std::optional<std::int32_t> value = leadingNumber(line))
      *slot->numbers = *value;
    ++slot;
    break;
  case crkTextList:
  case crkNumberList:
    if (listCounter < 0 || listCounter >= slot->count) // a list without entries
      listCounter = 0;
    if (slot->count > 0) {
      if (slot->kind == crkTextList)
        slot->texts[listCounter] = expandConfigText(line, true, substitute, true);
      else if (std::optional<std::int32_t> value = leadingNumber(line))
        slot->numbers[listCounter] = *value;
    }
    if (++listCounter >= slot->count) {
      listCounter = 0;
      ++slot;
    }
    break;
  default:
    reportUnexpectedData(line);
    break;
  }
}

bool readConfigSections(std::FILE *file, const ConfigSectionTable *table, bool substitute) {
  U_ASSERT_THROW(file && table);
  const ConfigSectionTable *slot = nullptr;
  char line[ConfigLineSize];
  while (readConfigLine(line, sizeof line, file)) {
    if (line[0] == '*')
      continue;
    if (line[0] == '#') {
      bool continueReading = true;
      slot = findConfigSection(line, table, continueReading);
      if (!continueReading)
        return true;
    } else {
      storeConfigValue(line, slot, substitute);
    }
  }
  return false;
}

QL_FileTranslatorPtr readProductConfigFile(QL_EncodingKind kind, const std::string &tempDir,
                                           const char *binDir, const std::string &productWord,
                                           const ConfigSectionTable *table, bool substitute) {
  // The directory is taken into the internal encoding before its backslashes
  // become "/", so that no second byte of a double-byte character is taken
  // for a separator.
  const std::string directory = QL_toForwardSlashes(QL_nameToInternal(binDir ? binDir : "", kind));
  const std::string path =
      QL_fromInternal(QL_addExtension(QL_joinPath(directory, productWord), ".cfg"), kind);
  QL_FileTranslatorPtr translator(new QL_FileTranslator(kind, tempDir));
  // A directory of that name is refused by the opening itself.
  std::FILE *file = translator->open(path, false);
  if (!file) {
    std::fprintf(stderr, "\nERROR: Unable to open configuration file %s\n\n", path.c_str());
    return QL_FileTranslatorPtr();
  }
  readConfigSections(file, table, substitute);
  // A file that opens but fails part way would leave options unread.
  if (std::ferror(file))
    throw U_UserException("Cannot read file: '" + path + "'.");
  return translator;
}
