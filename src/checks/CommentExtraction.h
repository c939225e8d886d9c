// The comments of a re-read file with the lines they span, and the blanking
// of comments alone (string and character literals left as they are).
#pragma once

#include "foundation/EncodingKind.h"

#include <string>
#include <vector>

// One comment: its characters with its markers ("/*" ... "*/", or "//" to the
// end of the line and any lines that a final backslash continues it to), the
// lines of a comment that spans lines joined with "\n"; the 1-based lines on
// which it starts and ends.
struct CommentRecord {
  std::string m_text;
  int m_firstLine = 0;
  int m_lastLine = 0;
};

// The comments of the file named name, extracted on first use from its
// unblanked lines (sourceLines) and kept; the reference stays valid to the end
// of the run. Reading the file may raise P_SourceRescanExit.
const std::vector<CommentRecord> &commentText(const std::string &name);

// Appends the comments of the file named name to records, read in the source
// text encoding.
void extractComments(const std::string &name, std::vector<CommentRecord> &records);
// The same from lines at hand. Comments inside string and character literals
// are none; a comment is appended when it ends, so in the order of their
// ends; a block comment, or a line comment continued by a backslash, that is
// still open at the end of the lines is not appended.
void extractComments(const std::vector<std::string> &lines, std::vector<CommentRecord> &records,
                     QL_EncodingKind encoding = eceEUC);

// Blanks the contents of block and line comments in place, one automaton run
// over the lines in order: the markers "/*", "*/" and "//" stay, every other
// byte of a comment becomes a blank, a line comment ending in a backslash
// blanks the next line whole. Quotes mean nothing here, so comment markers
// inside literals are taken as markers. Every line keeps its length.
void blankComments(std::vector<std::string> &lines, QL_EncodingKind encoding = eceEUC);
// A copy of line as blankComments leaves it when run on that line alone.
std::string blankCommentsInLine(const std::string &line, QL_EncodingKind encoding = eceEUC);

// Empties the cache of comments; for tests only.
void resetCommentCache();
