// The diagnostic record: its parameters, flags, one-line text, copies and
// equality, and the "sort-messages" order of its nested lists.
#include "messages/Diagnostic.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::includedAt;
using test_support::numberedName;
using DiagnosticList = std::vector<U_RefPtr<M_Diagnostic>>;

U_RefPtr<M_Diagnostic> make(std::uint32_t number, const U_Location &location = U_Location()) {
  return U_RefPtr<M_Diagnostic>(new M_Diagnostic(number, location));
}

class DiagnosticTest : public test_support::CurrentArgumentsTest {};

TEST_F(DiagnosticTest, ConstructorsStartWithoutParametersAndFlags) {
  const U_Location location = at("/p/a.c", 4, 2);
  const M_Diagnostic diagnostics[] = {M_Diagnostic(), M_Diagnostic(12), M_Diagnostic(13, location)};
  const std::uint32_t numbers[] = {0, 12, 13};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const M_Diagnostic &d = diagnostics[i];
    EXPECT_EQ(numbers[i], d.getNumber());
    EXPECT_EQ(i == 2, d.getLocation().isSet());
    EXPECT_EQ(0, d.getParameterCount());
    EXPECT_FALSE(d.isHiddenByPragma() || d.isHiddenByUser() || d.isError() || d.hasNonEmptyMessageList());
  }
  EXPECT_EQ(location, diagnostics[2].getLocation()); // the same location object
  EXPECT_EQ(0u, diagnostics[2].referenceCount());
}

TEST_F(DiagnosticTest, DumpTextWritesPositionNumberParametersAndHiddenFlags) {
  struct Case {
    const char *name;
    std::function<U_RefPtr<M_Diagnostic>()> make;
    std::string text;
  };
  const Case cases[] = {
      {"no location, no parameters", [] { return make(5); }, "nofile.cc:0: Msg=5 #params=0"},
      {"column 0 is left out", [] { return make(5, at("/p/a.c", 12)); }, "/p/a.c:12: Msg=5 #params=0"},
      {"negative column is left out", [] { return make(5, at("/p/a.c", 12, -4)); },
       "/p/a.c:12: Msg=5 #params=0"},
      {"negative line", [] { return make(5, at("/p/a.c", -2, 1)); }, "/p/a.c:-2:1: Msg=5 #params=0"},
      {"number as a signed value", [] { return make(4294967295u, at("/p/a.c", 1, 1)); },
       "/p/a.c:1:1: Msg=-1 #params=0"},
      {"both hidden flags",
       [] {
         U_RefPtr<M_Diagnostic> d = make(77, at("/p/a.c", 12, 3));
         d->addParameter("T1");
         d->addParameter("T2");
         d->setHiddenByPragma(true);
         d->setHiddenByUser(true);
         return d;
       },
       "/p/a.c:12:3: Msg=77 #params=2 {T1, T2} hidden by pragma, user"},
      {"hidden by user only",
       [] {
         U_RefPtr<M_Diagnostic> d = make(77, at("/p/a.c", 12, 3));
         d->setHiddenByUser(true);
         return d;
       },
       "/p/a.c:12:3: Msg=77 #params=0 hidden by user"},
      {"hidden by pragma only",
       [] {
         U_RefPtr<M_Diagnostic> d = make(77);
         d->setHiddenByPragma(true);
         return d;
       },
       "nofile.cc:0: Msg=77 #params=0 hidden by pragma"},
      {"hidden and error flags never show",
       [] {
         U_RefPtr<M_Diagnostic> d = make(77, at("/p/a.c", 1));
         d->setHidden(true);
         d->setError(true);
         return d;
       },
       "/p/a.c:1: Msg=77 #params=0"},
      {"text and text list",
       [] {
         U_RefPtr<M_Diagnostic> d = make(8, at("/p/a.c", 1));
         d->addParameter("abc");
         d->addParameter(std::vector<std::string>{"x", "y"});
         return d;
       },
       "/p/a.c:1: Msg=8 #params=2 {abc, List={x,y}}"},
      {"an HL location shows its file and line with the location's column",
       [] { return make(8, at("/p/a.c", 10, 6).withHLLoc(QL_Filename::fromPath("/p/a.y"), 99)); },
       "/p/a.y:99:6: Msg=8 #params=0"},
      {"histories without their debug words",
       [] { return make(8, includedAt(at("/p/a.c", 2), "/p/h.h", 3, 1).withCalledFromLoc(at("/p/a.c", 9))); },
       "/p/h.h:3:1: Msg=8 #params=0"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.text, c.make()->dumpText());
  }
}

