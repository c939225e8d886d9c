// The parameter kinds of a diagnostic: the text each gives of itself and the
// visitor operation each calls.
#include "messages/ParamType.h"
#include "messages/Diagnostic.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::numberedName;

// Names the operation that a parameter called.
class RecordingNav : public M_ParamTypeNav {
public:
  void visitMsgList(M_ParamMsgListType &) override { called = "msgList"; }
  void visitList(M_ParamListType &) override { called = "list"; }
  void visitEntity(M_ParamEntityType &) override { called = "entity"; }
  void visitString(M_ParamStringType &) override { called = "string"; }
  void visitOther(M_ParamType &) override { called = "other"; }
  std::string called;
};

// Overrides visitOther only: every kind must reach it, with itself.
class OtherOnlyNav : public M_ParamTypeNav {
public:
  void visitOther(M_ParamType &param) override { seen.push_back(&param); }
  std::vector<M_ParamType *> seen;
};

class ParamTypeTest : public test_support::CurrentArgumentsTest {};

U_RefPtr<M_Diagnostic> diagnostic(std::uint32_t number, const std::string &path, int line) {
  return U_RefPtr<M_Diagnostic>(new M_Diagnostic(number, at(path, line)));
}

TEST_F(ParamTypeTest, EachKindGivesItsTextAndCallsItsOwnVisitorOperation) {
  const std::vector<U_RefPtr<M_Diagnostic>> two = {diagnostic(7, "/p/a.c", 1), diagnostic(8, "/p/b.c", 2)};
  U_RefPtr<M_Diagnostic> outer = diagnostic(9, "/p/c.c", 3);
  outer->addParameterInGivenOrder(two);
  struct Case {
    const char *name;
    U_RefPtr<M_ParamType> param;
    std::string text;
    std::string visit;
  };
  const Case cases[] = {
      {"text", new M_ParamStringType("abc"), "abc", "string"},
      {"empty text", new M_ParamStringType(""), "", "string"},
      {"entity, flag false", new M_ParamEntityType(numberedName("f"), false), "Entity={f#1,f#3}", "entity"},
      {"entity, flag true", new M_ParamEntityType(numberedName("f"), true), "Entity={f#2,f#4}", "entity"},
      {"entity without a name", new M_ParamEntityType(U_RefPtr<U_EntityDisplayName>(), true), "Entity={,}",
       "entity"},
      {"text list", new M_ParamListType({"x", "y", "z"}), "List={x,y,z}", "list"},
      {"one text", new M_ParamListType({"x"}), "List={x}", "list"},
      {"empty text list", new M_ParamListType({}), "List={}", "list"},
      {"message list", new M_ParamMsgListType(two),
       "MsgList={/p/a.c:1: Msg=7 #params=0 ; /p/b.c:2: Msg=8 #params=0}", "msgList"},
      {"nested message list", new M_ParamMsgListType({outer}),
       "MsgList={/p/c.c:3: Msg=9 #params=1 {MsgList={/p/a.c:1: Msg=7 #params=0 ; /p/b.c:2: Msg=8 "
       "#params=0}}}",
       "msgList"},
      {"empty message list", new M_ParamMsgListType({}), "MsgList={}", "msgList"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.text, c.param->text());
    std::ostringstream written;
    c.param->writeText(written);
    EXPECT_EQ(c.text, written.str());
    RecordingNav nav;
    c.param->accept(nav);
    EXPECT_EQ(c.visit, nav.called);
    OtherOnlyNav other;
    c.param->accept(other);
    EXPECT_EQ(std::vector<M_ParamType *>{c.param.pointer()}, other.seen);
  }
}

// A kind that keeps the base's text.
class PlainParam : public M_ParamType {
public:
  void accept(M_ParamTypeNav &nav) override { nav.visitOther(*this); }
};

TEST_F(ParamTypeTest, TheBaseTextIsEmpty) {
  EXPECT_EQ("", PlainParam().text());
  std::ostringstream written;
  PlainParam().writeText(written);
  EXPECT_EQ("", written.str());
}

TEST_F(ParamTypeTest, ParametersGiveAccessToWhatTheyHold) {
  const U_RefPtr<U_EntityDisplayName> name = numberedName("n");
  const M_ParamEntityType entity(name, true);
  EXPECT_EQ(name, entity.getEntity());
  EXPECT_TRUE(entity.getFlag());
  EXPECT_EQ(2u, name->referenceCount());
  EXPECT_EQ("s", M_ParamStringType("s").getString());
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), M_ParamListType({"a", "b"}).getStrings());
  const U_RefPtr<M_Diagnostic> nested = diagnostic(1, "/p/a.c", 1);
  {
    const M_ParamMsgListType list({nested});
    ASSERT_EQ(1u, list.getDiagnostics().size());
    EXPECT_EQ(nested, list.getDiagnostics()[0]);
    EXPECT_EQ(2u, nested->referenceCount());
  }
  EXPECT_EQ(1u, nested->referenceCount());
}

} // namespace
