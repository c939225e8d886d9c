// The relation records of a record file: lines of tag "R".
#pragma once

#include <string>

// The record handler of tag "R". Relation and include records are not read
// yet: the line is passed over.
void handleRelationRecord(const std::string &line);
