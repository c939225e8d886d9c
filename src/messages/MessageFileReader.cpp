#include "messages/MessageFileReader.h"

#include "foundation/Exception.h"
#include "foundation/Language.h"
#include "foundation/TextConversion.h"
#include "foundation/TranStreambuf.h"

#include <iostream>
#include <set>
#include <sstream>

namespace {

// The rest of a line after the blanks that follow the fields read so far;
// empty when a field could not be read.
std::string restOfLine(std::istringstream &fields) {
  std::string rest;
  if (fields >> std::ws)
    std::getline(fields, rest);
  return rest;
}

// Reads the logical lines of one message file and files what they say.
class MessageFileParser {
public:
  MessageFileParser(M_MessageMap &messages, bool higherWins)
      : m_messages(messages), m_higherWins(higherWins) {}

  void parse(std::istream &in) {
    std::string logical;
    std::string physical;
    bool open = false;
    // A last line without a line end arrives like any other; only a read
    // that gets nothing at all ends the text.
    while (std::getline(in, physical)) {
      logical += physical;
      open = true;
      while (!logical.empty() && logical.back() == '\r')
        logical.pop_back();
      if (logical.size() >= 2 && logical.compare(logical.size() - 2, 2, "\\\\") == 0) {
        logical.replace(logical.size() - 2, 2, "@@");
        continue;
      }
      if (!logical.empty() && logical.back() == '\\') {
        logical.pop_back();
        continue;
      }
      handleLine(logical);
      logical.clear();
      open = false;
    }
    // A line still continued at the end of the text is complete there.
    if (open)
      handleLine(logical);
  }

private:
  void handleLine(const std::string &line) {
    if (line.empty() || line[0] == '*')
      return;
    if (line[0] == '#')
      handleDirective(line);
    else
      handleMessage(line);
  }

  void handleDirective(const std::string &line) {
    std::istringstream fields(line);
    std::string directive;
    fields >> directive;
    if (directive == "#define") {
      std::string name;
      std::int32_t number = 0;
      // A line whose number does not read defines nothing.
      if (!(fields >> name >> number))
        return;
      const M_LevelName level = internSimpleString(name);
      setLevelNumber(level, number);
      setLevelDescription(level, restOfLine(fields));
    } else if (directive == "#levelname") {
      std::int32_t number = 0;
      if (!(fields >> number))
        return;
      setLevelDisplayName(number, restOfLine(fields));
    } else {
      std::cerr << "Warning - Unknown directive '" << directive << "'" << std::endl;
    }
  }

  void handleMessage(const std::string &line) {
    std::istringstream fields(line);
    std::int32_t number = 0;
    // A line whose number does not read (a line of blanks among them) would
    // otherwise file an empty text under some other line's number.
    if (!(fields >> number))
      return;
    std::string name;
    fields >> name;
    const std::string rest = restOfLine(fields);
    const std::size_t separator = rest.find("@@");
    M_MessageEntry entry =
        separator == std::string::npos
            ? M_MessageEntry(rest, std::string(), internSimpleString(name))
            : M_MessageEntry(rest.substr(0, separator), rest.substr(separator + 2), internSimpleString(name));
    if (m_numbersSeen.insert(number).second) {
      m_messages[number] = std::move(entry);
      return;
    }
    M_MessageEntry &current = m_messages[number];
    const std::int32_t newLevel = entry.levelNumber();
    const std::int32_t currentLevel = current.levelNumber();
    if (m_higherWins ? newLevel > currentLevel : newLevel < currentLevel)
      current = std::move(entry);
  }

  M_MessageMap &m_messages;
  bool m_higherWins;
  // The numbers that this file has given an entry so far.
  std::set<std::int32_t> m_numbersSeen;
};

} // namespace

bool readMessageFile(const std::string &path, M_MessageMap &messages, bool higherWins) {
  itranstreambuf buffer(QL_defaultEncoding(), QL_fromInternal(path));
  if (!buffer.isOpen())
    return false;
  std::istream in(&buffer);
  readMessageStream(in, messages, higherWins);
  if (buffer.readFailed() || in.bad())
    throw U_UserException("Cannot read file: '" + path + "'.");
  return true;
}

void readMessageStream(std::istream &in, M_MessageMap &messages, bool higherWins) {
  MessageFileParser(messages, higherWins).parse(in);
}
