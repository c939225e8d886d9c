#include "anlsrslt/include/RelationQueries.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/include/QueryInterface.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/RelationIndex.h"

#include "RecordQueriesTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::QueryWalk;
using test_support::walkAll;

// Two functions of a.c; their names are first pooled here, so "rq_a" orders
// before "rq_b".
const std::vector<std::string> defines = {"<DEFINE> rq_a /q/a.c 1 N DF OF F X v -",
                                          "<DEFINE> rq_b /q/a.c 2 N DF OF F X v -"};

std::vector<std::string> withDefines(const std::vector<std::string> &lines) {
  return test_support::linesThen(defines, lines);
}

// The flag letters a relation answers yes to, in the order R W V 1 5 2 3 7.
std::string flagsOf(const P_Relation *relation) {
  std::string letters;
  const struct {
    char letter;
    bool (*test)(const P_Relation *);
  } tests[] = {{'R', PI_relationHasFlagR}, {'W', PI_relationHasFlagW}, {'V', PI_relationHasFlagV},
               {'1', PI_relationHasFlag1}, {'5', PI_relationHasFlag5}, {'2', PI_relationHasFlag2},
               {'3', PI_relationHasFlag3}, {'7', PI_relationHasFlag7}};
  for (const auto &test : tests)
    if (test.test(relation))
      letters += test.letter;
  return letters;
}

// A relation as "<object>><subject>@<line> <flags>".
std::string describe(const P_Relation *relation) {
  return std::string(PI_relationObject(relation)) + ">" + PI_relationSubject(relation) + "@" +
         std::to_string(PI_relationLine(relation)) + " " + flagsOf(relation);
}

const QueryWalk<P_Relation *> generic = {PI_relationsAtEnd, PI_currentRelation, PI_nextRelation};

std::vector<std::string> describeAll(std::int32_t id, const QueryWalk<P_Relation *> &walk = generic) {
  std::vector<std::string> seen;
  for (const P_Relation *relation : walkAll(id, walk))
    seen.push_back(describe(relation));
  return seen;
}

// The symbol of the run whose define has that display name and file.
P_Symbol *symbolOf(const std::string &name, const std::string &file) {
  for (const auto &symbol : SymbolTable::instance().symbols()) {
    const P_Define *define = PI_symbolDefine(symbol.pointer());
    if (define && PI_displayName(PI_defineName(define)) == name && PI_defineFileName(define) == file)
      return symbol.pointer();
  }
  return nullptr;
}

using RelationQueriesTest = test_support::RecordQueriesTest;

