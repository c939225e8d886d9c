#include "messages/OutputSelection.h"

#include "messages/Output.h"

void selectOutput(const std::string &, const std::string &, int kind) { M_installOutput(kind); }
