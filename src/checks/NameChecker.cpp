#include "checks/NameChecker.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/include/QueryDiagnostics.h"
#include "anlsrslt/include/QueryInterface.h"
#include "anlsrslt/model/EncodedName.h"
#include "checks/NameRuleFile.h"
#include "checks/Tokenizer.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"

#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

bool isAsciiNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A rule that cannot decide a name does not report it; the first such name of
// each rule is named once, so that a rule that backtracks too far is seen.
void warnUndecidedName(NameRule &rule, const std::string &name) {
  if (rule.m_undecidedWarned)
    return;
  rule.m_undecidedWarned = true;
  std::cerr << "Warning - Name rule on line " << rule.m_line << " cannot decide on the name '"
            << shortenedName(name)
            << "': a match backtracks too far. Names it cannot decide are not reported under it."
            << std::endl;
}

} // namespace

std::string shortenedName(std::string_view name) {
  const QL_EncodingKind encoding = P_nameEncoding(name);
  std::size_t end = 0;
  for (std::size_t shown = 0; end < name.size(); ++shown) {
    if (shown == kShownNameCharacters)
      return std::string(name.substr(0, end)) + "...";
    end += characterLength(name, end, encoding);
  }
  return std::string(name);
}

std::vector<NameRule> &nameRules() {
  static std::vector<NameRule> rules;
  return rules;
}

void initNameChecker(const U_RefPtr<C_CmdArgs> &args) {
  const C_OptionFilename &ruleFile = C_optNameRuleFile(*args->options());
  if (!ruleFile.isSet())
    return;
  nameRules() = loadNameRules(ruleFile.getValue());
  PI_registerDefineRunEndListener(runNameChecker);
}

void runNameChecker() { checkAllNames(); }

void checkAllNames() {
  for (std::int32_t id = PI_beginFileDefineGroups(); !PI_defineGroupsAtEnd(id);) {
    checkDefinesOfGroup(PI_currentDefineGroup(id));
    if (PI_nextDefineGroup(id))
      break;
  }
  for (std::int32_t id = PI_beginTopScopes(); !PI_scopesAtEnd(id);) {
    checkScopeNames(PI_currentScope(id));
    if (PI_nextScope(id))
      break;
  }
}

void checkScopeNames(const P_Template *scope) {
  checkDefinesOfGroup(PI_scopeDefineGroup(scope));
  for (std::int32_t id = PI_beginScopeDefineGroups(scope); !PI_defineGroupsAtEnd(id);) {
    checkDefinesOfGroup(PI_currentDefineGroup(id));
    if (PI_nextDefineGroup(id))
      break;
  }
  for (std::int32_t id = PI_beginChildScopes(scope); !PI_scopesAtEnd(id);) {
    checkScopeNames(PI_currentScope(id));
    if (PI_nextScope(id))
      break;
  }
}

void checkDefinesOfGroup(const P_Symbol *symbol) {
  if (!symbol)
    return;
  for (std::int32_t id = PI_beginDefines(symbol); !PI_definesAtEnd(id);) {
    checkDefineName(PI_currentDefine(id));
    if (PI_nextDefine(id))
      break;
  }
}

std::string testedName(const P_Define *def) {
  if (PI_defineIsImplicit(def) && !PI_defineIsDefinition(def))
    return {};
  if (PI_defineLine(def) == 0)
    return {};
  // The define of main has the bare name "main": the fuller test is made
  // only for such a name.
  const char *bareName = PI_defineBareName(def);
  if (std::strcmp(bareName, "main") == 0 && PI_defineIsMain(def))
    return {};
  // The rules see the name as the record file wrote it, not its marked form.
  std::string name = P_restoreNameBytes(bareName);
  const std::size_t equals = name.find('=');
  if (equals != std::string::npos)
    name.erase(equals);
  // A name that begins with another ASCII character (a tilde, an at sign) is
  // no identifier; one that begins with an EUC byte is.
  if (name.empty())
    return {};
  const auto first = static_cast<unsigned char>(name.front());
  if (first < 0x80 && !isAsciiNameStart(first))
    return {};
  return name;
}

void checkDefineName(const P_Define *def) {
  const std::string name = testedName(def);
  if (name.empty())
    return;
  for (NameRule &rule : nameRules()) {
    const NameRule::Verdict verdict = rule.judge(def, name);
    if (verdict == NameRule::Verdict::undecided)
      warnUndecidedName(rule, name);
    if (verdict != NameRule::Verdict::broken)
      continue;
    P_Diagnostic *diagnostic =
        PI_createDiagnostic(rule.m_message, PI_defineFileName(def), PI_defineLine(def));
    if (!diagnostic)
      continue;
    PI_addDiagnosticText(diagnostic, name.c_str());
    PI_emitDiagnostic(diagnostic);
  }
}

void printNameCheckBanner() { std::fputs("Name Check.\n", stdout); }