// The record lines of every kind; each kind's members walk its own relations:
// X ones by subject name, the others by object name, names in pooling order.
TEST_F(RelationQueriesTest, EachKindLetterWalksTheRelationsOfItsKind) {
  PI_registerRelationIndexB();
  PI_registerRelationIndexC();
  PI_registerRelationIndexX();
  PI_registerRelationIndexV();
  PI_registerRelationIndexR();
  PI_registerRelationIndexP();
  readRecordFile("a.c", withDefines({"<R>C rq_b rq_a 16 -", "<R>C rq_a rq_b 10 R", "<R>X rq_b rq_a 11 W",
                                     "<R>X rq_a rq_b 17 -", "<R>B rq_a rq_b 12 -", "<R>V rq_b rq_a 13 V",
                                     "<R>R rq_a rq_b 14 1", "<R>P rq_a rq_b 15 5", "<R>Q rq_a rq_b 18 -"}));
  const struct Case {
    const char *members;
    std::int32_t (*begin)();
    QueryWalk<P_Relation *> walk;
    std::vector<std::string> relations;
  } cases[] = {
      {"C",
       PI_beginRelationsC,
       {PI_relationsCAtEnd, PI_currentRelationC, PI_nextRelationC},
       {"rq_a>rq_b@10 R", "rq_b>rq_a@16 "}},
      {"X",
       PI_beginRelationsX,
       {PI_relationsXAtEnd, PI_currentRelationX, PI_nextRelationX},
       {"rq_b>rq_a@11 W", "rq_a>rq_b@17 "}},
      {"B",
       PI_beginRelationsB,
       {PI_relationsBAtEnd, PI_currentRelationB, PI_nextRelationB},
       {"rq_a>rq_b@12 "}},
      {"V",
       PI_beginRelationsV,
       {PI_relationsVAtEnd, PI_currentRelationV, PI_nextRelationV},
       {"rq_b>rq_a@13 V"}},
      {"R",
       PI_beginRelationsR,
       {PI_relationsRAtEnd, PI_currentRelationR, PI_nextRelationR},
       {"rq_a>rq_b@14 1"}},
      {"P",
       PI_beginRelationsP,
       {PI_relationsPAtEnd, PI_currentRelationP, PI_nextRelationP},
       {"rq_a>rq_b@15 5"}},
      {"generic C", [] { return PI_beginRelations('C'); }, generic, {"rq_a>rq_b@10 R", "rq_b>rq_a@16 "}},
      // A kind no index was registered for files nothing.
      {"generic Q", [] { return PI_beginRelations('Q'); }, generic, {}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.relations, describeAll(c.begin(), c.walk)) << c.members;
}

TEST_F(RelationQueriesTest, FlagLettersAndTheFieldsOfARelation) {
  PI_registerRelationIndexC();
  readRecordFile("a.c",
                 withDefines({"<R>C rq_a rq_b 1 R", "<R>C rq_a rq_b 2 W", "<R>C rq_a rq_b 3 V",
                              "<R>C rq_a rq_b 4 1", "<R>C rq_a rq_b 5 5", "<R>C rq_a rq_b 6 2",
                              "<R>C rq_a rq_b 7 3", "<R>C rq_a rq_b 8 7", "<R>C rq_a rq_b 9 -",
                              // One relation at one line: the flags are joined.
                              "<R>C rq_a rq_b 10 R", "<R>C rq_a rq_b 10 73", "<R>C rq_a rq_b 11 RWV15237"}));
  EXPECT_EQ((std::vector<std::string>{"rq_a>rq_b@1 R", "rq_a>rq_b@2 W", "rq_a>rq_b@3 V", "rq_a>rq_b@4 1",
                                      "rq_a>rq_b@5 5", "rq_a>rq_b@6 2", "rq_a>rq_b@7 3", "rq_a>rq_b@8 7",
                                      "rq_a>rq_b@9 ", "rq_a>rq_b@10 R37", "rq_a>rq_b@11 RWV15237"}),
            describeAll(PI_beginRelationsC()));

  const std::vector<P_Relation *> relations = walkAll(PI_beginRelationsC(), generic);
  ASSERT_FALSE(relations.empty());
  EXPECT_EQ(symbolOf("rq_a", "/q/a.c"), PI_relationObjectSymbol(relations[0]));
  EXPECT_EQ(symbolOf("rq_b", "/q/a.c"), PI_relationSubjectSymbol(relations[0]));
  EXPECT_NE(nullptr, PI_relationObjectSymbol(relations[0]));
}

TEST_F(RelationQueriesTest, ABeginForALetterWithoutAnEntryMakesAnEmptyOne) {
  ASSERT_EQ(0u, relationIndex().count('C'));
  const std::int32_t id = PI_beginRelationsC();
  EXPECT_EQ(1u, relationIndex().count('C'));
  EXPECT_TRUE(PI_relationsCAtEnd(id));
  EXPECT_EQ(nullptr, PI_currentRelationC(id));
  EXPECT_NE(id, PI_beginRelations('Z')) << "an empty walk keeps its id";
  EXPECT_EQ(1u, relationIndex().count('Z'));
}

// A static function of one name in two files: only the symbol of the file
// whose X relation names it as subject answers yes.
TEST_F(RelationQueriesTest, ASymbolIsSubjectOfAnXRelationOnlyWithItsOwnSymbol) {
  readRecordFile("c.c", {"<DEFINE> rq_c /q/c.c 1 N DF OF F X v -", "<DEFINE> rq_t /q/c.c 2 N DF OF F I v -",
                         "<R>X rq_c rq_t 3 -"});
  EXPECT_FALSE(PI_symbolIsSubjectOfXRelation(symbolOf("rq_t", "/q/c.c"))) << "X relations are not filed";
  EXPECT_EQ(0u, relationIndex().count('X')) << "asking adds no entry";

  PI_registerRelationIndexX();
  readRecordFile("a.c", {"<DEFINE> rq_a /q/a.c 1 N DF OF F X v -", "<DEFINE> rq_s /q/a.c 2 N DF OF F I v -",
                         "<R>X rq_a rq_s 3 -"});
  readRecordFile("b.c", {"<DEFINE> rq_s /q/b.c 5 N DF OF F I v -"});
  P_Symbol *sInA = symbolOf("rq_s", "/q/a.c");
  P_Symbol *sInB = symbolOf("rq_s", "/q/b.c");
  ASSERT_NE(nullptr, sInA);
  ASSERT_NE(nullptr, sInB);
  ASSERT_NE(sInA, sInB);
  EXPECT_TRUE(PI_symbolIsSubjectOfXRelation(sInA));
  EXPECT_FALSE(PI_symbolIsSubjectOfXRelation(sInB));
  EXPECT_FALSE(PI_symbolIsSubjectOfXRelation(symbolOf("rq_a", "/q/a.c"))) << "the object";
}

TEST_F(RelationQueriesTest, NestedAndAbandonedWalksOfRelations) {
  PI_registerRelationIndexC();
  readRecordFile("a.c", withDefines({"<R>C rq_a rq_b 1 -", "<R>C rq_a rq_b 2 -"}));
  // Inner walks inside an outer one: each inner walk gets an id of its own,
  // and ends before the next begins, so all of them get the same id.
  std::vector<std::int32_t> inner;
  const std::int32_t outer = PI_beginRelationsC();
  while (!PI_relationsCAtEnd(outer)) {
    const std::int32_t id = PI_beginRelations('C');
    inner.push_back(id);
    EXPECT_EQ(2u, walkAll(id, generic).size());
    if (PI_nextRelationC(outer))
      break;
  }
  ASSERT_EQ(2u, inner.size());
  EXPECT_NE(outer, inner[0]);
  EXPECT_EQ(inner[0], inner[1]);
  // The id freed last comes first.
  EXPECT_EQ(outer, PI_beginRelationsC());
  EXPECT_EQ(inner[0], PI_beginRelationsC());

  // Both walks are left before their ends: they keep their ids for good.
  const std::int32_t next = PI_beginRelationsC();
  EXPECT_NE(outer, next);
  EXPECT_NE(inner[0], next);
  EXPECT_EQ(2u, walkAll(next, generic).size());
  EXPECT_EQ(next, PI_beginRelationsC());
}

using RelationQueriesDeathTest = RelationQueriesTest;

TEST_F(RelationQueriesDeathTest, ANullRelationAndAnIdNeverHandedOut) {
  EXPECT_DEATH(PI_relationLine(nullptr), "Assertion '0 != rel && \"Dont dereference 0.\"' failed");
  EXPECT_DEATH(PI_relationHasFlagW(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_relationsXAtEnd(1 << 30),
               "Assertion 'key < nextId && \"Iterator Id is out of range.\"' failed");
  EXPECT_DEATH(PI_currentRelation(-1), "Iterator Id is out of range.");
}

} // namespace
