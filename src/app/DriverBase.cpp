#include "app/DriverBase.h"

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/ErrorFileReader.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "anlsrslt/suppression/PragmaSuppression.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "foundation/IncludeSiteMap.h"

P_DriverBase::P_DriverBase(const std::string &banner, InitFunction init)
    : QL_App(banner.c_str()), m_init(init) {}

P_DriverBase::~P_DriverBase() = default;

int P_DriverBase::run() { return runAnalysis(m_orphanHandler); }

int P_DriverBase::runAnalysis(C_OrphanFileHandler &handler) {
  U_RefPtr<C_CmdArgs> args = cmdArgs();
  C_setCurrentCmdArgs(*args);
  P_AnalysisMode mode = analysisMode(args, handler);
  return analyseInputFiles(args, mode, inputFiles(args, handler, mode));
}

int P_DriverBase::analyseInputFiles(U_RefPtr<C_CmdArgs> &args, P_AnalysisMode mode,
                                    const std::vector<InputFileRecord> &files) {
  m_init(args, mode);
  registerPragmaSuppressHandlers();
  registerIncludeRelationHandler();
  analyseFiles(SymbolTable::instance(), files);
  notifyRunEndListeners(SymbolTable::instance());
  return 0;
}

int P_DriverBase::runAnalysis(const U_RefPtr<C_CmdArgs> &args, C_OrphanFileHandler &handler) {
  setCmdArgs(args);
  return runAnalysis(handler);
}

P_AnalysisMode P_DriverBase::analysisMode(const U_RefPtr<C_CmdArgs> &args, C_OrphanFileHandler &handler) {
  const C_OptionFilename &crossModuleFile = C_optCrossModuleAnalysisFile(*args->options());
  if (crossModuleFile.isSet()) {
    if (handler.isEmpty())
      throw C_ConfigurationException("ERROR: Multi file analysis requires at least one input file.\n\n");
    if (crossModuleFile.getValue().empty())
      throw C_ConfigurationException("ERROR: CrossModuleAnalysisFile (cmaf) must specify a filename\n\n");
    return eamMultiFile;
  }
  if (handler.count() != 1)
    throw C_ConfigurationException("ERROR: Single file analysis must have exactly one input file.\n\n");
  return eamSingleFile;
}

std::vector<InputFileRecord> P_DriverBase::inputFiles(const U_RefPtr<C_CmdArgs> &,
                                                      C_OrphanFileHandler &handler, P_AnalysisMode) {
  std::vector<InputFileRecord> files;
  files.reserve(handler.count());
  for (const auto &entry : handler.firstSeen())
    files.emplace_back(entry->second, entry->first);
  return files;
}

void P_DriverBase::analyseFile(SymbolTable &symbols, int index, const std::vector<InputFileRecord> &files,
                               std::size_t position) {
  const InputFileRecord &record = files.at(position);
  addSourceFile(index, static_cast<std::int32_t>(files.size()), record.file);
  readResultFiles(symbols, record);
}

void P_DriverBase::readResultFiles(SymbolTable &symbols, const InputFileRecord &record) {
  const QL_Filename directory = QL_Filename::fromPath(record.outputDir);
  readMetricFile(directory, record.file, symbols);
  readErrorFile(directory, record.file);
}

void P_DriverBase::analyseFiles(SymbolTable &symbols, std::vector<InputFileRecord> files) {
  if (files.empty())
    return;
  initSourceLog();
  int index = 0;
  for (std::size_t position = 0; position < files.size(); ++position) {
    ++index;
    try {
      analyseFile(symbols, index, files, position);
    } catch (const P_FileOpenException &exception) {
      fileOpenFailed(exception);
    }
  }
  closeSourceLog();
}
