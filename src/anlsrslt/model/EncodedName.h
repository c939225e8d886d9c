// Encoded entity names of the record file and their marked form.
//
// An encoded name is one blank-free word: components joined by "::",
// template arguments in "<" ">", a function's slot list in "(" ")" (return
// type first), class types in braces ("{s::FILE}") and special components
// introduced by "@". Marking replaces the brackets and separators of the
// outermost level by marker bytes, so that the operations below take a name
// apart by a plain scan:
//
//   0x8C '<' and 0x8D '>' of an outermost template argument list,
//   0x8E '(' and 0x8F ')' of an outermost slot list, 0x90 ',' between slots.
//
// The model stores only marked names (interned); every operation here except
// marking is given a marked name. Before marking, every byte of the name that
// marking or the escape could take for its own is kept as two bytes,
// kNameByteEscape and a code byte above it that no operation looks at: the
// bytes 0x8C to 0x91 wherever they stand (EUC lead bytes 0x8E and 0x8F, UTF-8
// continuation bytes, Shift_JIS bytes), and in a name that is neither UTF-8
// nor EUC, the ASCII bytes '@', '{', '}' and 's' that stand as second byte of
// a Shift_JIS character. So no name byte is ever taken for a marker, two
// different names never get one marked form by it, and the display form and
// P_restoreNameBytes give every such byte back. Names of ASCII bytes are
// marked exactly as if there were no such rule.
#pragma once

#include "foundation/EncodingKind.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr unsigned char kMarkOpenArguments = 0x8C;
inline constexpr unsigned char kMarkCloseArguments = 0x8D;
inline constexpr unsigned char kMarkOpenSlots = 0x8E;
inline constexpr unsigned char kMarkCloseSlots = 0x8F;
inline constexpr unsigned char kMarkSlotSeparator = 0x90;
// First byte of a name byte kept in two (see above); a 0x91 of the name is
// itself kept so.
inline constexpr unsigned char kNameByteEscape = 0x91;

// The marked form of an encoded name. Never fails: unbalanced input is
// marked by the same rules, and what is left open stays open.
std::string P_markEncodedName(std::string encoded);
// The same, worked on the text in place.
void P_markEncodedNameInPlace(std::string &text);

// The display form: markers turned back into '<', '>', '(', ')' and ',' and
// name bytes given back. A class tag written 's' shows as 'c', and the
// closing '@' of an unlisted code stays absent.
std::string P_unmarkName(std::string_view marked);
// The same, written into out (its old content replaced).
void P_unmarkNameInto(std::string_view marked, std::string &out);
// The interned display form, from a process-wide cache keyed by the marked
// text; valid until the process ends. A null text is taken as the empty one.
const char *P_displayName(const char *marked);
// The marked text with its name bytes given back and its markers left as
// they are: the form in which a marked name, or a piece of one, is printed.
// For a name of ASCII bytes it is the text itself.
std::string P_restoreNameBytes(std::string_view marked);

// The interned marked form of an encoded name.
const char *P_encodeName(const std::string &encoded);

// The symbol id text: the return slot of a function (the bytes between the
// last 0x8E and the first 0x90 after it, or the final 0x8F) replaced by one
// blank; any other name unchanged.
std::string P_normaliseSymbolName(const std::string &marked);
std::string P_normaliseSymbolName(const std::string &marked, const std::string &type);
// The same, written into out (its old content replaced).
void P_normaliseSymbolNameInto(std::string_view marked, std::string &out);

// The interned name with every marked template argument list removed.
const char *P_stripTemplateArguments(const std::string &marked);

// Everything after the last top-level ':' (one outside marked argument lists,
// marked slot lists and braces); the whole name when there is none.
std::string P_unqualifiedName(const std::string &marked);
std::string P_unqualifiedName(const std::string &marked, const std::string &type);
// The last component with its template arguments, without its slot list.
std::string P_lastComponent(const std::string &marked);
std::string P_lastComponent(const std::string &marked, const std::string &type);
// The last component cut before its template arguments and slot list.
std::string P_bareName(const std::string &marked);
std::string P_bareName(const std::string &marked, const std::string &type);
// The forms that the define accessors give the checks. They differ from the
// two above for a name without a top-level ':' ("f(ni)", "main(ni)"), which
// they cut as well, from its first byte.
// The last component up to and including its marked template argument list,
// or up to a marked '>' or '('; an '@' after its first byte ends it just
// after itself unless a marked '<' follows.
std::string P_lastNameComponent(const std::string &marked);
std::string P_lastNameComponent(const std::string &marked, const std::string &type);
// The last component up to its first marked '<' or '(', or up to and
// including an '@' after its first byte.
std::string P_bareNameComponent(const std::string &marked);
std::string P_bareNameComponent(const std::string &marked, const std::string &type);
// The marked template argument list of the last component, markers
// included; empty when it has none.
std::string P_templateArguments(const std::string &marked);
std::string P_templateArguments(const std::string &marked, const std::string &type);
// The text before the last top-level "::"; empty when there is none.
std::string P_enclosingScopeName(const std::string &marked);
std::string P_enclosingScopeName(const std::string &marked, const std::string &type);
// Whether the name and its enclosing scope name both hold a 0x8C.
bool P_scopeHasTemplateArguments(const std::string &marked);
bool P_scopeHasTemplateArguments(const std::string &marked, const std::string &type);
// The text inside the final marked slot list (separators stay 0x90); empty
// unless the name ends with 0x8F.
std::string P_parameterSlots(const std::string &marked);
std::string P_parameterSlots(const std::string &marked, const std::string &type);
// Whether the last byte is 0x8F.
bool P_hasParameterSlots(const std::string &marked);

// Whether the text holds "@ClassTempParam" or "@FuncTempParam".
bool P_isTemplateParameterName(const std::string &name);
// Whether the text does not begin with "::" (also for a text shorter than 2).
bool P_lacksScopePrefix(const std::string &name);
// The identifier characters of marking: ASCII letters, digits, '_', and '['
// when a next byte exists and is ']'.
bool P_isIdentifierChar(const char *position, const char *end);

// The encoding a name's bytes read in: eceEUC when they are ASCII and whole
// EUC characters (the internal encoding, taken first where both fit), else
// eceUTF when they are whole UTF-8 characters, else the same two again with
// the last character allowed to be cut short, else eceSJIS.
QL_EncodingKind P_nameEncoding(std::string_view name);

// The template class of a define: 16 when the last component carries
// template arguments, 4 the same with flag 0x10000, 8 for flag 0x10000
// without them, 32 when an enclosing scope carries template arguments, else
// 2. The type takes no part.
std::uint8_t P_templateClassOf(const char *marked, const char *type, std::uint32_t flags);
