#include "anlsrslt/readers/ExternVarRecord.h"

#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/RecordFields.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/ScratchText.h"

#include <cstdint>
#include <cstdio>

namespace {

struct ExternVarState {
  P_ExternVarRecords records;
};

bool showExtvErrors() {
  static C_OnceAnswer<bool> answer([] { return debugFlag("show-extv-errors"); });
  return answer.get();
}

} // namespace

void handleExternVarRecord(const std::string &line) {
  static P_NameToken first;
  static P_NameToken second;
  std::int32_t number = 0;
  P_RecordFields fields(line);
  fields.word(); // the tag
  fields.name(first).name(second).number(number);
  const char *firstName = internString(first.str().c_str());
  const char *secondName = internString(second.str().c_str());
  U_releaseLongScratch(first.str());
  U_releaseLongScratch(second.str());
  P_Symbol *firstSymbol = P_findRecordSymbol(firstName);
  P_Symbol *secondSymbol = P_findRecordSymbol(secondName);
  if (!firstSymbol || !secondSymbol) {
    if (showExtvErrors()) {
      std::fputs("Undefined symbol for extv record: ", stdout);
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fputc('\n', stdout);
      std::fflush(stdout);
    }
    return;
  }
  externVarRecords().emplace(
      secondName, P_makeCounted<P_ExternVarRecord>(firstName, secondName, number, firstSymbol, secondSymbol));
}

void registerExternVarHandler() { registerRecordHandler("EXTV", handleExternVarRecord); }

P_ExternVarRecords &externVarRecords() { return U_singletonAfterInternPool<ExternVarState>().records; }
