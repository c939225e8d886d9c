#include "anlsrslt/readers/AllocRecord.h"

#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/RecordFields.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "foundation/ScratchText.h"
#include "foundation/StringStore.h"

#include <cstdint>
#include <map>
#include <string_view>

namespace {

struct AllocState {
  std::vector<P_CountedPtr<P_AllocRecord>> records;
};

P_ListenerList<AllocListener> &allocListeners() {
  static P_ListenerList<AllocListener> listeners;
  return listeners;
}

std::map<std::string, P_ListenerList<AllocListener>, std::less<>> &keyedAllocListeners() {
  static std::map<std::string, P_ListenerList<AllocListener>, std::less<>> listeners;
  return listeners;
}

// The fields after the name.
struct AllocFields {
  std::string kind;
  U_RefPtr<FilenameProxy> file;
  std::int32_t line = 0;
  std::int32_t column = 0;
  bool complete = false;
};

void readAllocFields(std::string_view rest, bool withKind, AllocFields &out) {
  out = AllocFields();
  P_RecordFields fields(rest);
  if (withKind)
    fields.word(out.kind);
  fields.file(out.file).number(out.line).number(out.column);
  out.complete = fields.ok();
}

} // namespace

void handleAllocRecord(const std::string &line) {
  static P_NameToken name;
  P_RecordFields fields(line);
  fields.word(); // the tag
  fields.name(name);
  const std::string_view rest = fields.rest();
  // The record writer leaves the kind field empty for a kind without a word:
  // two blanks follow the name.
  AllocFields read;
  if (rest.starts_with("  "))
    readAllocFields(rest, false, read);
  if (!read.complete)
    readAllocFields(rest, true, read);
  const char *object = internString(name.str().c_str());
  U_releaseLongScratch(name.str());
  P_Symbol *symbol = P_findRecordSymbol(object);
  if (!symbol)
    return;
  P_CountedPtr<P_AllocRecord> record = P_makeCounted<P_AllocRecord>(
      object, allocKindFromWord(read.kind), std::move(read.file), read.line, read.column, symbol);
  allocRecords().push_back(record);
  allocListeners().notify(record.pointer());
}

AllocKind allocKindFromWord(const std::string &word) {
  if (word == "plain")
    return P_allocPlain;
  if (word == "array")
    return P_allocArray;
  if (word == "old")
    return P_allocOld;
  return P_allocOther;
}

void registerAllocListener(AllocListener listener) {
  registerRecordHandler("ALLOC", handleAllocRecord);
  allocListeners().addOnce(listener);
}

void registerAllocListener(const std::string &key, AllocListener listener) {
  registerRecordHandler("ALLOC", handleAllocRecord);
  keyedAllocListeners().try_emplace(key).first->second.addOnce(listener);
}

std::vector<P_CountedPtr<P_AllocRecord>> &allocRecords() {
  return U_singletonAfterInternPool<AllocState>().records;
}
