// The program-wide template table of the analysis results.
#pragma once

#include "anlsrslt/model/Define.h"
#include "anlsrslt/model/Template.h"
#include "foundation/StringStore.h"

#include <map>
#include <vector>

namespace test_support {
class TemplateTableReset;
}

// Gathers the defines whose names carry template arguments per template
// before anything reaches the symbol table, and decides which defines go on
// to it. One template is made for every template name whose declaration is
// read, in any translation unit: the table is never emptied during a run.
//
// What a define does depends on its template class (P_defineTemplateClass):
// - class 2 (no template arguments anywhere) passes on untouched;
// - a scoped define (class 8 or 32) passes on unless it has flag 'U'; an "X"
//   or "P" one is also filed, as a copy named after its innermost enclosing
//   scope that carries template arguments, as an instance define;
// - an instance define (class 4 or 16): a declaration makes or joins the
//   template of its name and never passes on; a definition or redeclaration
//   of a known name joins its template and passes on unless it has flag 'U'
//   (a redeclaration of an unknown name makes the template, as a declaration
//   as well); a "P" define of a known name makes or joins a nested template;
//   an "X" define with flag 'U' is taken as a declaration, without it it
//   settles an instance of a known name and passes on; an "S" define passes
//   on unless it has flag 'U' and opens an instance of the template found at
//   its position, whose name it then answers to; an implicit ("DI") define
//   is dropped.
class TemplateTable {
public:
  using TemplatesByPosition = std::map<P_TemplatePosition, U_RefPtr<P_Template>, P_TemplatePositionLess>;
  using TemplatesByName = P_Template::TemplatesByName;

  // The one template table of the run, created on first use. Tests and
  // benchmarks may make tables of their own.
  static TemplateTable &instance();

  TemplateTable() = default;
  TemplateTable(const TemplateTable &) = delete;
  TemplateTable &operator=(const TemplateTable &) = delete;

  // Files the define under its own name (add).
  void addDefine(const DefinePtr &def, std::vector<DefinePtr> &toFile);
  // Files the define under the name as far as templates are concerned and
  // appends to toFile the defines that the symbol table is to file: none, or
  // the define itself. An unset define is passed on as it is.
  void add(const char *name, const DefinePtr &def, std::vector<DefinePtr> &toFile);

  // The templates made from declarations, in the order they were made.
  const std::vector<U_RefPtr<P_Template>> &templates() const { return m_templates; }
  const TemplatesByPosition &byPosition() const { return m_byPosition; }
  const TemplatesByName &byName() const { return m_byName; }

private:
  friend class test_support::TemplateTableReset;

  // The template of the name, or null.
  P_Template *templateNamed(const char *name) const;
  void addScoped(const char *name, const DefinePtr &def, std::vector<DefinePtr> &toFile);
  void addInstance(const char *name, const DefinePtr &def, std::vector<DefinePtr> &toFile);
  void addDeclaration(const char *name, const DefinePtr &def);

  std::vector<U_RefPtr<P_Template>> m_templates;
  TemplatesByPosition m_byPosition;
  TemplatesByName m_byName;
};
