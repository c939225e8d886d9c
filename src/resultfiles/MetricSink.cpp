#include "resultfiles/MetricSink.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "foundation/TextConversion.h"
#include "foundation/TranStreambuf.h"
#include "platform/BinaryFile.h"
#include "platform/FileSystem.h"
#include "resultfiles/Identifier.h"
#include "resultfiles/MetricFilePath.h"
#include "resultfiles/RecordFileFormat.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

namespace {

// The one metric stream of the process and the names of the open that made
// it, in the product's encoding, for the error of a write that fails.
struct MetricStream {
  std::ostream *stream = nullptr;
  std::unique_ptr<otranstreambuf> buffer;
  std::unique_ptr<std::ostream> owned;
  std::string file;
  // Unset for standard output: the default output directory then.
  std::optional<std::string> directory;
  // The record file that the open made, in the platform's form; empty when
  // it was there before.
  std::string made;
};

MetricStream &metricStream() {
  static MetricStream stream;
  return stream;
}

// The file and the name of the last "<S>" header; a new stream starts with
// none (the null file and the empty name).
struct SymbolHeader {
  U_Filename file;
  std::string name;
};

SymbolHeader &lastSymbolHeader() {
  static SymbolHeader header;
  return header;
}

std::string &cannotWriteText() {
  static std::string text;
  return text;
}

std::string cannotWrite(const std::string &directory, const std::string &file, int error) {
  const std::string reason = error == 0 ? std::string() : " (" + std::string(std::strerror(error)) + ")";
  return "Cannot write metric file for '" + file + "' in output directory '" + directory + "'" + reason + ".";
}

// Raised right after the write that failed, with the errno it left (the
// writes clear errno first: 0 where the failure set none).
[[noreturn]] void throwWriteFailure() {
  const int error = errno;
  const MetricStream &stream = metricStream();
  throw M_LYRCannotOpenMetricFile(stream.directory ? *stream.directory : QL_fromInternal(outputDirectory()),
                                  stream.file, error);
}

// Drops the record file's stream, if any; its buffer ends the file, and a
// failure of that goes unseen (only the close operation reports one).
void dropStream(MetricStream &stream) {
  if (stream.owned)
    stream.owned->rdbuf(nullptr);
  stream.owned.reset();
  stream.buffer.reset();
  stream.stream = nullptr;
}

void useStandardOutput(const std::string &file) {
  MetricStream &stream = metricStream();
  dropStream(stream);
  stream.stream = &std::cout;
  stream.file = QL_fromInternal(file);
  stream.directory.reset();
  stream.made.clear();
}

// The record file of the file in the directory, written anew or appended to.
void openRecordFile(const std::string &file, const std::string &directory, bool append) {
  const std::string path = QL_fromInternal(metricFilePath(directory, file));
  const bool existed = platform::fileKind(path) != platform::FileKind::none;
  auto buffer = std::make_unique<otranstreambuf>(path, append);
  if (!buffer->isOpen())
    throw M_LYRCannotOpenMetricFile(QL_fromInternal(directory), QL_fromInternal(file), errno);
  MetricStream &stream = metricStream();
  dropStream(stream);
  stream.owned = std::make_unique<std::ostream>(buffer.get());
  stream.buffer = std::move(buffer);
  stream.stream = stream.owned.get();
  stream.file = QL_fromInternal(file);
  stream.directory = QL_fromInternal(directory);
  stream.made = existed ? std::string() : path;
}

bool isDashForStandardOutput(const std::string &file) { return QL_fromInternal(file) == "-"; }

template <class Description> std::string nameOf(const Description &description) {
  std::string name;
  description.name(name);
  return name;
}

template <class Description> std::string typeTextOf(const Description &description) {
  std::string text;
  description.typeText(text);
  return text;
}

std::string textOf(const MI_Text &description) {
  std::string text;
  description.text(text);
  return text;
}

std::string entityText(const MI_EntityRef &entity) { return entity.isSet() ? nameOf(entity) : "-"; }

std::string typeText(const MI_TypeRef &type) {
  if (type.isNone())
    return "-";
  std::string text;
  type.text(text, ";");
  return text;
}

std::string lineText(const U_Location &location) { return std::to_string(location.getLine()); }

std::string columnText(const U_Location &location) { return std::to_string(location.getColumn()); }

// The access digit of a definition's digit queries.
template <class Description> const char *accessDigitOf(const Description &description) {
  return accessDigit(
      accessCode(description.digit1(), description.digit2(), description.digit3(), description.digitPlus4()));
}

std::string defineLine(const std::string &name, const U_Location &location, std::uint32_t kind,
                       const char *nameSpace, const char *scope, const char *linkage, const std::string &type,
                       const std::string &flags) {
  return "<DEFINE> " + name + " " + metricFileText(location.getFile()) + " " + lineText(location) + " " +
         whereLetter(location) + " " + defineKindCode(kind) + " " + nameSpace + " " + scope + " " + linkage +
         " " + type + " " + (flags.empty() ? "-" : flags);
}

std::string flag(bool set, const char *letter) { return set ? letter : ""; }

} // namespace

