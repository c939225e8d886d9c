// The metric sinks: where records of analysis results are written as lines of
// text, to the record file of the file under analysis or to standard output
// (M_MetricLYR), or nowhere (M_MetricNull). Every M_MetricLYR writes to the
// one metric stream of the process.
#pragma once

#include "foundation/Exception.h"
#include "resultfiles/MetricDescriptions.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class QL_Filename;
class U_Identifier;
class U_Location;

// A record file that cannot be opened or written: "Cannot write metric file
// for '<file>' in output directory '<directory>' (<reason>).", the reason the
// system's text of the errno, left out for 0. Both names are in the
// product's encoding.
class M_LYRCannotOpenMetricFile : public U_UserException {
public:
  M_LYRCannotOpenMetricFile(const std::string &directory, const std::string &file, int error = 0);
  M_LYRCannotOpenMetricFile(const M_LYRCannotOpenMetricFile &) = default;
  ~M_LYRCannotOpenMetricFile() override = default;
  const char *what() const noexcept override;
  std::ostream &print(std::ostream &out) const override;

  const std::string &directory() const { return m_directory; }
  const std::string &file() const { return m_file; }
  int error() const { return m_error; }

private:
  std::string m_directory;
  std::string m_file;
  int m_error;
};

// A place records go to. The open operations name the file under analysis
// (in the internal encoding); its record file is that file's name with "met"
// added, in the output directory.
class M_MetricBase {
public:
  // Writes the record file anew; "-" is standard output.
  virtual void open(const std::string &file) = 0;
  // Appends to the record file in the default output directory; "-" is
  // standard output.
  virtual void openDefault(const std::string &file) = 0;
  virtual void flush() = 0;
  virtual void close() = 0;

  // "<S>" lines: a metric of an entity, a symbol or a file, after the header
  // naming the file and the entity when they differ from the last header's.
  virtual void writeEntityMetric(const char *metric, const QL_Filename &file, const std::string &name,
                                 const std::string &value) = 0;
  virtual void writeSymbolMetric(const char *metric, const MI_Symbol &symbol, const std::string &value) = 0;
  virtual void writeFileMetric(const char *metric, const QL_Filename &file, const std::string &value) = 0;
  virtual void writeFileMetric2(const char *metric, const QL_Filename &file, const std::string &value) = 0;
  // "<R>" line, after an "<RDEF>" line at the first relation of its kind.
  virtual void writeRelation(const U_Location &location, std::uint32_t kind, const std::string &from,
                             const std::string &to, std::uint32_t flags) = 0;
  // "<EXT" line of an external of kind 1 "V", 2 "D" or 3 "N".
  virtual void writeExternal(const U_Location &location, std::uint32_t kind, const std::string &name,
                             const std::string &text) = 0;
  // "<DEFINE>" lines; kind is the define kind code's number.
  virtual void writeDefineTG(const MI_DefineTG &define, std::uint32_t kind) = 0;
  virtual void writeDefineOT(const MI_DefineName &define, std::uint32_t kind) = 0;
  virtual void writeDefineTG2(const MI_DefineName &define, std::uint32_t kind) = 0;
  virtual void writeDefineOF(const MI_DefineOF &define, std::uint32_t kind) = 0;
  virtual void writeDefineOV(const MI_DefineOV &define, std::uint32_t kind) = 0;
  virtual void writeDefineOV2(const MI_DefineOV2 &define, std::uint32_t kind) = 0;
  virtual void writeDefineOE(const MI_DefineName &define, std::uint32_t kind) = 0;
  virtual void writeDefineLB(const U_Location &location, const U_Identifier &name, std::uint32_t kind) = 0;
  virtual void writeDefineOMFunction(const U_Location &location, const U_Identifier &name,
                                     std::uint32_t kind) = 0;
  virtual void writeDefineOMObject(const U_Location &location, const U_Identifier &name,
                                   std::uint32_t kind) = 0;
  // "<CTLGN>" and "<CTLG>" lines of a control graph.
  virtual void writeControlGraphNodes(const std::vector<std::int32_t> &nodes) = 0;
  virtual void writeControlGraphEdge(std::uint32_t from, std::uint32_t to) = 0;
  virtual void writeControlGraphEntity(const MI_EntityRef &entity) = 0;
  // "<ALLOC>" line: the allocated object's text, kind 0 "plain", 1 "array",
  // 2 "old".
  virtual void writeAlloc(const MI_Text &allocated, std::uint32_t kind, const U_Location &location) = 0;
  // "<THROWS>" lines: a thrown type ("E"), a thrown text ("T"), a caught text
  // with its type ("C").
  virtual void writeThrowsE(const MI_EntityRef &entity, const MI_TypeRef &type) = 0;
  virtual void writeThrowsT(const MI_EntityRef &entity, const MI_Text &thrown) = 0;
  virtual void writeThrowsC(const MI_EntityRef &entity, const MI_Text &caught, const MI_TypeRef &type) = 0;
  virtual void writePragma(const U_Location &location, const std::string &text) = 0;
  // "<LOC>" lines.
  virtual void writeLocation(const std::string &text, const U_Location &location) = 0;
  virtual void writeLocation(const std::string &text, const QL_Filename &file) = 0;
  virtual void writeLocation(const std::string &text, const QL_Filename &file, const std::string &text2) = 0;
  virtual void writeMessage(const std::string &first, const std::string &second) = 0;
  virtual void writeLiteral(const MI_LiteralBase &literal, const MI_Text &second) = 0;

