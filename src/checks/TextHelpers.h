// Small text helpers of the checks: splitting, looking up, lower-casing,
// trimming and replacing texts, and tests on directive lines. None reports an
// error; every byte value is accepted.
#pragma once

#include <istream>
#include <string>
#include <vector>

// The pieces of text between occurrences of sep. Adjacent separators give an
// empty piece; an empty piece after the last separator is dropped, so an empty
// text gives no piece ("a;b;" gives "a", "b"; ";a" gives "", "a").
std::vector<std::string> splitAtChar(const std::string &text, char sep);

// Like splitAtChar, but a run of adjacent separators is one cut and no piece
// holds a separator: a leading run gives one empty first piece, a trailing
// run none ("a;;b;" gives "a", "b"; ";;a" gives "", "a").
std::vector<std::string> splitAtCharRun(const std::string &text, char sep);

// Pieces of text cut at sep, at most maxParts of them:
//  - 0 or below -1: none; 1: the whole text;
//  - -1: every piece, empty ones included, and always a last piece with the
//    rest ("a,b," gives "a", "b", ""); an empty sep makes every byte a piece;
//  - 2 or more: cut at the first maxParts - 1 separators, the last piece
//    holding the rest; an empty sep makes the first maxParts - 1 bytes pieces.
std::vector<std::string> splitString(const std::string &sep, const std::string &text, int maxParts);

// The first index i with from <= i <= to and v[i] == text; -1 when there is
// none or from > to. Indexes outside v are never looked at.
int indexOfString(const std::vector<std::string> &v, const std::string &text, int from, int to);

// A copy with the ASCII capitals A to Z lowered; every other byte, those of
// multi-byte characters included, stays as it is.
std::string toLowerCopy(const std::string &text);

std::string concatStrings(const std::string &a, const std::string &b);

// A copy without leading and trailing spaces; tabs stay.
std::string trim(const std::string &text);
// A copy without the trailing (leading) bytes that are in set.
std::string trimRight(const std::string &text, const std::string &set);
std::string trimLeft(const std::string &text, const std::string &set);

// Replaces every occurrence of from by to, left to right, going on after each
// inserted text (so "a" by "aa" ends). Nothing happens when text or from is
// empty.
void replaceAll(std::string &text, const std::string &from, const std::string &to);

// Whether two paths have the same absolute form, compared as texts.
bool pathsEqual(const std::string &a, const std::string &b);

// The decimal text of a number is intToString of the option library
// (cmdline/OptionKinds.h).

// The size in bytes of a seekable stream; its reading position is restored.
// 0 when the stream cannot tell its position.
std::size_t streamSize(std::istream &in);

// Whether line is the directive word: "#" as its first byte that is not a
// blank or tab, word as the next such text, and after word a byte that is not
// an ASCII letter, digit or "_" (a word that ends the line does not count).
bool isDirectiveNamed(const std::string &line, const std::string &word);
bool isDefineDirective(const std::string &line);

// Every byte strictly between the first open and the first close after it,
// or to the end when no close follows ("(abc)" gives "abc"); empty when open
// does not occur.
std::string textBetween(const std::string &text, char open, char close);

// An ASCII letter or digit.
bool isAlnumChar(char c);
