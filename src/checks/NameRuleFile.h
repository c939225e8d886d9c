// Reading the name rule file: one rule a line, each line that begins with
// "rule=" followed by one JSON object. Every faulty rule is reported in the
// errors file "NameCheckErrors.txt" of the output directory, and the run then
// ends with a configuration error.
#pragma once

#include "checks/NameRule.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// The errors file, in the output directory.
inline constexpr const char *kNameCheckErrorsFile = "NameCheckErrors.txt";
// What begins a rule line (letter case counts).
inline constexpr const char *kRuleLinePrefix = "rule=";

// The rules of the file (name in the internal encoding), in file order. The
// errors file of an earlier run is deleted first. Every line is read; when
// the file cannot be opened or a rule is faulty, the errors are written to
// the errors file and C_ConfigurationException is thrown.
std::vector<NameRule> loadNameRules(const std::string &fileName);

// Fills the rule from the rule text of the line with that number (from 1);
// error lines, each ending with a newline, go to errors, followed by a blank
// and the rule text when the rule is faulty. Gives true when it is not.
bool parseNameRule(std::size_t lineNumber, const std::string &ruleText, NameRule &rule, std::ostream &errors);

// Adds the bit of each word of the list (split at each blank and each comma)
// to the field; every word that is not in the table is reported. Gives true
// when every word was known.
bool parseWordList(std::size_t lineNumber, std::uint32_t &field, std::string list, const RuleWordTable &table,
                   std::ostream &errors);
// The same for one word: 0 when it was known, 1 when it was reported.
int lookupRuleWord(std::size_t lineNumber, std::uint32_t &field, const std::string &word,
                   const RuleWordTable &table, std::ostream &errors);

// Creates or truncates the file (a name in the platform's form) and writes
// the error text into it, in the product's encoding; false when it cannot.
bool writeNameCheckErrors(const std::string &path, const std::string &errorText);