M_LYRCannotOpenMetricFile::M_LYRCannotOpenMetricFile(const std::string &directory, const std::string &file,
                                                     int error)
    : U_UserException(cannotWrite(directory, file, error)), m_directory(directory), m_file(file),
      m_error(error) {}

const char *M_LYRCannotOpenMetricFile::what() const noexcept {
  try {
    cannotWriteText() = cannotWrite(m_directory, m_file, m_error);
  } catch (...) {
    // Without memory the text built last stands.
  }
  return cannotWriteText().c_str();
}

std::ostream &M_LYRCannotOpenMetricFile::print(std::ostream &out) const { return out << what(); }

M_MetricBase::~M_MetricBase() = default;

std::ostream *M_metricStream() { return metricStream().stream; }

void M_removeMadeRecordFile() {
  MetricStream &stream = metricStream();
  if (stream.stream || stream.made.empty())
    return;
  if (platform::regularFileSize(stream.made) == std::uint64_t{0})
    platform::removeFile(stream.made);
  stream.made.clear();
}

void M_MetricLYR::open(const std::string &file) {
  if (isDashForStandardOutput(file))
    useStandardOutput(file);
  else
    openRecordFile(file, outputDirectory(), false);
  startStream();
}

void M_MetricLYR::openDefault(const std::string &file) {
  if (isDashForStandardOutput(file))
    useStandardOutput(file);
  else
    openAppend(file, outputDirectory());
  startStream();
}

void M_MetricLYR::openAppend(const std::string &file, const std::string &directory) {
  openRecordFile(file, directory, true);
  startStream();
}

void M_MetricLYR::startStream() {
  m_relationKinds = 0;
  lastSymbolHeader() = SymbolHeader();
}

void M_MetricLYR::flush() {
  std::ostream *stream = M_metricStream();
  if (!stream)
    return;
  errno = 0;
  stream->flush();
  if (!*stream)
    throwWriteFailure();
}

void M_MetricLYR::close() {
  MetricStream &state = metricStream();
  if (!state.stream)
    return;
  if (state.stream == &std::cout) {
    state.stream = nullptr;
    return;
  }
  // Taken out first, so that the stream is closed whatever fails below.
  const std::unique_ptr<otranstreambuf> buffer = std::move(state.buffer);
  const std::unique_ptr<std::ostream> stream = std::move(state.owned);
  state.stream = nullptr;
  // A stream that failed before had its failure reported then; its file is
  // ended without a second report.
  if (stream->fail())
    return;
  errno = 0;
  stream->flush();
  const bool written = !stream->fail();
  stream->rdbuf(nullptr);
  if (!written)
    throwWriteFailure();
  buffer->close();
}

void M_MetricLYR::writeLine(const std::string &line) {
  std::ostream *stream = M_metricStream();
  if (!stream)
    return;
  errno = 0;
  *stream << line << '\n';
  static C_OnceAnswer<bool> alwaysFlush([] { return debugFlag("always-flush"); });
  if (alwaysFlush.get())
    stream->flush();
  if (!*stream)
    throwWriteFailure();
}

void M_MetricLYR::writeSymbolHeader(const QL_Filename &file, const std::string &name) {
  SymbolHeader &last = lastSymbolHeader();
  if (last.file == file.canonical() && last.name == name)
    return;
  writeLine("<S>");
  writeLine("<S>STFIL " + metricFileText(file));
  writeLine("<S>STNAM " + name);
  last = {file.canonical(), name};
}

void M_MetricLYR::writeEntityMetric(const char *metric, const QL_Filename &file, const std::string &name,
                                    const std::string &value) {
  if (!M_metricStream())
    return;
  writeSymbolHeader(file, name);
  writeLine(std::string("<S>") + metric + " " + value);
}

