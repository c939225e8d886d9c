// The name checker: naming rules read from the rule file of option
// "namerulefile", applied at the end of the run to every define of the model.
// A define that a rule selects and whose name the rule does not accept gets
// one diagnostic under the rule's message number, with the name as its text.
#pragma once

#include "checks/NameRule.h"
#include "foundation/Ref.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class C_CmdArgs;
struct P_Define;
struct P_Symbol;
struct P_Template;

// When the argument set names a rule file, loads its rules and registers the
// check in the DEFINE end-of-run list; otherwise does nothing. A rule file
// that cannot be read or holds a faulty rule raises the configuration error.
void initNameChecker(const U_RefPtr<C_CmdArgs> &args);

// The process-wide rules, in the order of their lines; filled once at
// start-up.
std::vector<NameRule> &nameRules();

// The DEFINE end-of-run entry: checkAllNames.
void runNameChecker();

// Every symbol of the run, then every template with its symbols and nested
// templates, depth first. A define reached along several ways is tested each
// time.
void checkAllNames();
void checkScopeNames(const P_Template *scope);
// Each declaration of the symbol; nothing for a null symbol.
void checkDefinesOfGroup(const P_Symbol *symbol);
// Tests one define against every rule. Implicit declarations, defines at line
// 0, the define of main and names that begin with an ASCII character other
// than a letter, a digit or "_" are passed over. The name tested is the bare
// name up to its first "=", with its original bytes. A rule that cannot
// decide a match for the define does not report it and, the first time,
// writes a warning with its line and the name (as shortenedName gives it) to
// standard error.
void checkDefineName(const P_Define *def);

// How many characters of a name the warning of an undecided name shows. Sixty
// are enough to find the define by its name, and keep the warning a line of a
// few hundred bytes at most however long the name is.
inline constexpr std::size_t kShownNameCharacters = 60;

// The name as the warning of an undecided name shows it: whole when it has at
// most kShownNameCharacters characters, else its first kShownNameCharacters
// characters and "...". Characters are those of the name's encoding
// (P_nameEncoding); a byte that begins no whole character counts as one.
std::string shortenedName(std::string_view name);

// The name the rules test for a define: its bare name up to its first "=",
// with the bytes of the record file; empty when the define is not tested.
std::string testedName(const P_Define *def);

// Writes "Name Check." and a newline to standard output.
void printNameCheckBanner();