  // Does not close: whoever removes a sink closes it first.
  virtual ~M_MetricBase();
};

// Discards everything.
class M_MetricNull : public M_MetricBase {
public:
  void open(const std::string &) override {}
  void openDefault(const std::string &) override {}
  void flush() override {}
  void close() override {}
  void writeEntityMetric(const char *, const QL_Filename &, const std::string &,
                         const std::string &) override {}
  void writeSymbolMetric(const char *, const MI_Symbol &, const std::string &) override {}
  void writeFileMetric(const char *, const QL_Filename &, const std::string &) override {}
  void writeFileMetric2(const char *, const QL_Filename &, const std::string &) override {}
  void writeRelation(const U_Location &, std::uint32_t, const std::string &, const std::string &,
                     std::uint32_t) override {}
  void writeExternal(const U_Location &, std::uint32_t, const std::string &, const std::string &) override {}
  void writeDefineTG(const MI_DefineTG &, std::uint32_t) override {}
  void writeDefineOT(const MI_DefineName &, std::uint32_t) override {}
  void writeDefineTG2(const MI_DefineName &, std::uint32_t) override {}
  void writeDefineOF(const MI_DefineOF &, std::uint32_t) override {}
  void writeDefineOV(const MI_DefineOV &, std::uint32_t) override {}
  void writeDefineOV2(const MI_DefineOV2 &, std::uint32_t) override {}
  void writeDefineOE(const MI_DefineName &, std::uint32_t) override {}
  void writeDefineLB(const U_Location &, const U_Identifier &, std::uint32_t) override {}
  void writeDefineOMFunction(const U_Location &, const U_Identifier &, std::uint32_t) override {}
  void writeDefineOMObject(const U_Location &, const U_Identifier &, std::uint32_t) override {}
  void writeControlGraphNodes(const std::vector<std::int32_t> &) override {}
  void writeControlGraphEdge(std::uint32_t, std::uint32_t) override {}
  void writeControlGraphEntity(const MI_EntityRef &) override {}
  void writeAlloc(const MI_Text &, std::uint32_t, const U_Location &) override {}
  void writeThrowsE(const MI_EntityRef &, const MI_TypeRef &) override {}
  void writeThrowsT(const MI_EntityRef &, const MI_Text &) override {}
  void writeThrowsC(const MI_EntityRef &, const MI_Text &, const MI_TypeRef &) override {}
  void writePragma(const U_Location &, const std::string &) override {}
  void writeLocation(const std::string &, const U_Location &) override {}
  void writeLocation(const std::string &, const QL_Filename &) override {}
  void writeLocation(const std::string &, const QL_Filename &, const std::string &) override {}
  void writeMessage(const std::string &, const std::string &) override {}
  void writeLiteral(const MI_LiteralBase &, const MI_Text &) override {}
};