void M_MetricLYR::writeSymbolMetric(const char *metric, const MI_Symbol &symbol, const std::string &value) {
  if (!M_metricStream())
    return;
  const U_Location location = symbol.location();
  writeEntityMetric(metric, location.isSet() ? location.getFile() : QL_Filename(), nameOf(symbol), value);
}

void M_MetricLYR::writeFileMetric(const char *metric, const QL_Filename &file, const std::string &value) {
  if (!M_metricStream())
    return;
  writeEntityMetric(metric, file, metricFileText(file), value);
}

void M_MetricLYR::writeFileMetric2(const char *metric, const QL_Filename &file, const std::string &value) {
  writeFileMetric(metric, file, value);
}

void M_MetricLYR::writeRelation(const U_Location &location, std::uint32_t kind, const std::string &from,
                                const std::string &to, std::uint32_t flags) {
  if (!M_metricStream() || !isRelationKind(kind))
    return;
  const std::string letter = relationKindLetter(kind);
  const std::uint32_t bit = std::uint32_t{1} << kind;
  if (!(m_relationKinds & bit)) {
    m_relationKinds |= bit;
    writeLine("<RDEF> " + letter + " " + relationKindName(kind));
  }
  // Include relations relate files.
  const bool files = kind == 1;
  writeLine("<R>" + letter + " " + (files ? metricFileNameText(from) : from) + " " +
            (files ? metricFileNameText(to) : to) + " " + lineText(location) + " " +
            relationFlagText(flags, kind));
}

void M_MetricLYR::writeExternal(const U_Location &location, std::uint32_t kind, const std::string &name,
                                const std::string &text) {
  if (!M_metricStream())
    return;
  writeLine(std::string("<EXT") + externalKindLetter(kind) + "> " + name + " " +
            (kind == 1 ? text : metricFileText(location.getFile())) + " " + lineText(location));
}

void M_MetricLYR::writeDefineTG(const MI_DefineTG &define, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  std::string flags = flag(define.flagU(), "U");
  if (kind == 0)
    flags += define.flagD() ? "D" : flag(define.flagA(), "A");
  writeLine(defineLine(nameOf(define), define.location(), kind, "TG", metricScopeLetter(define.scope()), "X",
                       typeTextOf(define), flags));
}

void M_MetricLYR::writeDefineOT(const MI_DefineName &define, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  writeLine(defineLine(nameOf(define), define.location(), kind, "OT", metricScopeLetter(define.scope()), "N",
                       typeTextOf(define), flag(define.flagU(), "U")));
}

void M_MetricLYR::writeDefineTG2(const MI_DefineName &define, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  writeLine(defineLine(nameOf(define), define.location(), kind, "TG", metricScopeLetter(define.scope()), "X",
                       typeTextOf(define), flag(define.flagU(), "U")));
}

void M_MetricLYR::writeDefineOF(const MI_DefineOF &define, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  const std::string flags = flag(define.flagU(), "U") + flag(define.flagP(), "P") +
                            flag(define.flagV(), "V") + flag(define.flagS(), "S") +
                            flag(define.flagI(), "I") + (define.flagG() ? "G" : flag(define.flagT(), "T")) +
                            accessDigitOf(define);
  writeLine(defineLine(nameOf(define), define.location(), kind, "OF", metricScopeLetter(define.scope()),
                       define.linkageI() ? "I" : "X", typeTextOf(define), flags));
}

void M_MetricLYR::writeDefineOV(const MI_DefineOV &define, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  const std::uint32_t scope = define.scope();
  const char *linkage = define.linkageI() ? "I" : (define.linkageX() ? "X" : (scope == 1 ? "N" : "X"));
  const std::string flags = flag(define.flagU(), "U") + flag(define.flagS(), "S") +
                            flag(define.flagR(), "R") + accessDigitOf(define);
  writeLine(defineLine(nameOf(define), define.location(), kind, "OV", metricScopeLetter(scope), linkage,
                       typeTextOf(define), flags));
}

void M_MetricLYR::writeDefineOV2(const MI_DefineOV2 &define, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  const std::string flags = flag(define.flagS(), "S") + flag(define.flagU(), "U") + accessDigitOf(define);
  writeLine(defineLine(nameOf(define), define.location(), kind, "OV", metricScopeLetter(define.scope()), "X",
                       define.isNb() ? "nb" : "ub", flags));
}

void M_MetricLYR::writeDefineOE(const MI_DefineName &define, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  writeLine(defineLine(nameOf(define), define.location(), kind, "OE", metricScopeLetter(define.scope()), "N",
                       typeTextOf(define), flag(define.flagU(), "U")));
}

