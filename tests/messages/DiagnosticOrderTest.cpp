// The three orders on diagnostics and the sorting with removal of equal
// diagnostics that the reading of an error file uses.
#include "messages/DiagnosticOrder.h"
#include "messages/Diagnostic.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::includedAt;
using test_support::numberedName;
using test_support::withMacros;
using DiagnosticList = std::vector<U_RefPtr<M_Diagnostic>>;

U_RefPtr<M_Diagnostic> make(const U_Location &location, std::uint32_t number = 100,
                            const std::vector<std::string> &texts = {}) {
  U_RefPtr<M_Diagnostic> d = new M_Diagnostic(number, location);
  for (const std::string &text : texts)
    d->addParameter(text);
  return d;
}

// File names used only here, interned in this order first: "z.c" before
// "a.c", "h.h" before "g.h".
class DiagnosticOrderTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    CurrentArgumentsTest::SetUp();
    for (const char *name : {"z.c", "a.c", "h.h", "g.h", "0.h"})
      at(dir + name, 1);
  }
  U_Location Z(int line, int column = 0) const { return at(dir + "z.c", line, column); }
  U_Location A(int line, int column = 0) const { return at(dir + "a.c", line, column); }
  U_Location inHeader(const char *name, int line, const U_Location &from) const {
    return includedAt(from, dir + name, line);
  }

  const std::string dir = "/order-test/";
};

TEST_F(DiagnosticOrderTest, EachOrderComparesPositionsThenNumbersAndParameters) {
  struct Case {
    const char *name;
    U_RefPtr<M_Diagnostic> a, b;
    int byObject;   // M_compareDiagnostics
    int byName;     // M_compareDiagnosticsByFileName
    int byMainFile; // compareDiagnostics
  };
  U_RefPtr<M_Diagnostic> flagged = make(A(3));
  flagged->setHiddenByPragma(true);
  flagged->setError(true);
  const Case cases[] = {
      {"same file, lines", make(A(3, 9)), make(A(5, 1)), -1, -1, -1},
      {"same line, columns", make(A(3, 1)), make(A(3, 2)), -1, -1, -1},
      {"other top-level file at the same place", make(Z(3, 4)), make(A(3, 4)), -1, 1, 1},
      {"other top-level file, lines differ", make(Z(1)), make(A(9)), -1, 1, 1},
      {"main file before a header included at that line", make(A(5, 7)), make(inHeader("0.h", 1, A(5))), -1,
       1, -1},
      {"header reached from an earlier line", make(inHeader("h.h", 1, A(2))), make(A(5)), 1, 1, -1},
      {"headers included at the same line by name before their lines", make(inHeader("h.h", 1, A(5))),
       make(inHeader("g.h", 9, A(5))), -1, 1, 1},
      {"nested header", make(inHeader("g.h", 1, inHeader("h.h", 3, A(5)))), make(inHeader("h.h", 4, A(5))), 1,
       -1, -1},
      {"same header place reached from two main files", make(inHeader("h.h", 3, A(5))),
       make(inHeader("h.h", 3, Z(5))), 0, 0, -1},
      {"same header, lines", make(inHeader("h.h", 2, A(5))), make(inHeader("h.h", 3, A(5))), -1, -1, -1},
      {"macro history plays no part", make(withMacros(A(3), {{A(1), "M"}})), make(A(3)), 0, 0, 0},
      {"instantiation history plays no part", make(A(3).withInstFromLoc(A(1), numberedName("T"))), make(A(3)),
       0, 0, 0},
      {"number", make(A(3), 4), make(A(3), 5), -1, -1, -1},
      {"number as a signed value", make(A(3), 4294967295u), make(A(3), 1), -1, -1, -1},
      {"fewer parameters first", make(A(3), 1, {"z"}), make(A(3), 1, {"a", "a"}), -1, -1, -1},
      {"parameter texts", make(A(3), 1, {"a", "ab"}), make(A(3), 1, {"a", "b"}), -1, -1, -1},
      {"shorter text first", make(A(3), 1, {"a"}), make(A(3), 1, {"ab"}), -1, -1, -1},
      {"bytes compare unsigned", make(A(3), 1, {"\x80"}), make(A(3), 1, {"a"}), 1, 1, 1},
      {"flags play no part", flagged, make(A(3)), 0, 0, 0},
      {"no location first", make(U_Location()), make(A(1)), -1, -1, -1},
      {"no locations, then contents", make(U_Location(), 1), make(U_Location(), 2), -1, -1, -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.name) + ": " + c.a->dumpText() + " / " + c.b->dumpText());
    EXPECT_EQ(c.byObject, M_compareDiagnostics(c.a, c.b));
    EXPECT_EQ(-c.byObject, M_compareDiagnostics(c.b, c.a));
    EXPECT_EQ(c.byName, M_compareDiagnosticsByFileName(c.a, c.b));
    EXPECT_EQ(-c.byName, M_compareDiagnosticsByFileName(c.b, c.a));
    EXPECT_EQ(c.byName == -1, isDiagnosticLess(c.a, c.b));
    EXPECT_EQ(c.byMainFile, compareDiagnostics(c.a, c.b));
    EXPECT_EQ(-c.byMainFile, compareDiagnostics(c.b, c.a));
    EXPECT_EQ(c.byMainFile == -1, diagnosticsCompareLess(c.a, c.b));
    EXPECT_EQ(c.byMainFile == 0, diagnosticsCompareEqual(c.a, c.b));
  }
  EXPECT_FALSE(diagnosticsEqual(flagged, make(A(3))));
}

