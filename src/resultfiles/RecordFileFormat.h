// The texts of the fields of record-file lines, as the metric sink writes
// them: letters and words for codes, flag texts, and file names. A line is a
// tag ("<DEFINE>", "<R>" and so on), then its fields, each after one blank;
// nothing is escaped, only file names holding a blank or a tab are quoted.
#pragma once

#include <cstdint>
#include <string>

class QL_Filename;
class U_Location;

// Scope letter of a scope code: 0 "F", 1 "B", 2 "C", 3 "P", 4 "T", 5 "R",
// 6 "S", any other "-".
const char *metricScopeLetter(std::uint32_t code);
// Define kind code of a DEFINE record's kind: 0 "DF", 1 "DC", 2 "DR", 3 "DI",
// 4 "DS", 5 "DX", 6 "DP", 7 "DF", any other "??".
const char *defineKindCode(std::uint32_t kind);

// Relation kinds 1 to 8: "I" Includes, "B" Is-base-of, "R" Has-by-reference,
// "P" Has-by-pointer, "V" Has-by-value, "U" Uses, "C" Calls, "X" Refers-to.
bool isRelationKind(std::uint32_t kind);
// The letter and the name of a relation kind; "?" and "???" for any other.
const char *relationKindLetter(std::uint32_t kind);
const char *relationKindName(std::uint32_t kind);

// The access digit of the bits 0xF0 of a code: 0x80 "1", 0x40 "2", 0x20 "3",
// 0x90 "5", 0x30 "7"; the empty text for any other value.
const char *accessDigit(std::uint32_t code);
// The code of a definition's digit queries: 0x80, 0x40 or 0x20 for the first
// of digit1, digit2 and digit3 that holds (0 for none), plus 0x10 with
// digitPlus4.
std::uint32_t accessCode(bool digit1, bool digit2, bool digit3, bool digitPlus4);

// The flag text of a relation: "-" for 0; else "R", "W", "V", "S" for the bits
// 0x01, 0x02, 0x04, 0x08, then for kind 2 the access digit of the bits 0xF0,
// for the others "I" for the bit 0x10. May be empty.
std::string relationFlagText(std::uint32_t flags, std::uint32_t kind);

// Literal kind text: 1 "DN", 2 "HN", 3 "ON", 4 "FN", 6 "CN", 7 "SN", 8 "CE",
// 9 "HE", 10 "OE", 11 "CW", 12 "SW", 13 "LN"; empty for 5 and any other.
const char *literalKindText(int kind);
// Literal type letter: 0 to 12 "T", "D", "E", "B", "O", "A", "S", "C", "U",
// "F", "X", "M", "P"; any other "?".
const char *literalTypeLetter(int type);
// Literal K letter: 0 "P", 1 "N", 2 "-", any other "?".
const char *literalKLetter(std::uint32_t code);
// External kind letter: 1 "V", 2 "D", 3 "N", any other "?".
const char *externalKindLetter(std::uint32_t kind);
// Allocation kind word: 0 "plain", 1 "array", 2 "old"; empty for any other.
const char *allocationKindWord(std::uint32_t kind);

// The text in double quotes when it holds a blank or a tab, else unchanged.
std::string quotedFileText(const std::string &text);
// The file text of a file: its printable name with native slashes, quoted as
// above. Kept for the last file asked about; a file without a name gives the
// empty text.
std::string metricFileText(const QL_Filename &file);
// A file name given as text, written the same way (include relations).
std::string metricFileNameText(const std::string &name);

// "N" when the location's file was named for the run or is the pseudo-file of
// the implicit header, else "I". The location must be set.
const char *whereLetter(const U_Location &location);
