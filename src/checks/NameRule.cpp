#include "checks/NameRule.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/include/QueryInterface.h"
#include "foundation/PathText.h"

#include <cstring>
#include <pcre2posix.h>

namespace {

// Each table holds the long words, then their short forms in the same order.
const RuleWord kIncWords[] = {
    {"include", "I", 1, &PI_defineIsInIncludedFile},
    {"main", "N", 2, [](const P_Define *d) { return !PI_defineIsInIncludedFile(d); }},
};

const RuleWord kDefWords[] = {
    {"declaration", "DC", 1, &PI_defineIsPlainDeclaration},
    {"definition", "DF", 2, &PI_defineIsDefinition},
    {"implicit", "DI", 4, &PI_defineIsImplicit},
    {"specialisation", "DS", 8, &PI_defineIsSpecialisation},
};

const RuleWord kSpaceWords[] = {
    {"tag", "TG", 1, &PI_defineIsTag},
    {"typedef", "OT", 2, &PI_defineIsTypedef},
    {"function", "OF", 4, &PI_defineIsFunction},
    {"enumerator", "OE", 8, &PI_defineIsEnumerator},
    {"macro", "OM", 16, &PI_defineIsMacro},
    {"variable", "OV", 32, &PI_defineIsVariable},
    {"member", "MB", 64, &PI_defineIsMemberOutsideClass},
};

const RuleWord kScopeWords[] = {
    {"block", "B", 2, &PI_defineHasBlockScope},         {"class", "C", 8, &PI_defineHasClassScope},
    {"file", "F", 1, &PI_defineHasFileScope},           {"namespace", "S", 32, &PI_defineHasNamespaceScope},
    {"prototype", "P", 4, &PI_defineHasPrototypeScope}, {"template", "T", 16, &PI_defineHasTemplateScope},
};

const RuleWord kLinkageWords[] = {
    {"external", "X", 2, &PI_defineHasExternalLinkage},
    {"internal", "I", 1, &PI_defineHasInternalLinkage},
    {"none", "N", 4,
     [](const P_Define *d) { return !PI_defineHasInternalLinkage(d) && !PI_defineHasExternalLinkage(d); }},
};

// The flag letters in the order they are written, each with its test.
struct FlagLetter {
  char letter;
  bool (*has)(const P_Define *def);
};

const FlagLetter kFlagLetters[] = {
    {'S', &PI_defineHasFlagS}, {'A', &PI_defineHasFlagA}, {'F', &PI_defineHasFlagF},
    {'I', &PI_defineHasFlagI}, {'O', &PI_defineHasFlagO}, {'D', &PI_defineHasFlagD},
    {'P', &PI_defineHasFlagP}, {'R', &PI_defineHasFlagR}, {'V', &PI_defineHasFlagV},
    {'1', &PI_defineHasFlag1}, {'2', &PI_defineHasFlag2}, {'3', &PI_defineHasFlag3},
    {'5', &PI_defineHasFlag5}, {'7', &PI_defineHasFlag7}, {'G', &PI_defineHasFlagG},
    {'T', &PI_defineHasFlagT},
};

// Whether the field is 0 (not tested) or the define passes the test of one of
// its bits.
bool passesWordField(std::uint32_t field, RuleWordTable table, const P_Define *def) {
  if (field == 0)
    return true;
  for (const RuleWord &word : table)
    if ((field & word.bit) != 0 && word.passes(def))
      return true;
  return false;
}

// The enclosing namespace of a define in display form: its full display name
// without the final "::" and last component; nothing when the full name is
// too short to hold them.
bool enclosingNamespace(const P_Define *def, std::string &subject) {
  const char *full = PI_displayName(PI_defineName(def));
  const char *last = PI_displayName(PI_defineUnqualifiedName(def));
  const std::size_t fullLength = std::strlen(full);
  const std::size_t lastLength = std::strlen(last);
  if (fullLength < lastLength + 2)
    return false;
  subject.assign(full, fullLength - lastLength - 2);
  return true;
}

} // namespace

// A compiled expression, released with its last holder.
struct CompiledNameExpression {
  CompiledNameExpression() = default;
  CompiledNameExpression(const CompiledNameExpression &) = delete;
  CompiledNameExpression &operator=(const CompiledNameExpression &) = delete;
  ~CompiledNameExpression() {
    if (compiled)
      regfree(&regex);
  }

  regex_t regex{};
  bool compiled = false;
};

RuleWordTable incWords() { return kIncWords; }
RuleWordTable defWords() { return kDefWords; }
RuleWordTable spaceWords() { return kSpaceWords; }
RuleWordTable scopeWords() { return kScopeWords; }
RuleWordTable linkageWords() { return kLinkageWords; }

int NameRuleExpression::assign(const std::string &text, std::string &errorText) {
  m_text = text;
  m_compiled.reset();
  auto expression = std::make_shared<CompiledNameExpression>();
  // A NUL byte inside the text would end the pattern early: the end is then
  // given explicitly.
  int flags = 0;
  if (m_text.find('\0') != std::string::npos) {
    flags = REG_PEND;
    expression->regex.re_endp = m_text.data() + m_text.size();
  }
  const int code = regcomp(&expression->regex, m_text.c_str(), flags);
  if (code != 0) {
    char buffer[512] = "";
    regerror(code, &expression->regex, buffer, sizeof buffer);
    errorText = buffer;
    return code;
  }
  expression->compiled = true;
  m_compiled = std::move(expression);
  return 0;
}

bool NameRuleExpression::matches(const std::string &subject) const {
  return isSet() && m_compiled && regexec(&m_compiled->regex, subject.c_str(), 0, nullptr, 0) == 0;
}

int NameRule::setNamespace(const std::string &text) {
  return setExpression(m_namespaceExpr, text == "unnamed" ? kUnnamedNamespaceExpression : text);
}

bool NameRule::appliesTo(const P_Define *def) const {
  if (!passesWordField(m_inc, incWords(), def) || !passesWordField(m_def, defWords(), def) ||
      !passesWordField(m_scope, scopeWords(), def) || !passesWordField(m_space, spaceWords(), def) ||
      !passesWordField(m_linkage, linkageWords(), def))
    return false;
  if (hasType() && !typeMatches(PI_defineType(def)))
    return false;
  if (hasFlag() && !flagMatches(defineFlagLetters(def)))
    return false;
  if (hasFilename() && !filenameMatches(U_basename(PI_defineFileName(def))))
    return false;
  if (hasNamespace()) {
    std::string subject;
    if (!enclosingNamespace(def, subject) || !namespaceMatches(subject))
      return false;
  }
  return true;
}

bool NameRule::acceptsName(const std::string &name) const {
  const bool matched = m_pattern.matches(name);
  return m_invert ? !matched : matched;
}

std::string defineFlagLetters(const P_Define *def) {
  std::string letters;
  for (const FlagLetter &flag : kFlagLetters)
    if (flag.has(def))
      letters.push_back(flag.letter);
  return letters.empty() ? "-" : letters;
}
