// A test fixture for the re-read source text of the token checks: the
// product fixture in a language of choice, with every cache of the source
// re-scan (lines, token tables, comments, preprocessed streams, the current
// source) emptied and the punctuator table loaded afresh around each test.
#pragma once

#include "checks/CommentExtraction.h"
#include "checks/FileTokens.h"
#include "checks/PreprocessedTokens.h"
#include "checks/SourceLines.h"
#include "checks/SourceRescan.h"
#include "checks/Tokenizer.h"
#include "support/ProductFixture.h"

namespace test_support {

class SourceTextFixture : public ProductFixture {
protected:
  explicit SourceTextFixture(const char *lang) : ProductFixture(lang) {}

  void SetUp() override {
    ProductFixture::SetUp();
    reset();
  }
  void TearDown() override {
    reset();
    ProductFixture::TearDown();
  }

private:
  static void reset() {
    resetFileTokenTables();
    resetCommentCache();
    resetPreprocessedTokenCaches();
    resetSourceLineCaches();
    resetSourceRescan();
    punctuatorTable().clear();
    loadPunctuatorTable();
  }
};

} // namespace test_support
