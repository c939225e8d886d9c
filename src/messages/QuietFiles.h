// Quiet files: files that get no output and that the checks do not re-read. A
// file is quiet when it is not named for the run and its canonical name
// begins with the canonical name of an entry of option "quiet", letter case
// ignored and no separator needed after the prefix (an entry for "inc" also
// quiets "include/a.h" and "inc2.h"). File identity itself stays as the
// platform has it; only this prefix test ignores case.
#pragma once

class C_CmdArgs;
class QL_Filename;
class U_Location;

// Whether the file is quiet under the argument set. Answers are kept per file
// in a process-wide direct-mapped table of 511 slots, keyed by the canonical
// name; with the debug word "always-first" every answer is computed afresh.
// An answer kept under one argument set is given under another as long as its
// slot is not taken over.
bool isQuietFile(const C_CmdArgs &args, const QL_Filename &file);

// isQuietFile for the file of the location; false for an unset location. The
// first form uses the current argument set (false while none is current).
bool isQuietLocation(const U_Location &location);
bool isQuietLocation(const C_CmdArgs &args, const U_Location &location);

// isQuietFile for the current argument set (false while none is current).
bool isQuietFilename(const QL_Filename &file);

// Whether some entry of option "quiet" of the argument set is a prefix of the
// file's canonical name: ASCII letters compared in lower case, every other
// byte exactly. The named-file test and the table play no part.
bool hasQuietPrefix(const C_CmdArgs &args, const QL_Filename &file);