TEST_F(DiagnosticTest, DebugWordsAddTheHistoryChainsAskedOnEveryCall) {
  const U_Location main = at("/p/a.c", 2, 5);
  const U_Location header1 = includedAt(main, "/p/h1.h", 3);
  const U_Location header2 = includedAt(header1, "/p/h2.h", 4, 2);
  const U_Location instantiated = at("/p/t.c", 30, 1).withInstFromLoc(at("/p/t.c", 7, 3), numberedName("T"));
  const U_Location twice = instantiated.withInstFromLoc(at("/p/u.c", 1, 1), numberedName("U"));
  const U_Location called =
      at("/p/f.c", 5).withCalledFromLoc(at("/p/g.c", 6, 2).withHLLoc(QL_Filename::fromPath("/p/g.y"), 60));
  const U_Location all =
      header2.withInstFromLoc(at("/p/t.c", 7, 3), numberedName("T")).withCalledFromLoc(at("/p/g.c", 6, 2));
  struct Case {
    std::vector<std::string> words;
    U_Location location;
    std::string text;
  };
  const Case cases[] = {
      {{"-debug", "showInclLoc"},
       header2,
       "/p/h2.h:4:2: Msg=9 #params=0 incl {/p/h1.h:3:0: Msg=1599 #params=0 incl {/p/a.c:2:5: Msg=1599 "
       "#params=0}}"},
      {{"-debug", "showInclLoc"}, main, "/p/a.c:2:5: Msg=9 #params=0"},
      {{"-debug", "showInstLoc"},
       instantiated,
       "/p/t.c:30:1: Msg=9 #params=0 inst {/p/t.c:7:3: Msg=1597 #params=0}"},
      {{"-debug", "showInstLoc"},
       twice,
       "/p/t.c:30:1: Msg=9 #params=0 inst {/p/u.c:1:1: Msg=1597 #params=0}"},
      {{"-debug", "showCallLoc"}, called, "/p/f.c:5: Msg=9 #params=0 call {/p/g.y:60:2: Msg=1570 #params=0}"},
      {{"-debug", "showcallloc"}, called, "/p/f.c:5: Msg=9 #params=0"},
      {{"-debug", "showCallLoc", "-debug", "showInclLoc", "-debug", "showInstLoc"},
       all,
       "/p/h2.h:4:2: Msg=9 #params=0 incl {/p/h1.h:3:0: Msg=1599 #params=0 incl {/p/a.c:2:5: Msg=1599 "
       "#params=0}} inst {/p/t.c:7:3: Msg=1597 #params=0} call {/p/g.c:6:2: Msg=1570 #params=0}"},
      {{}, all, "/p/h2.h:4:2: Msg=9 #params=0"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.words) + " " + c.text);
    setArguments(c.words);
    EXPECT_EQ(c.text, make(9, c.location)->dumpText());
  }
}

TEST_F(DiagnosticTest, AddParameterMakesOneParameterOfTheKindPerCall) {
  const U_RefPtr<U_EntityDisplayName> name = numberedName("e");
  const DiagnosticList nested = {make(1, at("/p/a.c", 1))};
  const char *noText = nullptr;
  U_RefPtr<M_Diagnostic> d = make(3);
  d->addParameter(std::string("text"));
  d->addParameter("c string");
  d->addParameter(noText);
  d->addParameter(4294967295u);
  d->addParameter(name, true);
  d->addParameter(std::vector<std::string>{"a", "b"});
  d->addParameter(nested);
  d->addParameterInGivenOrder(DiagnosticList{});
  const std::vector<std::string> texts = {"text",
                                          "c string",
                                          "",
                                          "4294967295",
                                          "Entity={e#2,e#4}",
                                          "List={a,b}",
                                          "MsgList={/p/a.c:1: Msg=1 #params=0}",
                                          "MsgList={}"};
  ASSERT_EQ(static_cast<int>(texts.size()), d->getParameterCount());
  for (int i = 0; i < d->getParameterCount(); ++i)
    EXPECT_EQ(texts[static_cast<std::size_t>(i)], d->getParameter(i)->text()) << i;
  EXPECT_NE(nullptr, dynamic_cast<M_ParamStringType *>(d->getParameter(3)));
  const auto *entity = dynamic_cast<M_ParamEntityType *>(d->getParameter(4));
  ASSERT_NE(nullptr, entity);
  EXPECT_EQ(name, entity->getEntity());
  EXPECT_TRUE(d->hasNonEmptyMessageList());
}

