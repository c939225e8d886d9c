// A fixture for the query members over further record kinds: record files are
// read through the record-file reader with only what the test registers (a
// DEFINE end-of-run listener files the DEFINE lines), and every store of the
// readers starts empty. Walk helpers run a walk of the query interface to its
// end.
#pragma once

#include "anlsrslt/readers/LiteralRecord.h"
#include "anlsrslt/readers/RecordReaderTest.h"
#include "support/RelationStoresReset.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace test_support {

// The members of one walk of the query interface.
template <class Element> struct QueryWalk {
  bool (*atEnd)(std::int32_t);
  Element (*current)(std::int32_t);
  bool (*next)(std::int32_t);
};

// Every element of the walk with that id, in order; the walk runs to its end
// as the shipped checks run theirs.
template <class Element> std::vector<Element> walkAll(std::int32_t id, const QueryWalk<Element> &walk) {
  std::vector<Element> elements;
  while (!walk.atEnd(id)) {
    elements.push_back(walk.current(id));
    if (walk.next(id))
      break;
  }
  return elements;
}

class RecordQueriesTest : public RecordReaderTest {
protected:
  void SetUp() override {
    RecordReaderTest::SetUp();
    resetStores();
  }
  void TearDown() override {
    resetStores();
    RecordReaderTest::TearDown();
  }

private:
  static void resetStores() {
    RelationStoresReset::resetAll();
    literalRecords().clear();
  }
};

} // namespace test_support