void M_MetricLYR::writeDefineLB(const U_Location &location, const U_Identifier &name, std::uint32_t kind) {
  if (!M_metricStream())
    return;
  writeLine(defineLine(name.text(), location, kind, "LB", "N", "N", "-", "-"));
}

void M_MetricLYR::writeDefineOMFunction(const U_Location &location, const U_Identifier &name,
                                        std::uint32_t kind) {
  if (!M_metricStream())
    return;
  writeLine(defineLine(name.text(), location, kind, "OM", "-", "-", "-", "F"));
}

void M_MetricLYR::writeDefineOMObject(const U_Location &location, const U_Identifier &name,
                                      std::uint32_t kind) {
  if (!M_metricStream())
    return;
  writeLine(defineLine(name.text(), location, kind, "OM", "-", "-", "-", "O"));
}

void M_MetricLYR::writeControlGraphNodes(const std::vector<std::int32_t> &nodes) {
  std::string line = "<CTLGN>";
  for (const std::int32_t node : nodes) {
    line += ' ';
    line += std::to_string(node);
  }
  writeLine(line);
}

void M_MetricLYR::writeControlGraphEdge(std::uint32_t from, std::uint32_t to) {
  writeLine("<CTLG> " + std::to_string(static_cast<std::int32_t>(from)) + " " +
            std::to_string(static_cast<std::int32_t>(to)));
}

void M_MetricLYR::writeControlGraphEntity(const MI_EntityRef &entity) {
  if (!M_metricStream())
    return;
  writeLine("<CTLG> " + entityText(entity) + " 1");
}

void M_MetricLYR::writeAlloc(const MI_Text &allocated, std::uint32_t kind, const U_Location &location) {
  if (!M_metricStream())
    return;
  writeLine("<ALLOC> " + textOf(allocated) + " " + allocationKindWord(kind) + " " +
            metricFileText(location.getFile()) + " " + lineText(location) + " " + columnText(location));
}

void M_MetricLYR::writeThrowsE(const MI_EntityRef &entity, const MI_TypeRef &type) {
  if (!M_metricStream())
    return;
  writeLine("<THROWS> " + entityText(entity) + " E " + typeText(type));
}

void M_MetricLYR::writeThrowsT(const MI_EntityRef &entity, const MI_Text &thrown) {
  if (!M_metricStream())
    return;
  writeLine("<THROWS> " + entityText(entity) + " T " + textOf(thrown));
}

void M_MetricLYR::writeThrowsC(const MI_EntityRef &entity, const MI_Text &caught, const MI_TypeRef &type) {
  if (!M_metricStream())
    return;
  writeLine("<THROWS> " + entityText(entity) + " C " + textOf(caught) + " " + typeText(type));
}

void M_MetricLYR::writePragma(const U_Location &location, const std::string &text) {
  if (!M_metricStream())
    return;
  writeLine("<PRAGMA> " + metricFileText(location.getFile()) + " " + lineText(location) + " " + text);
}

void M_MetricLYR::writeLocation(const std::string &text, const U_Location &location) {
  if (!M_metricStream())
    return;
  writeLine("<LOC> " + text + " " + metricFileText(location.getFile()) + " " + lineText(location) + " " +
            columnText(location));
}

void M_MetricLYR::writeLocation(const std::string &text, const QL_Filename &file) {
  if (!M_metricStream())
    return;
  writeLine("<LOC> " + text + " " + metricFileText(file));
}

void M_MetricLYR::writeLocation(const std::string &text, const QL_Filename &file, const std::string &text2) {
  if (!M_metricStream())
    return;
  writeLine("<LOC> " + text + " " + metricFileText(file) + " " + text2);
}

void M_MetricLYR::writeMessage(const std::string &first, const std::string &second) {
  writeLine("<MSG> " + first + " " + second);
}

void M_MetricLYR::writeLiteral(const MI_LiteralBase &literal, const MI_Text &second) {
  if (!M_metricStream())
    return;
  std::string text;
  literal.text(text);
  std::string suffix;
  literal.suffix(suffix);
  const U_Location &location = literal.location();
  writeLine("<LIT> " + text + " " + suffix + " " + literalKLetter(literal.kCode()) + " " +
            metricFileText(literal.file()) + " " + lineText(location) + " " + columnText(location) + " " +
            literal.includeLetter() + " " + literalKindText(literal.kind()) + " " + textOf(second) + " " +
            metricScopeLetter(static_cast<std::uint32_t>(literal.scope())) + " " +
            literalTypeLetter(literal.type()));
}
