// The option set of an argument set: every option that any product accepts,
// each with its name, kind and default; the global accessors through which the
// rest of the system reads the options of the current argument set; the test
// for debug words and the listing of the settings.
#pragma once

#include "cmdline/ListOptionKinds.h"
#include "cmdline/OptionKinds.h"
#include "foundation/Ref.h"

#include <cstdio>

class C_CmdArgs;

// The members are in byte order of the option names; each has a const and a
// non-const accessor named after the option.
class C_Options : public U_Ref {
public:
  // Builds every option with its default; the owner is the argument set whose
  // product's option names "forgetall" looks up.
  explicit C_Options(C_CmdArgs *owner = nullptr);
  // Copies every value, default and set flag; the copy's "forgetall" has no
  // owner.
  C_Options(const C_Options &) = default;
  C_Options &operator=(const C_Options &) = delete;
  ~C_Options() override = default;

#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  Kind &member() { return m_##member; }                                                                      \
  const Kind &member() const { return m_##member; }
#include "cmdline/OptionTable.def"

  // Whether some value of "debug" is exactly the word (same bytes, letter
  // case counts); each use of "debug" gives one value.
  static bool hasDebugFlag(const C_Options &options, const char *word);

private:
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...) Kind m_##member;
#include "cmdline/OptionTable.def"
};

// The option of that name in the options of the current argument set, for
// instance C_optTabStop() for "tabstop". A current argument set must exist.
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...) Kind &C_opt##Accessor();
#include "cmdline/OptionTable.def"

// For the options that code holding a not (yet) current argument set reads:
// the option in the given option set.
#define C_OPTION_EXPLICIT_SET_0(Kind, Accessor)
#define C_OPTION_EXPLICIT_SET_1(Kind, Accessor) Kind &C_opt##Accessor(C_Options &options);
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  C_OPTION_EXPLICIT_SET_##explicitSet(Kind, Accessor)
#include "cmdline/OptionTable.def"
#undef C_OPTION_EXPLICIT_SET_0
#undef C_OPTION_EXPLICIT_SET_1

// hasDebugFlag on the options of the current argument set; false while no
// argument set is current.
bool debugFlag(const char *word);

// Writes one line per option of the current product, in the order of its
// table of canonical names: "-", the name padded to 23 characters, a blank and
// the value text of the option in the argument set.
void printOptionSettings(const C_CmdArgs &args, std::FILE *stream);
// printOptionSettings of the current argument set.
void printCurrentOptionSettings(std::FILE *stream);
