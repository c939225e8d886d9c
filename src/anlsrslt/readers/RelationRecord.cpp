#include "anlsrslt/readers/RelationRecord.h"

void handleRelationRecord(const std::string &) {}
