#include "anlsrslt/model/TemplateTable.h"

TemplateTable &TemplateTable::instance() {
  static TemplateTable table;
  return table;
}

std::vector<DefinePtr> TemplateTable::addDefine(const DefinePtr &def) { return {def}; }