TEST_F(DiagnosticTest, FileParameterIsThePrintableName) {
  test_support::ScratchDirectory scratch;
  scratch.makeDirectory("src");
  const test_support::CurrentDirectory here(scratch.path());
  const QL_Filename file = QL_Filename::fromPath("src/a.c");
  struct Case {
    std::vector<std::string> words;
    std::string text;
  };
  const Case cases[] = {{{}, scratch / "src/a.c"}, {{"-expandfilenames-"}, "src/a.c"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    setArguments(c.words);
    M_Diagnostic d(1540, at("/p/m.c", 1));
    d.addParameter(file);
    EXPECT_EQ("/p/m.c:1: Msg=1540 #params=1 {" + c.text + "}", d.dumpText());
  }
}

TEST_F(DiagnosticTest, OnlyANonEmptyMessageListCounts) {
  U_RefPtr<M_Diagnostic> d = make(1);
  d->addParameter("x");
  d->addParameter(DiagnosticList{});
  EXPECT_FALSE(d->hasNonEmptyMessageList());
  d->addParameterInGivenOrder({make(2)});
  EXPECT_TRUE(d->hasNonEmptyMessageList());
}

TEST_F(DiagnosticTest, CopiesShareTheParameterObjectsAndKeepTheFlags) {
  U_RefPtr<M_Diagnostic> original = make(6, at("/p/a.c", 2));
  original->addParameter("p");
  original->setHiddenByUser(true);
  original->setError(true);
  U_RefPtr<M_Diagnostic> copy = new M_Diagnostic(*original);
  EXPECT_EQ(0u + 1, copy->referenceCount());
  EXPECT_EQ(original->getParameter(0), copy->getParameter(0));
  EXPECT_EQ(original->getLocation(), copy->getLocation());
  EXPECT_TRUE(copy->isHiddenByUser() && copy->isError() && !copy->isHiddenByPragma());
  EXPECT_TRUE(diagnosticsEqual(original, copy));

  U_RefPtr<M_Diagnostic> assigned = make(1);
  assigned->addParameter("gone");
  *assigned = *original;
  EXPECT_EQ(1u, assigned->referenceCount());
  EXPECT_EQ(original->dumpText(), assigned->dumpText());
  EXPECT_EQ(original->getParameter(0), assigned->getParameter(0));
  EXPECT_EQ(3u, original->getParameter(0)->referenceCount());
}

TEST_F(DiagnosticTest, EqualityTakesLocationNumberFlagsAndParameterTexts) {
  const auto base = [](const U_Location &location) {
    U_RefPtr<M_Diagnostic> d = make(10, location);
    d->addParameter("a");
    return d;
  };
  const U_RefPtr<M_Diagnostic> reference = base(at("/p/a.c", 3, 4));
  struct Case {
    const char *name;
    std::function<void(U_RefPtr<M_Diagnostic> &)> change;
    bool equal;
  };
  const Case cases[] = {
      {"same contents, another location object", [](U_RefPtr<M_Diagnostic> &) {}, true},
      {"parameter of another kind with the same text",
       [](U_RefPtr<M_Diagnostic> &d) {
         d = make(10, at("/p/a.c", 3, 4));
         d->addParameter(std::vector<std::string>{"a"});
       },
       false},
      {"history parts do not count",
       [](U_RefPtr<M_Diagnostic> &d) {
         d = make(10, at("/p/a.c", 3, 4).withCalledFromLoc(at("/p/b.c", 1)));
         d->addParameter("a");
       },
       true},
      {"another column", [&](U_RefPtr<M_Diagnostic> &d) { d = base(at("/p/a.c", 3, 5)); }, false},
      {"another file", [&](U_RefPtr<M_Diagnostic> &d) { d = base(at("/p/b.c", 3, 4)); }, false},
      {"no location", [&](U_RefPtr<M_Diagnostic> &d) { d = base(U_Location()); }, false},
      {"another number",
       [](U_RefPtr<M_Diagnostic> &d) {
         d = make(11, at("/p/a.c", 3, 4));
         d->addParameter("a");
       },
       false},
      {"one more parameter", [](U_RefPtr<M_Diagnostic> &d) { d->addParameter(""); }, false},
      {"hidden by pragma", [](U_RefPtr<M_Diagnostic> &d) { d->setHiddenByPragma(true); }, false},
      {"hidden by user", [](U_RefPtr<M_Diagnostic> &d) { d->setHiddenByUser(true); }, false},
      {"hidden", [](U_RefPtr<M_Diagnostic> &d) { d->setHidden(true); }, false},
      {"error", [](U_RefPtr<M_Diagnostic> &d) { d->setError(true); }, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    U_RefPtr<M_Diagnostic> other = base(at("/p/a.c", 3, 4));
    c.change(other);
    EXPECT_EQ(c.equal, diagnosticsEqual(reference, other));
    EXPECT_EQ(c.equal, diagnosticsEqual(other, reference));
  }
  EXPECT_TRUE(diagnosticsEqual(make(1), make(1)));
}

// Numbers of the diagnostics in the first message-list parameter.
std::vector<std::uint32_t> listed(const U_RefPtr<M_Diagnostic> &d) {
  std::vector<std::uint32_t> numbers;
  for (const U_RefPtr<M_Diagnostic> &n :
       dynamic_cast<M_ParamMsgListType &>(*d->getParameter(0)).getDiagnostics())
    numbers.push_back(n->getNumber());
  return numbers;
}

TEST_F(DiagnosticTest, SortMessagesSortsListsAddedByValueStablyByFileName) {
  // "/p/b.c" is interned before "/p/a.c": the order is by name, not by that.
  const U_Location b = at("/p/b.c", 1);
  const U_Location a = at("/p/a.c", 5);
  const auto flagged = [&](std::uint32_t number, bool pragma) {
    U_RefPtr<M_Diagnostic> d = new M_Diagnostic(7, a);
    d->addParameter(number); // the same text for both
    d->setHiddenByPragma(pragma);
    d->setHiddenByUser(!pragma);
    return d;
  };
  // 1 and 2 differ only in their flags: they keep the order they came in.
  U_RefPtr<M_Diagnostic> one = flagged(0, true), two = flagged(0, false);
  const DiagnosticList arrived = {make(4, b), two, make(3, at("/p/a.c", 5, 1)), one,
                                  make(5, at("/p/a.c", 1))};
  const auto pointers = [](const DiagnosticList &list) {
    std::vector<const M_Diagnostic *> result;
    for (const U_RefPtr<M_Diagnostic> &d : list)
      result.push_back(d.pointer());
    return result;
  };
  const auto added = [&](bool byValue) {
    U_RefPtr<M_Diagnostic> d = make(1);
    if (byValue)
      d->addParameter(arrived);
    else
      d->addParameterInGivenOrder(arrived);
    return pointers(dynamic_cast<M_ParamMsgListType &>(*d->getParameter(0)).getDiagnostics());
  };
  const std::vector<const M_Diagnostic *> given = pointers(arrived);
  const std::vector<const M_Diagnostic *> sorted = {given[4], given[1], given[3], given[2], given[0]};

  EXPECT_EQ(given, added(true));
  setArguments({"-debug", "sort-messages"});
  EXPECT_EQ(sorted, added(true));
  EXPECT_EQ(given, added(false));
  EXPECT_EQ(given, pointers(arrived)); // the caller's list stays as it was
}

TEST_F(DiagnosticTest, SortMessagesIsLookedUpOncePerProcess) {
  const DiagnosticList arrived = {make(2, at("/p/a.c", 2)), make(1, at("/p/a.c", 1))};
  const auto first = [&] {
    U_RefPtr<M_Diagnostic> d = make(0);
    d->addParameter(arrived);
    return listed(d).front();
  };
  setArguments({"-debug", "sort-messages"});
  EXPECT_EQ(1u, first());
  C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr)); // a later argument set changes nothing
  EXPECT_EQ(1u, first());
  setArguments({}); // the test support starts the answers afresh
  EXPECT_EQ(2u, first());
  C_CmdArgs sorting("lyr", 0, nullptr);
  std::istringstream word("sort-messages");
  C_optDebug(*sorting.options()).set(word, true);
  C_setCurrentCmdArgs(sorting);
  EXPECT_EQ(2u, first());
}

} // namespace