// Every pair and triple of the diagnostics: a strict weak order, so that a
// sort cannot go wrong on any mix of files, includes and lines.
TEST_F(DiagnosticOrderTest, CompareDiagnosticsIsAStrictWeakOrder) {
  const DiagnosticList all = {
      make(A(5)),
      make(A(5, 2)),
      make(Z(3)),
      make(Z(5)),
      make(A(9)),
      make(inHeader("h.h", 1, A(4))),
      make(inHeader("h.h", 1, Z(4))),
      make(inHeader("g.h", 7, A(5))),
      make(inHeader("g.h", 1, inHeader("h.h", 2, A(5)))),
      make(inHeader("h.h", 2, A(5))),
      make(withMacros(inHeader("h.h", 2, A(5)), {{A(1), "M"}})),
      make(A(5), 101),
      make(U_Location()),
  };
  for (const auto &a : all)
    for (const auto &b : all) {
      SCOPED_TRACE(a->dumpText() + " / " + b->dumpText());
      const int ab = compareDiagnostics(a, b);
      EXPECT_EQ(-ab, compareDiagnostics(b, a));
      for (const auto &c : all) {
        const int bc = compareDiagnostics(b, c);
        if (ab == bc) {
          EXPECT_EQ(ab, compareDiagnostics(a, c)) << c->dumpText();
        }
      }
    }
}

TEST_F(DiagnosticOrderTest, SortUniqueKeepsTheFirstArrivedOfEqualDiagnostics) {
  const auto withFlag = [&](bool user) {
    U_RefPtr<M_Diagnostic> d = make(A(3));
    (user ? d->setHiddenByUser(true) : d->setHiddenByPragma(true));
    return d;
  };
  const U_RefPtr<M_Diagnostic> pragma = withFlag(false), user = withFlag(true);
  const U_RefPtr<M_Diagnostic> later = make(A(8)), header = make(inHeader("h.h", 1, A(3)));
  const U_RefPtr<M_Diagnostic> otherFile = make(Z(3)), sameAgain = make(Z(3));
  struct Case {
    const char *name;
    DiagnosticList arrived;
    DiagnosticList kept;
  };
  const Case cases[] = {
      {"pragma first", {later, pragma, header, user}, {pragma, header, later}},
      {"user first", {user, later, pragma, header}, {user, header, later}},
      {"other top-level file at the same line stays", {otherFile, pragma}, {pragma, otherFile}},
      {"the same diagnostic twice", {otherFile, sameAgain, otherFile}, {otherFile}},
      {"empty", {}, {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosticList list = c.arrived;
    sortUniqueDiagnostics(list);
    EXPECT_EQ(c.kept, list);
  }
}

} // namespace
