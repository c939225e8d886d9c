// One naming rule of the name rule file: which defines it selects (where they
// lie, what kind of declaration, name space, scope and linkage they are, and
// regular expressions over their type text, flag letters, file base name and
// enclosing namespace) and the regular expression their names must match.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct P_Define;
struct CompiledNameExpression;

// One word of a word-list member ("inc", "def", "space", "scope",
// "linkage"): its long form, the record's short form of the same property,
// its bit in the rule's field, and the test a define passes for that bit.
struct RuleWord {
  const char *text;
  const char *shortForm;
  std::uint32_t bit;
  bool (*passes)(const P_Define *def);
};

using RuleWordTable = std::span<const RuleWord>;

RuleWordTable incWords();
RuleWordTable defWords();
RuleWordTable spaceWords();
RuleWordTable scopeWords();
RuleWordTable linkageWords();

// The expression that "namespace" stands for with the value "unnamed".
inline constexpr const char *kUnnamedNamespaceExpression = "^::@UN[a-zA-Z0-9]*$";

// What matching an expression against a subject gave: undecided when the
// library gave up before it knew (the expression backtracks beyond the
// bound that each match is given).
enum class ExpressionMatch { noMatch, match, undecided };

// A regular expression of a rule through the POSIX interface of PCRE2: its
// text as written and its compiled form, shared by copies of the rule. It is
// set when its text is not empty. Each match is bounded in the steps and the
// backtracking depth it may take, so that a subject costs at most about a
// millisecond whatever the expression.
class NameRuleExpression {
public:
  // Stores the text and compiles it; gives 0, or the library's code with its
  // text in errorText. The text stays stored either way.
  int assign(const std::string &text, std::string &errorText);

  bool isSet() const { return !m_text.empty(); }
  const std::string &text() const { return m_text; }
  // Whether the compiled expression matches anywhere in the whole subject, a
  // NUL byte in it included; noMatch when there is no compiled expression.
  ExpressionMatch match(std::string_view subject) const;
  // Whether match gives match.
  bool matches(std::string_view subject) const { return match(subject) == ExpressionMatch::match; }

private:
  std::string m_text;
  std::shared_ptr<const CompiledNameExpression> m_compiled; // none unless compiled
};

class NameRule {
public:
  // Each stores the text, compiles it and gives the compile code (0 on
  // success); a failure leaves the library's text in regexError().
  int setType(const std::string &text) { return setExpression(m_type, text); }
  int setPattern(const std::string &text) { return setExpression(m_pattern, text); }
  int setFlag(const std::string &text) { return setExpression(m_flag, text); }
  int setFilename(const std::string &text) { return setExpression(m_filename, text); }
  // "unnamed" stands for kUnnamedNamespaceExpression.
  int setNamespace(const std::string &text);
  void setInvert(bool invert) { m_invert = invert; }

  std::string regexError() const { return m_errorText; }

  bool hasType() const { return m_type.isSet(); }
  bool hasPattern() const { return m_pattern.isSet(); }
  bool hasFlag() const { return m_flag.isSet(); }
  bool hasFilename() const { return m_filename.isSet(); }
  bool hasNamespace() const { return m_namespaceExpr.isSet(); }
  bool invert() const { return m_invert; }

  // True when the field is unset or its expression matches the text.
  bool typeMatches(const std::string &text) const { return unsetOrMatches(m_type, text); }
  bool flagMatches(const std::string &text) const { return unsetOrMatches(m_flag, text); }
  bool filenameMatches(const std::string &text) const { return unsetOrMatches(m_filename, text); }
  bool namespaceMatches(const std::string &text) const { return unsetOrMatches(m_namespaceExpr, text); }

  // Whether the rule selects the define: every word-list field that is not 0
  // has a bit whose test the define passes, and every expression that is set
  // matches. False when a match is undecided.
  bool appliesTo(const P_Define *def) const;
  // Whether the pattern is set and matches the name, turned round when the
  // rule inverts. True when the match is undecided: such a name is never
  // taken to break the rule.
  bool acceptsName(const std::string &name) const;

  // What the rule makes of a define with the name it tests.
  enum class Verdict { notSelected, accepted, broken, undecided };
  // The rule's verdict: notSelected unless it applies to the define, then
  // accepted or broken by acceptsName; undecided when a match it needed was
  // undecided.
  Verdict judge(const P_Define *def, const std::string &name) const;

  // Word-list bits; 0 means not tested.
  std::uint32_t m_inc = 0;
  std::uint32_t m_def = 0;
  std::uint32_t m_space = 0;
  std::uint32_t m_scope = 0;
  std::uint32_t m_linkage = 0;
  // The message number of the rule's diagnostics.
  std::uint32_t m_message = 4800;
  // The line of the rule in its file; 0 when not read from one.
  std::size_t m_line = 0;
  // Whether a warning was given of a name the rule could not decide.
  bool m_undecidedWarned = false;

private:
  int setExpression(NameRuleExpression &field, const std::string &text) {
    return field.assign(text, m_errorText);
  }
  static bool unsetOrMatches(const NameRuleExpression &field, const std::string &text) {
    return !field.isSet() || field.matches(text);
  }
  // appliesTo with the undecided case told apart.
  ExpressionMatch selects(const P_Define *def) const;
  // acceptsName from the pattern's match of the name.
  bool acceptsMatch(ExpressionMatch matched) const;

  NameRuleExpression m_type;
  NameRuleExpression m_pattern;
  NameRuleExpression m_flag;
  NameRuleExpression m_filename;
  bool m_invert = false;
  std::string m_errorText; // the library's text of the last failed compilation
  NameRuleExpression m_namespaceExpr;
};

// The flag letters of a define: S, A, F, I, O, D, P, R, V, 1, 2, 3, 5, 7, G,
// T, one for each flag it has, in that order; "-" when it has none.
std::string defineFlagLetters(const P_Define *def);