// Writes the record lines to the metric stream. Records written while the
// stream is closed (or its open failed) are dropped. Every line ends with
// "\n" and, under the debug word "always-flush", a flush. A line or flush
// that finds the stream failed, and a close whose last flush fails, raise
// M_LYRCannotOpenMetricFile for the file and directory of the open; a close
// after a failure already reported ends the file without a second report.
class M_MetricLYR : public M_MetricBase {
public:
  void open(const std::string &file) override;
  void openDefault(const std::string &file) override;
  void flush() override;
  // Ends a record file (a translated one is translated now, and failures of
  // that pass on as they are); standard output is left as it is.
  void close() override;

  void writeEntityMetric(const char *metric, const QL_Filename &file, const std::string &name,
                         const std::string &value) override;
  void writeSymbolMetric(const char *metric, const MI_Symbol &symbol, const std::string &value) override;
  void writeFileMetric(const char *metric, const QL_Filename &file, const std::string &value) override;
  void writeFileMetric2(const char *metric, const QL_Filename &file, const std::string &value) override;
  // Relation kinds outside 1 to 8 write nothing.
  void writeRelation(const U_Location &location, std::uint32_t kind, const std::string &from,
                     const std::string &to, std::uint32_t flags) override;
  void writeExternal(const U_Location &location, std::uint32_t kind, const std::string &name,
                     const std::string &text) override;
  void writeDefineTG(const MI_DefineTG &define, std::uint32_t kind) override;
  void writeDefineOT(const MI_DefineName &define, std::uint32_t kind) override;
  void writeDefineTG2(const MI_DefineName &define, std::uint32_t kind) override;
  void writeDefineOF(const MI_DefineOF &define, std::uint32_t kind) override;
  void writeDefineOV(const MI_DefineOV &define, std::uint32_t kind) override;
  void writeDefineOV2(const MI_DefineOV2 &define, std::uint32_t kind) override;
  void writeDefineOE(const MI_DefineName &define, std::uint32_t kind) override;
  void writeDefineLB(const U_Location &location, const U_Identifier &name, std::uint32_t kind) override;
  void writeDefineOMFunction(const U_Location &location, const U_Identifier &name,
                             std::uint32_t kind) override;
  void writeDefineOMObject(const U_Location &location, const U_Identifier &name, std::uint32_t kind) override;
  void writeControlGraphNodes(const std::vector<std::int32_t> &nodes) override;
  void writeControlGraphEdge(std::uint32_t from, std::uint32_t to) override;
  void writeControlGraphEntity(const MI_EntityRef &entity) override;
  void writeAlloc(const MI_Text &allocated, std::uint32_t kind, const U_Location &location) override;
  void writeThrowsE(const MI_EntityRef &entity, const MI_TypeRef &type) override;
  void writeThrowsT(const MI_EntityRef &entity, const MI_Text &thrown) override;
  void writeThrowsC(const MI_EntityRef &entity, const MI_Text &caught, const MI_TypeRef &type) override;
  void writePragma(const U_Location &location, const std::string &text) override;
  void writeLocation(const std::string &text, const U_Location &location) override;
  void writeLocation(const std::string &text, const QL_Filename &file) override;
  void writeLocation(const std::string &text, const QL_Filename &file, const std::string &text2) override;
  void writeMessage(const std::string &first, const std::string &second) override;
  void writeLiteral(const MI_LiteralBase &literal, const MI_Text &second) override;

  // Appends to the record file of the file in the directory; no "-" test.
  virtual void openAppend(const std::string &file, const std::string &directory);

private:
  // Writes the line and its end; nothing while the stream is closed.
  void writeLine(const std::string &line);
  // The "<S>" header for the file and name unless it was the last written.
  void writeSymbolHeader(const QL_Filename &file, const std::string &name);
  void writeDefine(const std::string &name, const U_Location &location, std::uint32_t kind,
                   const char *nameSpace, const char *scope, const char *linkage, const std::string &type,
                   const std::string &flags);
  // The stream has been replaced: the relation kinds and the last "<S>"
  // header start again.
  void startStream();

  // Bit (1 << kind) for each relation kind whose "<RDEF>" line this open
  // has written.
  std::uint32_t m_relationKinds = 0;
};

// The metric stream: null while closed, else standard output or the record
// file's stream.
std::ostream *M_metricStream();

// Removes the record file that the last opening of a record file made (none
// was there before it) once the stream is closed, when the file is still
// empty: a run that fails makes no new file. Nothing after an opening that
// found the file there.
void M_removeMadeRecordFile();
