// Blanking of comments and literals in re-read source text, so that a word
// inside a comment or a literal is never taken for code.
#pragma once

#include "foundation/EncodingKind.h"

#include <string>
#include <vector>

// Runs one automaton over the lines in order, its state carried from each
// line to the next: the contents of block comments, line comments (continued
// by a final backslash) and string and character literals become blanks. The
// markers "/*", "*/" and "//" and the quotes that open and close literals
// stay; an escape pending at the end of a line applies to the first
// character of the next. Characters are read in the encoding: a multi-byte
// character is never a marker, a quote or a backslash, and becomes as many
// blanks as it has bytes. Every line keeps its length.
void blankCommentsAndLiterals(std::vector<std::string> &lines, QL_EncodingKind encoding = eceEUC);
