// The source re-scan: the files the token checks examine (each analysed
// source as it is announced, then its non-quiet headers) and the source file
// being read. Their lines are read by checks/SourceLines.h.
#pragma once

#include <deque>
#include <string>

class P_Source;

// Registers the per-source listener that records each source file and
// switches on the collection of include records.
void initSourceRescan();
// Adds every distinct included file that is not quiet to the examined files;
// the first step of the end-of-run checks.
void addNonQuietIncludedFiles();

// The registered per-source listener: onSourceFileStart.
void sourceFileStartListener(const P_Source *source);
// Records the source as the current source file, with the path of its
// preprocessed file, and appends it to the examined files. The cross-module
// analysis file of a multi-file run is no source: it is passed over. Gives
// true.
bool onSourceFileStart(const P_Source *source);

// The name of the source file announced last (after the last input file has
// been read, the last real input file); empty before the first.
std::string &currentSourceFile();
// The output path joined with the last path component of the current source
// file, followed by ".i" ("src/a.c" in "out" gives "out/a.c.i").
std::string &currentPreprocessedFile();
// The names of the examined files, in the order they were added: the source
// files as announced, then the non-quiet included files. A name may occur
// twice (a source that another source includes); entries are never removed,
// and an entry stays in place while others are added.
std::deque<std::string> &CheckedFileList();

// Empties the list and the current names; for tests only.
void resetSourceRescan();
