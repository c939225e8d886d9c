// The factories of the system's own messages 1569 to 1599 and the general
// diagnostic factories.
#include "messages/InternalMessages.h"
#include "messages/Diagnostic.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::numberedName;

class InternalMessagesTest : public test_support::CurrentArgumentsTest {};

TEST_F(InternalMessagesTest, EachFactoryMakesItsNumberWithItsParameters) {
  const U_Location l = at("/im/a.c", 4, 2);
  const U_RefPtr<U_EntityDisplayName> e = numberedName("e"), f = numberedName("f");
  const std::vector<U_RefPtr<M_Diagnostic>> list = {M_createDiagnostic(9, at("/im/b.c", 2)),
                                                    M_createDiagnostic(8, at("/im/b.c", 1))};
  struct Case {
    std::uint32_t number;
    std::function<U_RefPtr<M_Diagnostic>()> make;
    std::string parameters; // the dump text after the number
  };
  const Case cases[] = {
      {M_internalMessageNumber1569(), [&] { return M_makeInternalMessage1569(l, 4294967295u); },
       "1 {4294967295}"},
      {M_internalMessageNumber1570(), [&] { return M_makeInternalMessage1570(l); }, "0"},
      {M_internalMessageNumber1571(), [&] { return M_makeInternalMessage1571(l, "t"); }, "1 {t}"},
      {M_internalMessageNumber1572(), [&] { return M_makeInternalMessage1572(l); }, "0"},
      {M_internalMessageNumber1573(), [&] { return M_makeInternalMessage1573(l); }, "0"},
      {M_internalMessageNumber1574(), [&] { return M_makeInternalMessage1574(l, list); },
       "1 {MsgList={/im/b.c:2: Msg=9 #params=0 ; /im/b.c:1: Msg=8 #params=0}}"},
      {M_internalMessageNumber1575(), [&] { return M_makeInternalMessage1575(l, e, "t"); },
       "2 {Entity={e#1,e#3}, t}"},
      {M_internalMessageNumber1576(), [&] { return M_makeInternalMessage1576(l); }, "0"},
      {M_internalMessageNumber1577(), [&] { return M_makeInternalMessage1577(l); }, "0"},
      {M_internalMessageNumber1578(), [&] { return M_makeInternalMessage1578(l, "t"); }, "1 {t}"},
      {M_internalMessageNumber1579(), [&] { return M_makeInternalMessage1579(l); }, "0"},
      {M_internalMessageNumber1580(), [&] { return M_makeInternalMessage1580(l, e, f); },
       "2 {Entity={e#1,e#3}, Entity={f#1,f#3}}"},
      {M_internalMessageNumber1581(), [&] { return M_makeInternalMessage1581(l, "s", "t"); }, "2 {s, t}"},
      {M_internalMessageNumber1582(), [&] { return M_makeInternalMessage1582(l); }, "0"},
      {M_internalMessageNumber1583(), [&] { return M_makeInternalMessage1583(l); }, "0"},
      {M_internalMessageNumber1584(), [&] { return M_makeInternalMessage1584(l); }, "0"},
      {M_internalMessageNumber1585(), [&] { return M_makeInternalMessage1585(l); }, "0"},
      {M_internalMessageNumber1586(), [&] { return M_makeInternalMessage1586(l); }, "0"},
      {M_internalMessageNumber1587(), [&] { return M_makeInternalMessage1587(l, e); },
       "1 {Entity={e#1,e#3}}"},
      {M_internalMessageNumber1588(), [&] { return M_makeInternalMessage1588(l); }, "0"},
      {M_internalMessageNumber1589(), [&] { return M_makeInternalMessage1589(l, e); },
       "1 {Entity={e#1,e#3}}"},
      {M_internalMessageNumber1590(), [&] { return M_makeInternalMessage1590(l); }, "0"},
      {M_internalMessageNumber1591(), [&] { return M_makeInternalMessage1591(l, e, f); },
       "2 {Entity={e#1,e#3}, Entity={f#2,f#4}}"},
      {M_internalMessageNumber1592(), [&] { return M_makeInternalMessage1592(l, e, "t", f); },
       "3 {Entity={e#1,e#3}, t, Entity={f#1,f#3}}"},
      {M_internalMessageNumber1593(), [&] { return M_makeInternalMessage1593(l, e); },
       "1 {Entity={e#1,e#3}}"},
      {M_internalMessageNumber1594(), [&] { return M_makeInternalMessage1594(l, e); },
       "1 {Entity={e#1,e#3}}"},
      {M_internalMessageNumber1595(), [&] { return M_makeInternalMessage1595(l); }, "0"},
      {M_internalMessageNumber1596(), [&] { return M_makeInternalMessage1596(l); }, "0"},
      {M_internalMessageNumber1597(), [&] { return M_makeInternalMessage1597(l, "T<int>"); }, "1 {T<int>}"},
      {M_internalMessageNumber1598(), [&] { return M_makeInternalMessage1598(l, "MAX"); }, "1 {MAX}"},
      {M_internalMessageNumber1599(), [&] { return M_makeInternalMessage1599(l); }, "0"},
  };
  ASSERT_EQ(31u, std::size(cases));
  std::uint32_t expected = 1569;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(expected++, c.number);
    const U_RefPtr<M_Diagnostic> d = c.make();
    EXPECT_EQ(1u, d->referenceCount()); // the only handle
    EXPECT_EQ(c.number, d->getNumber());
    EXPECT_EQ(l, d->getLocation());
    EXPECT_EQ("/im/a.c:4:2: Msg=" + std::to_string(c.number) + " #params=" + c.parameters, d->dumpText());
  }
  EXPECT_EQ(1570u, M_calledFromMessage);
  EXPECT_EQ(1597u, M_instantiatedFromMessage);
  EXPECT_EQ(1598u, M_macroExpansionMessage);
  EXPECT_EQ(1599u, M_includedFromMessage);
}

TEST_F(InternalMessagesTest, TheListOf1574IsSortedUnderSortMessages) {
  setArguments({"-debug", "sort-messages"});
  const std::vector<U_RefPtr<M_Diagnostic>> list = {M_createDiagnostic(9, at("/im/b.c", 2)),
                                                    M_createDiagnostic(8, at("/im/b.c", 1))};
  EXPECT_EQ(
      "nofile.cc:0: Msg=1574 #params=1 {MsgList={/im/b.c:1: Msg=8 #params=0 ; /im/b.c:2: Msg=9 #params=0}}",
      M_makeInternalMessage1574(U_Location(), list)->dumpText());
}

TEST_F(InternalMessagesTest, GeneralFactories) {
  const U_Location l = at("/im/a.c", 1);
  const U_RefPtr<M_Diagnostic> plain = M_createDiagnostic(4000000000u, l);
  EXPECT_EQ(4000000000u, plain->getNumber());
  EXPECT_EQ(l, plain->getLocation());
  EXPECT_EQ(0, plain->getParameterCount());
  EXPECT_FALSE(plain->isHiddenByPragma() || plain->isHiddenByUser() || plain->isError());
  EXPECT_EQ("nofile.cc:0: Msg=7 #params=0", M_createDiagnostic(7, U_Location())->dumpText());
  EXPECT_EQ("/im/a.c:1: Msg=7 #params=1 {Entity={n#2,n#4}}",
            M_createDiagnosticWithEntity(7, l, numberedName("n"), true)->dumpText());
  EXPECT_EQ("/im/a.c:1: Msg=7 #params=1 {Entity={n#1,n#3}}",
            M_createDiagnosticWithEntity(7, l, numberedName("n"), false)->dumpText());
}

} // namespace
