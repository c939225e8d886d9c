// How an option reads its value from the option words.
#pragma once

#include <istream>
#include <string>

// Reads one value for the named option: one line of the stream (the next word
// of the word stream, or the whole rest of the option's own word), without one
// leading "=". Throws C_ValueExpectedException naming the option when no line
// is left.
std::string readOptionValueLine(const std::string &optionName, std::istream &in);
