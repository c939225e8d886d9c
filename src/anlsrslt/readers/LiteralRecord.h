// The literal records of a record file: lines "<LIT>" followed by
// blank-separated fields: the text as written (a quoted token), the suffix
// word ("-" for none), the mark letter, the file, the line, the column, the
// inclusion letter ('I' for an included file), the two-letter literal kind,
// the entity word, the scope letter and the type letter.
//
// Reading is switched on only by registerLiteralHandler; every literal of the
// run then goes into one ordered set, literalRecords, which the query
// interface walks.
#pragma once

#include "anlsrslt/model/Literal.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

using P_LiteralSet = std::set<LiteralPtr, P_LiteralLess>;

// The literals of the run, created on first use and never emptied.
P_LiteralSet &literalRecords();

// Registers handleLiteralRecord for the tag "LIT".
void registerLiteralHandler();

// The record handler of tag "LIT": readAndStoreLiteral into literalRecords.
void handleLiteralRecord(const std::string &line);

// Parses the line and inserts the literal into the set, unless the set holds
// one at the same file, line and column already (the first one read stays).
// A line that gives no literal is skipped; with the debug word
// "show-symbol-errors" that is reported on standard output with the record
// file and line number.
void readAndStoreLiteral(const std::string &line, P_LiteralSet &set);

// Parses one whole "LIT" line (tag included). Every field is read afresh:
// the line gives an unset handle when a field is missing or unreadable, the
// tag word is not "<LIT>" or the literal kind does not have two characters
// (the writer leaves the kind empty for some literals, and the next words
// then shift into its place). Anything after the type letter is not read.
LiteralPtr readLiteralRecord(const std::string &line);

// The codes of the fields.
// Suffix flags of a suffix word: 1 for "-"; else 8 when it holds "u", plus 4
// for "ll", else 2 for "l", else 16 for "f", else 4 for "i64" (letter case
// ignored).
std::uint8_t literalSuffixFlags(std::string_view suffix);
// Literal-type bits of a two-letter kind word: the first letter one of B C D
// F H L O S, the second E or W; other letters give no bit.
std::uint16_t literalTypeFromCode(std::string_view kind);
// Type-letter code: M F T D B E O A S U P C from 0 to 11, any other 12.
std::uint8_t literalTypeLetterFromChar(char letter);
// Mark code: '-' 1, 'N' 4, any other 2.
std::uint32_t literalMarkFromChar(char letter);
// Inclusion code: 'I' 2, any other 4.
std::uint32_t literalInclusionFromChar(char letter);
