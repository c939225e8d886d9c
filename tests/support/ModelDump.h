// Test helpers: defines made from DEFINE record fields, and one-line texts of
// defines, symbols, templates and tables that a test compares as a whole.
//
//   define    "a.c:3 CF SA"  file base name, line, kind letters (C F R S I X
//             P for the bits 1 to 64), flag letters when there are any
//   symbol    "x: {a.c:1 C, a.c:5 F} def a.c:5 cur a.c:5 redecl a.c:1 {a.c:2 R}"
//             display name of the representative define, the declarations,
//             the definition (when set), the current declaration, and the
//             redeclarations filed under each declaration, in declaration
//             order; a definition or current declaration that is not itself
//             in the declarations is marked "outside"; redeclaration sets
//             filed under a define that is no declaration show as
//             "unreachable"
#pragma once

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/Template.h"
#include "anlsrslt/readers/DefineRecord.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace test_support {

// The define of a DEFINE record line, given without its tag.
inline DefinePtr defineOf(const std::string &fields) { return readDefineLine("<DEFINE> " + fields); }

inline std::string describeDefine(const P_Define &def) {
  static const char kinds[] = "CFRSIXP";
  static const char flags[] = "FOIVPSDAR12357GTU";
  const std::string file = P_defineFileName(&def);
  std::string text = file.substr(file.rfind('/') + 1) + ":" + std::to_string(def.m_line) + " ";
  for (int bit = 0; bit < 7; ++bit)
    if (def.m_kind & (1u << bit))
      text += kinds[bit];
  if (def.m_flags != 0) {
    text += ' ';
    for (int bit = 0; bit < 17; ++bit)
      if (def.m_flags & (1u << bit))
        text += flags[bit];
  }
  return text;
}

inline std::string describeDefines(const P_DefineSet &set) {
  std::string text = "{";
  for (const P_Define *def : set)
    text += (text.size() > 1 ? ", " : "") + describeDefine(*def);
  return text + "}";
}

inline std::string describeSymbol(const P_Symbol &symbol) {
  std::string text =
      std::string(P_displayName(symbol.define()->m_name)) + ": " + describeDefines(symbol.m_declarations);
  const auto role = [&symbol](const char *title, const DefinePtr &def) {
    return std::string(" ") + title + " " + describeDefine(*def) +
           (symbol.m_declarations.contains(def.pointer()) ? "" : " outside");
  };
  if (symbol.m_definition.isSet())
    text += role("def", symbol.m_definition);
  text += role("cur", symbol.m_declaration);
  std::size_t reachable = 0;
  for (P_Define *declaration : symbol.m_declarations)
    if (symbol.hasRedeclarations(DefinePtr(declaration))) {
      text += " redecl " + describeDefine(*declaration) + " " +
              describeDefines(symbol.redeclarations(DefinePtr(declaration)));
      ++reachable;
    }
  const std::size_t filed = symbol.m_redeclList ? symbol.m_redeclList->size() : 0;
  if (filed != reachable)
    text += " unreachable " + std::to_string(filed - reachable);
  return text;
}

// "x: {a.c:1 C, a.c:5 F}": the display name of the representative define and
// the declarations.
inline std::string describeDeclarations(const P_Symbol &symbol) {
  return std::string(P_displayName(symbol.define()->m_name)) + ": " + describeDefines(symbol.m_declarations);
}

inline std::vector<std::string> describeSymbols(const std::vector<U_RefPtr<P_Symbol>> &symbols) {
  std::vector<std::string> texts;
  for (const U_RefPtr<P_Symbol> &symbol : symbols)
    texts.push_back(describeSymbol(*symbol));
  return texts;
}

// "::A<T> primary [..] at {a.h:1} pending [..] cursor ::A<int> settled [..]
// nested [..]": the parts after the primary symbol only when not empty; the
// nested templates in brackets, in the order they were made.
inline std::string describeTemplate(const P_Template &t) {
  std::string text =
      std::string(P_displayName(t.m_name)) + " primary [" + describeSymbol(*t.m_primary) + "] at {";
  bool first = true;
  for (const P_TemplatePosition &position : t.m_positions) {
    const std::string file = position.file;
    text += (first ? "" : ", ") + file.substr(file.rfind('/') + 1) + ":" + std::to_string(position.line);
    first = false;
  }
  text += "}";
  const auto list = [&text](const char *title, const std::vector<U_RefPtr<P_Symbol>> &symbols) {
    if (symbols.empty())
      return;
    text += std::string(" ") + title + " [";
    for (std::size_t i = 0; i < symbols.size(); ++i)
      text += (i ? "; " : "") + describeSymbol(*symbols[i]);
    text += "]";
  };
  list("pending", t.pendingSymbols());
  if (t.m_pendingCursor)
    text += std::string(" cursor ") + P_displayName(t.m_pendingCursor);
  list("settled", t.m_settledSymbols);
  for (const U_RefPtr<P_Template> &nested : t.m_nestedTemplates)
    text += " nested [" + describeTemplate(*nested) + "]";
  return text;
}

// The records of translation units as one text: records apart by " | ",
// units by " || ".
inline std::string describeUnits(const std::vector<std::vector<std::string>> &units) {
  std::string text;
  for (std::size_t u = 0; u < units.size(); ++u)
    for (std::size_t r = 0; r < units[u].size(); ++r)
      text += (r > 0 ? " | " : u > 0 ? " || " : "") + units[u][r];
  return text;
}

// Every order of the translation units, each given as its records; equal
// units give one order between them.
inline std::vector<std::vector<std::vector<std::string>>>
everyOrder(std::vector<std::vector<std::string>> units) {
  std::vector<std::vector<std::vector<std::string>>> orders;
  std::sort(units.begin(), units.end());
  do
    orders.push_back(units);
  while (std::next_permutation(units.begin(), units.end()));
  return orders;
}

} // namespace test_support
