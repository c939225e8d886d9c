// The text of the files that the token checks re-read: each file's lines,
// read once and kept for the rest of the run, and their blanked form in which
// comments and string and character literals hold only blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

using SourceLineList = std::vector<std::string>;

// The lines of the file named name (internal encoding), without line ends;
// read on first use and kept, so the reference stays valid to the end of the
// run. Throws P_SourceRescanExit with "<path> does not exist.\n" when no
// file of that name exists, or as readSourceFile does.
const SourceLineList &sourceLines(const std::string &name);

// A copy of sourceLines (name) blanked by blankCommentsAndLiterals in the
// source text encoding, made on first use and kept.
const SourceLineList &blankedSourceLines(const std::string &name);

// A new list of the file's lines, each through stripLineEnd; an empty file
// gives none, a last line without a line feed is a line. Throws
// P_SourceRescanExit with "cannot open file <path>\n" when the name is a
// directory or the file cannot be opened for reading.
SourceLineList readSourceFile(const std::string &name);

// line without its trailing carriage returns and line feeds, any number of
// them in any order; a view into line.
std::string_view stripLineEnd(std::string_view line);

// Empties both caches; for tests only.
void resetSourceLineCaches();
