#include "messages/DiagnosticOrder.h"

#include "cmdline/PrintableFileName.h"
#include "foundation/Location.h"
#include "messages/Diagnostic.h"

#include <algorithm>
#include <string_view>

namespace {

int sign(int value) { return (value > 0) - (value < 0); }

template <class T> int compareValues(const T &a, const T &b) { return (b < a) - (a < b); }

// Null before set; 2 when both are set.
int compareNull(const U_Location &a, const U_Location &b) {
  if (a.isSet() && b.isSet())
    return 2;
  return compareValues(a.isSet(), b.isSet());
}

// Numbers, parameter counts, then parameter texts.
int compareContents(const M_Diagnostic &a, const M_Diagnostic &b) {
  if (const int c =
          compareValues(static_cast<std::int32_t>(a.getNumber()), static_cast<std::int32_t>(b.getNumber())))
    return c;
  if (const int c = compareValues(a.getParameterCount(), b.getParameterCount()))
    return c;
  for (int i = 0; i < a.getParameterCount(); ++i)
    if (const int c = sign(a.getParameter(i)->text().compare(b.getParameter(i)->text())))
      return c;
  return 0;
}

int compareWith(int (*compareLocations)(const U_Location &, const U_Location &),
                const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  if (const int c = compareLocations(a->getLocation(), b->getLocation()))
    return c;
  return compareContents(*a, *b);
}

// Files by their canonical names' text. Two names can agree up to a NUL byte
// and still be different files: those keep their interning order, so that 0
// means the same file.
int compareFileNames(const QL_Filename &a, const QL_Filename &b) {
  if (a == b)
    return 0;
  if (const int c =
          sign(std::string_view(filenameToString(a.canonical())).compare(filenameToString(b.canonical()))))
    return c;
  return a < b ? -1 : 1;
}

} // namespace

int M_compareDiagnostics(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  return compareWith(U_compareLocations, a, b);
}

int M_compareDiagnosticsByFileName(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  return compareWith(U_compareLocationsByName, a, b);
}

bool isDiagnosticLess(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  return M_compareDiagnosticsByFileName(a, b) == -1;
}

int compareDiagnostics(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  const U_Location &locationA = a->getLocation();
  const U_Location &locationB = b->getLocation();
  if (const int nulls = compareNull(locationA, locationB); nulls != 2)
    return nulls != 0 ? nulls : compareContents(*a, *b);
  // The main files first: without it two top-level files would be compared
  // by line alone, and diagnostics of different files could compare equal.
  const U_Location mainA = U_Location::mainFileLocation(locationA);
  const U_Location mainB = U_Location::mainFileLocation(locationB);
  if (const int c = compareFileNames(mainA.getFile(), mainB.getFile()))
    return c;
  if (const int c = compareValues(mainA.getLine(), mainB.getLine()))
    return c;
  const bool includedA = locationA.hasInclLoc();
  const bool includedB = locationB.hasInclLoc();
  if (includedA != includedB)
    return includedA ? 1 : -1;
  if (includedA)
    if (const int c = compareFileNames(locationA.getFile(), locationB.getFile()))
      return c;
  if (const int c = compareValues(locationA.getLine(), locationB.getLine()))
    return c;
  if (const int c = compareValues(locationA.getColumn(), locationB.getColumn()))
    return c;
  return compareContents(*a, *b);
}

bool diagnosticsCompareLess(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  return compareDiagnostics(a, b) == -1;
}

bool diagnosticsCompareEqual(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  return compareDiagnostics(a, b) == 0;
}

void sortUniqueDiagnostics(std::vector<U_RefPtr<M_Diagnostic>> &diagnostics) {
  std::stable_sort(diagnostics.begin(), diagnostics.end(), diagnosticsCompareLess);
  diagnostics.erase(std::unique(diagnostics.begin(), diagnostics.end(), diagnosticsCompareEqual),
                    diagnostics.end());
}
