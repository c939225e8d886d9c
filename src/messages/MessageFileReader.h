// Reading message files. A message file is a text file in the product's
// encoding; its logical lines are one or more physical lines joined by a
// backslash at the end (two backslashes join them with "@@", the separator
// of the second text). A logical line is empty, a comment ("*" first), a
// directive ("#" first) or a message line: number, level name, text.
#pragma once

#include "messages/MessageCatalogue.h"

#include <istream>
#include <string>

// Reads the message file at path (in the internal encoding) into the
// messages and the two level tables. A file that does not open adds nothing
// and gives false. Translation errors pass on; a read error raises
// U_UserException "Cannot read file: '<path>'.".
bool readMessageFile(const std::string &path, M_MessageMap &messages, bool higherWins);

// Reads message-file text, already in the internal encoding, to its end:
// - "#define <level> <number> <description>" sets the level's number and
//   description; "#levelname <number> <display name>" a number's display
//   name; any other directive word writes "Warning - Unknown directive
//   '<word>'" to standard error;
// - "<number> <level> <text>[@@<second text>]" files an entry. The first
//   line for a number in this text replaces what an earlier file gave; a
//   later one replaces it only when its level number is greater (higherWins)
//   or smaller (not higherWins) than the entry's.
// Message and directive lines whose number does not read are skipped. The
// last line counts also without a line end, and so does a line still
// continued at the end of the text.
void readMessageStream(std::istream &in, M_MessageMap &messages, bool higherWins);
