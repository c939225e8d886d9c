#include "resultfiles/MacroHistory.h"

U_MacroHistory::~U_MacroHistory() = default;
