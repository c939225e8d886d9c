// Converters between the Japanese byte encodings: EUC-JP (the internal
// encoding), Shift_JIS and the three 7-bit JIS forms. Each reads a Source one
// byte at a time until its end and writes a Destination; none knows files or
// strings. Unicode is handled elsewhere and never reaches them.
//
// Input that ends inside a multi-byte character leaves its lead bytes in the
// output unchanged. JIS output never places a single byte inside a two-byte
// state and always leaves the two-byte states before a line end and at the end.
#pragma once

#include "foundation/CountedString.h"
#include "foundation/EncodingKind.h"

class Destination;
class Source;

// The texts written after ESC to enter JIS state 0 (single bytes), 1 (kanji,
// JIS X 0208) and 2 (second plane).
struct QL_JisEscapes {
  CountedString state[3];
};

// The escape texts of a JIS kind (eceOldJIS, eceNewJIS or eceNECJIS).
const QL_JisEscapes &QL_jisEscapeTable(QL_EncodingKind kind);

// Converts everything the source holds from one kind into another; pairs the
// converters cannot handle are reported on standard output and copied.
void translateFile(Source &source, Destination &destination, QL_EncodingKind from, QL_EncodingKind to);

void QL_sjisToEuc(Source &source, Destination &destination);
void QL_eucToSjis(Source &source, Destination &destination);
void QL_jisToEuc(Source &source, Destination &destination);
void QL_jisToSjis(Source &source, Destination &destination);
// The target kind (a JIS kind) selects the escape texts written.
void QL_eucToJis(Source &source, Destination &destination, QL_EncodingKind target);
void QL_sjisToJis(Source &source, Destination &destination, QL_EncodingKind target);
void QL_jisToJis(Source &source, Destination &destination, QL_EncodingKind target);

// Reads the rest of an escape sequence whose ESC has been read; gives the
// state it selects: 0, 1 or 2.
int QL_readJisEscape(Source &source);
// Writes ESC and the table's text for the state.
void QL_writeJisEscape(Destination &destination, const QL_JisEscapes &table, int state);

// Turns the half-width katakana byte c (0xA1-0xDF, already read) into the
// full-width Shift_JIS pair c, d, joining a voiced or semi-voiced sound mark
// that follows in the source. Input kind eceSJIS or eceEUC; with any other
// kind nothing is looked ahead.
void QL_widenKana(Source &source, int &c, int &d, QL_EncodingKind input);

// JIS row and cell (0x21-0x7E each) of the given plane into a Shift_JIS pair.
void QL_jisPairToSjis(int plane, int &c1, int &c2);
// A Shift_JIS pair into JIS row and cell; gives the plane, 1 or 2.
int QL_sjisPairToJis(int &c1, int &c2);
