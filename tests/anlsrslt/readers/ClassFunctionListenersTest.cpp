#include "anlsrslt/readers/ClassFunctionListeners.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "support/ListenerListsReset.h"
#include "support/TemplateTableReset.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What the listeners saw, in order: "<listener>:<display name>:<value>".
std::vector<std::string> events;

void *value(std::uintptr_t number) { return reinterpret_cast<void *>(number); }

void record(const char *who, P_Define *define, void *given) {
  events.push_back(std::string(who) + ":" + P_defineDisplayName(define) + ":" +
                   std::to_string(reinterpret_cast<std::uintptr_t>(given)));
}
void onClassTag(P_Define *define, void *given) { record("class", define, given); }
void onClassTagToo(P_Define *define, void *given) { record("class-too", define, given); }
void onFunction(P_Define *define, void *given) { record("function", define, given); }
void throwOnFunction(P_Define *define, void *given) {
  record("throw", define, given);
  throw std::runtime_error("listener failed");
}
void onDefineRunEnd() { events.push_back("define-run-end"); }

// The defines of a small program: a struct, a class, a union and an enum tag,
// two functions (one only declared), a variable and a macro.
const std::vector<std::string> program = {
    "<DEFINE> S /s/a.c 1 N DF TG F N {s::S} -", "<DEFINE> f(ni) /s/a.c 2 N DF OF F X ni -",
    "<DEFINE> U /s/a.c 3 N DF TG F N {u::U} -", "<DEFINE> E /s/a.c 4 N DF TG F N {e::E} -",
    "<DEFINE> C /s/a.c 5 N DF TG F N {c::C} -", "<DEFINE> v /s/a.c 6 N DF OV F X ni -",
    "<DEFINE> g(v) /s/a.c 7 N DC OF F X v -",   "<DEFINE> M /s/a.c 8 N DF OM - - - -",
};

// Every test starts with nothing registered and its own symbol table.
class ClassFunctionListenersTest : public testing::Test {
protected:
  void SetUp() override {
    test_support::ListenerListsReset::resetAll();
    test_support::TemplateTableReset::reset();
    events.clear();
    setSymbolTableContext(&m_symbols);
  }
  void TearDown() override {
    test_support::ListenerListsReset::resetAll();
    test_support::TemplateTableReset::reset();
    setSymbolTableContext(nullptr);
  }

  // Files the program's defines and ends the run.
  void run() {
    for (const std::string &line : program)
      handleDefineRecord(line);
    notifyRunEndListeners(m_symbols);
  }

  SymbolTable m_symbols;
};

TEST_F(ClassFunctionListenersTest, AClassTagListenerIsCalledForClassAndStructTagsOnly) {
  registerClassTagListener(value(7), onClassTag);
  run();
  EXPECT_EQ((std::vector<std::string>{"class:S:7", "class:C:7"}), events);
}

TEST_F(ClassFunctionListenersTest, AFunctionListenerIsCalledForEveryFunctionSymbol) {
  registerFunctionListener(value(3), onFunction);
  run();
  EXPECT_EQ((std::vector<std::string>{"function:f(ni):3", "function:g(v):3"}), events);
}

// Per symbol in the order the symbols were made, each list in registration
// order; a pair registered twice is called twice.
TEST_F(ClassFunctionListenersTest, ListenersAreCalledInRegistrationOrder) {
  registerClassTagListener(value(2), onClassTagToo);
  registerFunctionListener(value(5), onFunction);
  registerClassTagListener(value(1), onClassTag);
  registerClassTagListener(value(2), onClassTagToo);
  run();
  EXPECT_EQ((std::vector<std::string>{"class-too:S:2", "class:S:1", "class-too:S:2", "function:f(ni):5",
                                      "class-too:C:2", "class:C:1", "class-too:C:2", "function:g(v):5"}),
            events);
}

// The walk stands once in the DEFINE end-of-run list, at the place of its
// first registration.
TEST_F(ClassFunctionListenersTest, TheWalkIsOneEntryOfTheDefineEndOfRunList) {
  registerFunctionListener(value(1), onFunction);
  registerDefineRunEndListener(onDefineRunEnd);
  registerClassTagListener(value(1), onClassTag);
  registerFunctionListener(value(1), onFunction);
  run();
  EXPECT_EQ((std::vector<std::string>{"class:S:1", "function:f(ni):1", "function:f(ni):1", "class:C:1",
                                      "function:g(v):1", "function:g(v):1", "define-run-end"}),
            events);
}

// Symbols of every translation unit are walked: the walk runs after the last
// record file.
TEST_F(ClassFunctionListenersTest, TheWalkSeesEveryTranslationUnit) {
  registerFunctionListener(value(9), onFunction);
  handleDefineRecord("<DEFINE> f(ni) /s/a.c 2 N DF OF F X ni -");
  m_symbols.clearTranslationUnit();
  handleDefineRecord("<DEFINE> h(v) /s/b.c 2 N DF OF I X v -");
  notifyRunEndListeners(m_symbols);
  EXPECT_EQ((std::vector<std::string>{"function:f(ni):9", "function:h(v):9"}), events);
}

TEST_F(ClassFunctionListenersTest, WithoutRegistrationNothingIsCalled) {
  for (const std::string &line : program)
    handleDefineRecord(line);
  notifyRunEndListeners(m_symbols);
  setSymbolTableContext(nullptr);
  notifyClassAndFunctionListeners(); // both lists empty: no table needed
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(m_symbols.symbols().empty()) << "no DEFINE reading without a listener";
}

TEST_F(ClassFunctionListenersTest, AnExceptionOfAListenerEndsTheWalk) {
  registerFunctionListener(value(4), throwOnFunction);
  registerFunctionListener(value(4), onFunction);
  for (const std::string &line : program)
    handleDefineRecord(line);
  EXPECT_THROW(notifyRunEndListeners(m_symbols), std::runtime_error);
  EXPECT_EQ(std::vector<std::string>{"throw:f(ni):4"}, events);
}

} // namespace
