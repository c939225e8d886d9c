// The parse of a stream of option words into an argument set.
#pragma once

#include <istream>

class C_CmdArgs;
class C_OrphanHandler;

// Reads the words of in, one a line, into the options of args, whose product
// must be valid. A word that does not begin with "-" goes to the handler.
// Otherwise the option is the one whose name in the product's table is the
// longest prefix of the rest of the word; the rest after that name is the
// option's value, else the option reads its value from the following words.
// A word that names no option, and a bad or missing value, is written to
// standard error and passed over, unless "errorinvalidcfgarg" (for the first)
// or "errorinvalidcfgvalue" (for the others) is on at that moment: then its
// exception ends the parse.
void parseOptionWords(C_CmdArgs &args, std::istream &in, C_OrphanHandler &handler);
