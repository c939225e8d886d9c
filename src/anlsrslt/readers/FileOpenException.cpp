#include "anlsrslt/readers/FileOpenException.h"

const char *P_FileOpenException::what() const noexcept { return "PostAnalysis FileOpenException"; }
