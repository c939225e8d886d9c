// The program-wide template table of the analysis results.
#pragma once

#include "anlsrslt/model/Define.h"

#include <vector>

// Files nothing yet: templates, their specialisations and instances come with
// the template table proper. Every define is passed on unchanged, as a define
// without template relation is.
class TemplateTable {
public:
  // The one template table of the run, created on first use.
  static TemplateTable &instance();

  TemplateTable(const TemplateTable &) = delete;
  TemplateTable &operator=(const TemplateTable &) = delete;

  // Files the define as far as templates are concerned and appends to
  // toFile the defines that the symbol table is to file, in order: for now
  // the define alone.
  void addDefine(const DefinePtr &def, std::vector<DefinePtr> &toFile);

private:
  TemplateTable() = default;
};
