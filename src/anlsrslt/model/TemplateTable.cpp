#include "anlsrslt/model/TemplateTable.h"

TemplateTable &TemplateTable::instance() {
  static TemplateTable table;
  return table;
}

void TemplateTable::addDefine(const DefinePtr &def, std::vector<DefinePtr> &toFile) { toFile.push_back(def); }
