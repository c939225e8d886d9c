// Orders on diagnostics. Each three-way comparison gives exactly -1, 0 or 1;
// after the positions they all compare message numbers (signed), parameter
// counts and then the parameter texts (bytes as unsigned values, a shorter
// text before a longer one it begins) and leave the flags out. A diagnostic
// without location comes before every located one.
#pragma once

#include "foundation/Ref.h"

#include <vector>

class M_Diagnostic;

// By location: file in the order of first interning, line, column.
int M_compareDiagnostics(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);
// By location with the files ordered by their canonical names' text.
int M_compareDiagnosticsByFileName(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);
// M_compareDiagnosticsByFileName gives -1: the order of "sort-messages".
bool isDiagnosticLess(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);

// The order of diagnostics read back from an error file. The main-file
// location of each (its outermost include location) decides first: its file
// by canonical name text, then its line. At the same place a diagnostic in the
// main file itself comes before one in an included file, and diagnostics in
// included files are ordered by their own files' canonical names. Then the
// lines and columns of the locations themselves.
int compareDiagnostics(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);
bool diagnosticsCompareLess(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);
bool diagnosticsCompareEqual(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);

// Sorts the list stably by compareDiagnostics and drops every diagnostic that
// compares equal to one before it, so that of equal diagnostics the one that
// came first stays.
void sortUniqueDiagnostics(std::vector<U_RefPtr<M_Diagnostic>> &diagnostics);
