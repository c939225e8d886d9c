// The history of a location as a tree of internal-message diagnostics.
#include "messages/HistorySubDiagnostics.h"
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

std::vector<std::string> texts(const DiagnosticList &list) {
  std::vector<std::string> result;
  for (const U_RefPtr<M_Diagnostic> &d : list)
    result.push_back(d->dumpText());
  return result;
}

class HistorySubDiagnosticsTest : public test_support::CurrentArgumentsTest {
protected:
  U_Location A(int line, int column = 0) const { return at("/h/a.c", line, column); }
  U_Location Z(int line, int column = 0) const { return at("/h/z.c", line, column); }
  U_Location header(const char *name, int line, const U_Location &from) const {
    return includedAt(from, std::string("/h/") + name, line);
  }
};

TEST_F(HistorySubDiagnosticsTest, EachStepBecomesADiagnosticWithItsOwnHistoryAsAList) {
  const U_Location twiceIncluded = header("g.h", 1, includedAt(A(5, 7), "/h/h.h", 3, 2));
  const U_Location calledAndIncluded = header("h.h", 8, A(2)).withCalledFromLoc(Z(9, 1));
  const U_Location macros = withMacros(A(10), {{A(1), "M1"}, {A(2), "M2"}, {A(3, 4), "M3"}});
  const U_Location macroInHeader = withMacros(A(10), {{header("h.h", 6, A(2)), "INNER"}});
  const U_Location instantiated = A(20).withInstFromLoc(header("h.h", 7, A(1)), numberedName("T"));
  const U_Location all = withMacros(header("h.h", 8, A(2)), {{A(1), "M"}})
                             .withInstFromLoc(Z(4), numberedName("U"))
                             .withCalledFromLoc(Z(9));
  const U_Location calledFromHeader = A(3).withCalledFromLoc(header("h.h", 5, A(1)));
  struct Case {
    const char *name;
    U_Location location;
    std::uint32_t mask;
    bool result;
    std::vector<std::string> out;
  };
  const Case cases[] = {
      {"no history", A(5, 3), M_historyAll, false, {}},
      {"mask 0", twiceIncluded, 0, false, {}},
      {"mask 1", calledAndIncluded, 1, false, {}},
      {"a kind the location does not have",
       twiceIncluded,
       M_historyCalledFrom | M_historyMacroExpansion,
       false,
       {}},
      {"included twice",
       twiceIncluded,
       M_historyAll,
       true,
       {"/h/h.h:3:2: Msg=1599 #params=1 {MsgList={/h/a.c:5:7: Msg=1599 #params=0}}"}},
      {"called from, then included from",
       calledAndIncluded,
       M_historyAll,
       true,
       {"/h/z.c:9:1: Msg=1570 #params=0", "/h/a.c:2: Msg=1599 #params=0"}},
      {"macro chain from its end back to the location's own element",
       macros,
       M_historyAll,
       true,
       {"/h/a.c:3:4: Msg=1598 #params=1 {M3}", "/h/a.c:2: Msg=1598 #params=1 {M2}",
        "/h/a.c:1: Msg=1598 #params=1 {M1}"}},
      {"macro expanded in a header",
       macroInHeader,
       M_historyAll,
       true,
       {"/h/h.h:6: Msg=1598 #params=2 {INNER, MsgList={/h/a.c:2: Msg=1599 #params=0}}"}},
      {"the recursion keeps the mask",
       macroInHeader,
       M_historyMacroExpansion,
       true,
       {"/h/h.h:6: Msg=1598 #params=1 {INNER}"}},
      {"instantiated from, named by the third rendering",
       instantiated,
       M_historyAll,
       true,
       {"/h/h.h:7: Msg=1597 #params=2 {T#3, MsgList={/h/a.c:1: Msg=1599 #params=0}}"}},
      {"all four kinds in their order",
       all,
       M_historyAll,
       true,
       {"/h/z.c:9: Msg=1570 #params=0", "/h/z.c:4: Msg=1597 #params=1 {U#3}", "/h/a.c:2: Msg=1599 #params=0",
        "/h/a.c:1: Msg=1598 #params=1 {M}"}},
      {"included from only", all, M_historyIncludedFrom, true, {"/h/a.c:2: Msg=1599 #params=0"}},
      {"macro history only", all, M_historyMacroExpansion, true, {"/h/a.c:1: Msg=1598 #params=1 {M}"}},
      {"called from a header, included history followed",
       calledFromHeader,
       M_historyCalledFrom | M_historyIncludedFrom,
       true,
       {"/h/h.h:5: Msg=1570 #params=1 {MsgList={/h/a.c:1: Msg=1599 #params=0}}"}},
      {"called from a header, included history not selected",
       calledFromHeader,
       M_historyCalledFrom,
       true,
       {"/h/h.h:5: Msg=1570 #params=0"}},
      {"null location", U_Location(), M_historyAll, false, {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const U_RefPtr<M_Diagnostic> earlier = new M_Diagnostic(1);
    DiagnosticList out = {earlier};
    EXPECT_EQ(c.result, M_makeHistorySubDiagnostics(c.location, c.mask, out));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(earlier, out.front()); // appended, never replaced
    out.erase(out.begin());
    EXPECT_EQ(c.out, texts(out));
    for (const U_RefPtr<M_Diagnostic> &d : out) {
      const U_Location &position = d->getLocation();
      EXPECT_FALSE(position.hasInclLoc() || position.hasMacroHist() || position.hasHLLoc() ||
                   position.hasInstFromLoc() || position.hasCalledFromLoc());
      EXPECT_EQ(1u, d->referenceCount()); // the list holds the only handle
    }
  }
}

TEST_F(HistorySubDiagnosticsTest, SortMessagesSortsTheNestedListsButNotTheOutList) {
  // The called-from step has its own call and include history: sorted by file
  // name the include step (a.c) comes before the call step (z.c).
  const U_Location step = header("h.h", 5, A(1)).withCalledFromLoc(Z(2));
  const U_Location location = header("h.h", 9, A(7)).withCalledFromLoc(step);
  setArguments({"-debug", "sort-messages"});
  DiagnosticList out;
  EXPECT_TRUE(M_makeHistorySubDiagnostics(location, M_historyAll, out));
  EXPECT_EQ((std::vector<std::string>{"/h/h.h:5: Msg=1570 #params=1 {MsgList={/h/a.c:1: Msg=1599 #params=0 ; "
                                      "/h/z.c:2: Msg=1570 #params=0}}",
                                      "/h/a.c:7: Msg=1599 #params=0"}),
            texts(out));
}

TEST_F(HistorySubDiagnosticsTest, HistoryPositionKeepsOnlyFileLineAndColumn) {
  const U_Location full = withMacros(header("h.h", 4, A(1)), {{A(2), "M"}})
                              .withHLLoc(QL_Filename::fromPath("/h/h.y"), 40)
                              .withInstFromLoc(Z(1), numberedName("T"))
                              .withCalledFromLoc(Z(2));
  const U_Location position = M_historyPosition(full);
  ASSERT_TRUE(position.isSet());
  EXPECT_NE(full, position);
  EXPECT_EQ(full.getFile(), position.getFile());
  EXPECT_EQ(4, position.getLine());
  EXPECT_EQ(0, position.getColumn());
  EXPECT_FALSE(position.hasInclLoc() || position.hasMacroHist() || position.hasHLLoc() ||
               position.hasInstFromLoc() || position.hasCalledFromLoc());
  EXPECT_FALSE(M_historyPosition(U_Location()).isSet());
}

} // namespace
