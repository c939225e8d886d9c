#include "checks/NameRuleFile.h"

#include "anlsrslt/model/CurrentFile.h"
#include "checks/JsonReader.h"
#include "cmdline/ConfigurationException.h"
#include "foundation/Language.h"
#include "foundation/PathText.h"
#include "foundation/PlatformName.h"
#include "foundation/TranStreambuf.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <exception>
#include <istream>
#include <ostream>
#include <sstream>

namespace {

// The member setters of the expression fields, with the word that names the
// field in their error lines.
struct ExpressionMember {
  const char *name;
  const char *errorWord;
  int (NameRule::*set)(const std::string &text);
};

const ExpressionMember kExpressionMembers[] = {
    {"flag", "Flag", &NameRule::setFlag},
    {"type", "Type", &NameRule::setType},
    {"filename", "Filename", &NameRule::setFilename},
    {"pattern", "Pattern", &NameRule::setPattern},
};

// The word-list members with their tables and fields.
struct WordListMember {
  const char *name;
  RuleWordTable (*table)();
  std::uint32_t NameRule::*field;
};

const WordListMember kWordListMembers[] = {
    {"inc", &incWords, &NameRule::m_inc},
    {"def", &defWords, &NameRule::m_def},
    {"space", &spaceWords, &NameRule::m_space},
    {"scope", &scopeWords, &NameRule::m_scope},
    {"linkage", &linkageWords, &NameRule::m_linkage},
};

// Handles one member of the rule object; false when it is faulty (its error
// lines then written).
bool parseMember(std::size_t n, const std::string &name, const JsonValue &value, NameRule &rule,
                 std::ostream &errors) {
  switch (value.kind) {
  case JsonKind::Int:
    if (name != "message") {
      errors << "Line " << n << " Unknown object member name '" << name << "' with integer value "
             << value.integer << "\n";
      return false;
    }
    if (value.integer < 1) {
      errors << "Line " << n << " Message number " << value.integer << " must be greater than zero \n";
      return false;
    }
    rule.m_message = static_cast<std::uint32_t>(value.integer);
    return true;
  case JsonKind::Bool:
    if (name != "invert") {
      errors << "Line " << n << " Unknown object member name '" << name << "' with boolean value "
             << value.integer << "\n";
      return false;
    }
    rule.setInvert(value.integer != 0);
    return true;
  case JsonKind::String:
    for (const WordListMember &member : kWordListMembers)
      if (name == member.name)
        return parseWordList(n, rule.*member.field, value.text, member.table(), errors);
    for (const ExpressionMember &member : kExpressionMembers) {
      if (name == member.name) {
        if ((rule.*member.set)(value.text) == 0)
          return true;
        errors << "Line " << n << " " << member.errorWord << " Regular expression '" << value.text
               << "' compile fail: " << rule.regexError() << "\n";
        return false;
      }
    }
    if (name == "namespace") {
      if (rule.setNamespace(value.text) == 0)
        return true;
      errors << "Line " << n << " namespace Regular expression '" << value.text
             << "' compile fail: " << rule.regexError() << " or value is not 'unnamed' \n";
      return false;
    }
    errors << "Line " << n << " Unknown object member name '" << name << "' with string value " << value.text
           << "\n";
    return false;
  default:
    errors << "Line " << n << " Unknown value for object member name '" << name << "'\n";
    return false;
  }
}

// Whether the line is a rule line: its first five characters are "rule=".
bool isRuleLine(const std::string &line) { return line.compare(0, 5, kRuleLinePrefix) == 0; }

} // namespace

int lookupRuleWord(std::size_t lineNumber, std::uint32_t &field, const std::string &word,
                   const RuleWordTable &table, std::ostream &errors) {
  for (const RuleWord &entry : table) {
    if (word == entry.text || word == entry.shortForm) {
      field |= entry.bit;
      return 0;
    }
  }
  errors << "Line " << lineNumber << " Unknown value '" << word << "'\n";
  return 1;
}

bool parseWordList(std::size_t lineNumber, std::uint32_t &field, std::string list, const RuleWordTable &table,
                   std::ostream &errors) {
  // Each blank and each comma is a separator of its own, so two in a row
  // enclose an empty word.
  bool allKnown = true;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= list.size(); ++i) {
    if (i < list.size() && list[i] != ' ' && list[i] != ',')
      continue;
    if (lookupRuleWord(lineNumber, field, list.substr(start, i - start), table, errors) != 0)
      allKnown = false;
    start = i + 1;
  }
  return allKnown;
}

bool parseNameRule(std::size_t lineNumber, const std::string &ruleText, NameRule &rule,
                   std::ostream &errors) {
  rule.m_line = lineNumber;
  bool failed = false;
  JsonValue value;
  try {
    parseJson(value, ruleText.data(), static_cast<std::ptrdiff_t>(ruleText.size()));
    if (value.kind != JsonKind::Object) {
      errors << "Line " << lineNumber << " Rule is not a JSON object: " << ruleText << "\n";
      failed = true;
    }
  } catch (const JsonError &error) {
    // The reader counts columns from 1 within the rule text; the report gives
    // the zero-based position in the whole line, after "rule=".
    errors << "Line " << lineNumber << " ERROR: option parsing: " << error.message
           << " column: " << static_cast<std::int64_t>(error.column) + 4 << "\n";
    failed = true;
  } catch (const std::exception &) {
    errors << "Line:" << lineNumber << " ERROR: option parsing " << ruleText << "\n";
    failed = true;
  }
  if (!failed) {
    for (const auto &[name, member] : value.members)
      if (!parseMember(lineNumber, name, member, rule, errors))
        failed = true;
  }
  if (failed)
    errors << " " << ruleText << "\n";
  return !failed;
}

bool writeNameCheckErrors(const std::string &path, const std::string &errorText) {
  try {
    otranstreambuf file(path, false);
    if (!file.isOpen())
      return false;
    const auto size = static_cast<std::streamsize>(errorText.size());
    if (file.sputn(errorText.data(), size) != size)
      return false;
    file.close();
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

std::vector<NameRule> loadNameRules(const std::string &fileName) {
  std::vector<NameRule> rules;
  std::ostringstream errors;
  bool failed = false;
  const std::string errorsPath = nameForPlatform(QL_joinPath(P_outputDirectory(), kNameCheckErrorsFile));
  platform::removeFile(errorsPath);

  itranstreambuf file(QL_defaultEncoding(), nameForPlatform(fileName));
  if (!file.isOpen()) {
    errors << "Cannot open file " << fileName << "\n";
    failed = true;
  } else {
    std::istream in(&file);
    std::size_t lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
      ++lineNumber;
      if (!isRuleLine(line))
        continue;
      NameRule rule;
      if (parseNameRule(lineNumber, line.substr(5), rule, errors))
        rules.push_back(std::move(rule));
      else
        failed = true;
    }
    // A file that cannot be read to its end would leave rules unread.
    if (file.readFailed() || in.bad()) {
      errors << "Cannot read file " << fileName << "\n";
      failed = true;
    }
  }
  if (!failed)
    return rules;

  const bool written = writeNameCheckErrors(errorsPath, errors.str());
  std::string message = "ERROR: Name Checker syntax error in configuration file.\n";
  if (written)
    message += " see " + errorsPath + " for details\n";
  message += "\n";
  throw C_ConfigurationException(message);
}
