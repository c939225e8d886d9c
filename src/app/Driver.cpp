#include "app/Driver.h"

#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "checks/SourceRescanExit.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/Exception.h"
#include "foundation/Location.h"
#include "foundation/PathText.h"
#include "messages/Diagnostic.h"
#include "messages/MessageCatalogue.h"
#include "messages/Output.h"
#include "messages/OutputSelection.h"
#include "resultfiles/MetricFilePath.h"
#include "resultfiles/MetricOutput.h"

#include <iostream>

namespace {

// The message that names a result file that could not be opened.
constexpr std::uint32_t fileOpenMessage = 1540;

} // namespace

P_Driver::P_Driver(const std::string &banner, InitFunction init) : P_DriverBase(banner, init) {}

// A run that ended early leaves its outputs open.
P_Driver::~P_Driver() { discardRunOutputs(); }

int P_Driver::run() {
  U_RefPtr<C_CmdArgs> args = cmdArgs();
  P_AnalysisMode mode = analysisMode(args, m_orphanHandler);
  C_setCurrentCmdArgs(*args);
  const std::vector<InputFileRecord> files = prepareInputFiles(args, m_orphanHandler, mode);
  openRunOutputs(*args);
  int exitCode;
  try {
    exitCode = analyseInputFiles(args, mode, files);
  } catch (const P_SourceRescanExit &) {
    // The run fails: what it found so far is dropped with its outputs, so
    // that running it again after the cause is mended adds each finding once.
    discardRunOutputs();
    throw;
  }
  // Closed here, so that an output that cannot be finished fails the run.
  closeRunOutputs();
  return exitCode;
}

std::vector<InputFileRecord> P_Driver::prepareInputFiles(const U_RefPtr<C_CmdArgs> &args,
                                                         C_OrphanFileHandler &handler, P_AnalysisMode mode) {
  std::vector<InputFileRecord> files = inputFiles(args, handler, mode);
  if (mode == eamMultiFile) {
    const QL_Filename crossModuleFile =
        QL_Filename::fromPath(C_optCrossModuleAnalysisFile(*args->options()).getValue());
    P_currentFilenames() = crossModuleFile;
    P_outputDirectory() = QL_dirname(filenameText(crossModuleFile.canonical()));
    files.emplace_back(P_outputDirectory(), crossModuleFile);
  } else if (!files.empty()) {
    P_currentFilenames() = files.front().file;
    P_outputDirectory() = files.front().outputDir;
  }
  return files;
}

void openRunOutputs(const C_CmdArgs &args) {
  const std::string mainFile = filenameText(P_currentFilenames().canonical());
  // The catalogue is read first, so that message files that cannot be read
  // are reported by every run, not only by one that happens to look a message
  // up, and before any output file is touched.
  messageCatalogue();
  selectOutput(mainFile, P_outputDirectory(), messageOutputKind(args));
  openMetricOutput(mainFile, P_outputDirectory(), metricOutputKind(args));
}

void closeRunOutputs() {
  closeMetricOutput();
  M_closeOutput();
}

void discardRunOutputs() {
  try {
    closeMetricOutput();
  } catch (const U_UserException &exception) {
    // Closing cannot change how the run ends any more, but a failure still
    // gets its line.
    std::cerr << exception.what() << "\n";
  }
  M_discardOutput();
}

void P_Driver::analyseFile(SymbolTable &symbols, int index, const std::vector<InputFileRecord> &files,
                           std::size_t position) {
  const InputFileRecord &record = files.at(position);
  addSourceFile(index, static_cast<std::int32_t>(files.size()), record.file);
  // In multi-file mode the last file is the cross-module analysis file, whose
  // record file the metric output appends to.
  if (files.size() > 1 && position == files.size() - 1)
    flushMetricOutput();
  readResultFiles(symbols, record);
}

void P_Driver::fileOpenFailed(const P_FileOpenException &exception) {
  const QL_Filename &mainFile = P_currentFilenames();
  const std::string mainName = filenameText(mainFile.canonical());
  const QL_Filename ownRecordFile = QL_Filename::fromPath(metricFilePath(QL_dirname(mainName), mainName));
  if (exception.fileName() == ownRecordFile)
    return;
  M_sendMessage(makeFileOpenDiagnostic(U_Location(mainFile, 1, 0), exception.fileName()));
}

U_RefPtr<M_Diagnostic> makeFileOpenDiagnostic(const U_Location &location, const QL_Filename &file) {
  U_RefPtr<M_Diagnostic> diagnostic = new M_Diagnostic(fileOpenMessage, location);
  diagnostic->addParameter(file);
  return diagnostic;
}
