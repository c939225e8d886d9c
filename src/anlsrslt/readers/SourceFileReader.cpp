#include "anlsrslt/readers/SourceFileReader.h"

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/Source.h"
#include "cmdline/Options.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/FileIdentity.h"
#include "foundation/PlatformName.h"
#include "foundation/TagLineIterator.h"
#include "platform/TextFile.h"
#include "resultfiles/MetricFilePath.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace {

P_ListenerList<P_SourceListener> &sourceListeners() {
  static P_ListenerList<P_SourceListener> listeners;
  return listeners;
}

P_ListenerList<P_SourceCallback> &sourceCallbacks() {
  static P_ListenerList<P_SourceCallback> callbacks;
  return callbacks;
}

// Every source made while per-source listeners exist, kept until the process
// ends: a listener may hold on to the pointer it was given.
std::vector<U_RefPtr<P_Source>> &sourceList() {
  static std::vector<U_RefPtr<P_Source>> sources;
  return sources;
}

struct CloseFile {
  void operator()(std::FILE *file) const { std::fclose(file); }
};

// The source log: open exactly while it is switched on.
std::unique_ptr<std::FILE, CloseFile> &sourceLog() {
  static std::unique_ptr<std::FILE, CloseFile> log;
  return log;
}

// The handlers of each tag, found by the tag's text.
std::map<std::string, P_ListenerList<P_RecordHandler>, std::less<>> &recordHandlerRegistry() {
  static std::map<std::string, P_ListenerList<P_RecordHandler>, std::less<>> registry;
  return registry;
}

P_ListenerList<P_RunEndListener> &runEndListeners() {
  static P_ListenerList<P_RunEndListener> listeners;
  return listeners;
}

// Where the record being handled stands.
struct RecordPosition {
  std::string file;
  std::size_t line = 0;
};

RecordPosition &recordPosition() {
  static RecordPosition position;
  return position;
}

// Sets the record file being read for the life of the scope.
class ReadingRecordFile {
public:
  explicit ReadingRecordFile(const std::string &path) { recordPosition().file = path; }
  ~ReadingRecordFile() {
    recordPosition().file.clear();
    recordPosition().line = 0;
  }
  ReadingRecordFile(const ReadingRecordFile &) = delete;
  ReadingRecordFile &operator=(const ReadingRecordFile &) = delete;
};

constexpr std::string_view logFilePrefix = "log-file=";

// The log file named by the first debug value that begins with "log-file=";
// none when there is no such value.
const std::string *logFileValue() {
  for (const std::string &value : C_optDebug())
    if (value.compare(0, logFilePrefix.size(), logFilePrefix) == 0)
      return &value;
  return nullptr;
}

} // namespace

void registerSourceListener(P_SourceListener listener) { sourceListeners().addOnce(listener); }

void registerSourceCallback(P_SourceCallback callback) { sourceCallbacks().addOnce(callback); }

void notifySourceCallbacks() { sourceCallbacks().notify(); }

void initSourceLog() {
  sourceLog().reset();
  if (!debugFlag("log"))
    return;
  const std::string *value = logFileValue();
  if (!value)
    return;
  sourceLog().reset(platform::openTextFile(nameForPlatform(value->substr(logFilePrefix.size())), "w"));
}

void closeSourceLog() { sourceLog().reset(); }

int addSourceFile(std::uint32_t number, std::uint32_t count, const QL_Filename &file) {
  U_RefPtr<P_Source> source(new P_Source(number, count, P_filenameProxyFor(file)));
  if (std::FILE *log = sourceLog().get()) {
    std::fprintf(log, "File: %u/%u Name: %s\n", number, count, P_sourceFileName(source.pointer()));
    std::fflush(log);
  }
  if (sourceListeners().empty())
    return 2;
  sourceList().push_back(source);
  sourceListeners().notify(static_cast<const P_Source *>(source.pointer()));
  return 0;
}

void registerRecordHandler(const char *tag, P_RecordHandler handler) {
  auto &registry = recordHandlerRegistry();
  auto found = registry.find(std::string_view(tag));
  if (found == registry.end())
    found = registry.try_emplace(tag).first;
  found->second.addOnce(handler);
}

int readMetricFile(const QL_Filename &outputDirectory, const QL_Filename &file, SymbolTable &symbols) {
  const std::string path =
      metricFilePath(filenameText(outputDirectory.canonical()), filenameText(file.canonical()));
  TagLineIterator records;
  if (!records.open(path))
    throw P_FileOpenException(QL_Filename::fromPath(path));
  setSymbolTableContext(&symbols);
  symbols.clearTranslationUnit();
  const ReadingRecordFile reading(path);
  auto &registry = recordHandlerRegistry();
  for (const TagLineIterator end; records != end; ++records) {
    auto found = registry.find(records.m_current.m_tag);
    if (found == registry.end())
      continue;
    recordPosition().line = records.lineNumber();
    found->second.notify(records.m_current.m_line);
  }
  return 0;
}

const std::string &P_currentRecordFile() { return recordPosition().file; }

std::size_t P_currentRecordLine() { return recordPosition().line; }

void P_reportSkippedRecord(const char *tag) {
  std::fprintf(stdout, "%s:%zu: malformed %s record skipped\n", recordPosition().file.c_str(),
               recordPosition().line, tag);
  std::fflush(stdout);
}

void registerRunEndListener(P_RunEndListener listener) { runEndListeners().addOnce(listener); }

bool isRunEndListener(P_RunEndListener listener) { return runEndListeners().contains(listener); }

void notifyRunEndListeners(SymbolTable &symbols) {
  setSymbolTableContext(&symbols);
  P_ListenerList<P_RunEndListener> &listeners = runEndListeners();
  listeners.notifyIf([](P_RunEndListener listener) { return listener != notifyDefineRunEndListeners; });
  if (listeners.contains(notifyDefineRunEndListeners))
    notifyDefineRunEndListeners();
}
