#include "checks/NameRule.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/include/QueryInterface.h"
#include "foundation/PathText.h"

#include <cstring>
#include <limits>
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

// The bounds of each match, set at the head of every compiled expression:
// the steps a match may take and the depth of its backtracking. Together they
// keep a match to about a millisecond and a few megabytes.
constexpr const char *kMatchBounds = "(*LIMIT_MATCH=100000)(*LIMIT_DEPTH=10000)";

// Where the settings that may open an expression ("(*UTF)", "(*LIMIT_...)")
// end: bounds put after them take the place of the expression's own.
std::size_t leadingSettingsEnd(const std::string &text) {
  std::size_t end = 0;
  while (text.compare(end, 2, "(*") == 0) {
    std::size_t close = end + 2;
    while (close < text.size() &&
           ((text[close] >= 'A' && text[close] <= 'Z') || (text[close] >= '0' && text[close] <= '9') ||
            text[close] == '_' || text[close] == '='))
      ++close;
    if (close == text.size() || text[close] != ')')
      break;
    end = close + 1;
  }
  return end;
}

// Compiles the text (which may hold NUL bytes) into the expression.
int compile(regex_t &regex, const std::string &text) {
  int flags = 0;
  if (text.find('\0') != std::string::npos) {
    flags = REG_PEND;
    regex.re_endp = text.data() + text.size();
  }
  return regcomp(&regex, text.c_str(), flags);
}

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
  // The expression as written gives the library's error text; the bounded
  // one is what is matched.
  auto expression = std::make_shared<CompiledNameExpression>();
  const int code = compile(expression->regex, m_text);
  if (code != 0) {
    char buffer[512] = "";
    regerror(code, &expression->regex, buffer, sizeof buffer);
    errorText = buffer;
    return code;
  }
  expression->compiled = true;
  const std::size_t settings = leadingSettingsEnd(m_text);
  for (const std::string &bounded :
       {m_text.substr(0, settings) + kMatchBounds + m_text.substr(settings), kMatchBounds + m_text}) {
    auto boundedExpression = std::make_shared<CompiledNameExpression>();
    if (compile(boundedExpression->regex, bounded) == 0) {
      boundedExpression->compiled = true;
      expression = std::move(boundedExpression);
      break;
    }
  }
  m_compiled = std::move(expression);
  return 0;
}

ExpressionMatch NameRuleExpression::match(std::string_view subject) const {
  if (!isSet() || !m_compiled)
    return ExpressionMatch::noMatch;
  if (subject.size() > static_cast<std::size_t>(std::numeric_limits<regoff_t>::max()))
    return ExpressionMatch::undecided;
  // The subject is given by its bounds, so that a NUL byte does not end it.
  regmatch_t bounds[1];
  bounds[0].rm_so = 0;
  bounds[0].rm_eo = static_cast<regoff_t>(subject.size());
  const int code =
      regexec(&m_compiled->regex, subject.empty() ? "" : subject.data(), 0, bounds, REG_STARTEND);
  if (code == 0)
    return ExpressionMatch::match;
  return code == REG_NOMATCH ? ExpressionMatch::noMatch : ExpressionMatch::undecided;
}

int NameRule::setNamespace(const std::string &text) {
  return setExpression(m_namespaceExpr, text == "unnamed" ? kUnnamedNamespaceExpression : text);
}

ExpressionMatch NameRule::selects(const P_Define *def) const {
  if (!passesWordField(m_inc, incWords(), def) || !passesWordField(m_def, defWords(), def) ||
      !passesWordField(m_scope, scopeWords(), def) || !passesWordField(m_space, spaceWords(), def) ||
      !passesWordField(m_linkage, linkageWords(), def))
    return ExpressionMatch::noMatch;
  // Each expression that is set must match; the first that does not, or
  // cannot say, decides.
  ExpressionMatch result = ExpressionMatch::match;
  if (hasType())
    result = m_type.match(PI_defineType(def));
  if (result == ExpressionMatch::match && hasFlag())
    result = m_flag.match(defineFlagLetters(def));
  if (result == ExpressionMatch::match && hasFilename())
    result = m_filename.match(U_basenameView(PI_defineFileName(def)));
  if (result == ExpressionMatch::match && hasNamespace()) {
    std::string subject;
    result = enclosingNamespace(def, subject) ? m_namespaceExpr.match(subject) : ExpressionMatch::noMatch;
  }
  return result;
}

bool NameRule::appliesTo(const P_Define *def) const { return selects(def) == ExpressionMatch::match; }

bool NameRule::acceptsMatch(ExpressionMatch matched) const {
  if (matched == ExpressionMatch::undecided)
    return true;
  return m_invert ? matched != ExpressionMatch::match : matched == ExpressionMatch::match;
}

bool NameRule::acceptsName(const std::string &name) const { return acceptsMatch(m_pattern.match(name)); }

NameRule::Verdict NameRule::judge(const P_Define *def, const std::string &name) const {
  const ExpressionMatch selected = selects(def);
  if (selected != ExpressionMatch::match)
    return selected == ExpressionMatch::noMatch ? Verdict::notSelected : Verdict::undecided;
  // One match of the name decides.
  const ExpressionMatch matched = m_pattern.match(name);
  if (matched == ExpressionMatch::undecided)
    return Verdict::undecided;
  return acceptsMatch(matched) ? Verdict::accepted : Verdict::broken;
}

std::string defineFlagLetters(const P_Define *def) {
  std::string letters;
  for (const FlagLetter &flag : kFlagLetters)
    if (flag.has(def))
      letters.push_back(flag.letter);
  return letters.empty() ? "-" : letters;
}
