// The analysis driver: the half of the application that does the work of a
// run, from the collected input files to the end-of-run listeners.
#pragma once

#include "app/AnalysisMode.h"
#include "app/App.h"
#include "app/InputFileRecord.h"
#include "app/OrphanFileHandler.h"

#include <cstddef>
#include <string>
#include <vector>

class P_FileOpenException;
class SymbolTable;

class P_DriverBase : public QL_App {
public:
  // The module's initialisation, called once per run.
  using InitFunction = void (*)(U_RefPtr<C_CmdArgs> &args, P_AnalysisMode &mode);

  P_DriverBase(const std::string &banner, InitFunction init);
  ~P_DriverBase() override;

  int run() override;
  C_OrphanHandler &orphanHandler() override { return m_orphanHandler; }

  // A run without outputs and without the main file of the run: mode, input
  // files, initialisation, per-file work and end-of-run listeners. Returns 0.
  virtual int runAnalysis(C_OrphanFileHandler &handler);
  virtual int runAnalysis(const U_RefPtr<C_CmdArgs> &args, C_OrphanFileHandler &handler);

  // Single file without option "crossmoduleanalysisfile", multi-file with it.
  // Throws C_ConfigurationException when the input files do not fit the mode.
  virtual P_AnalysisMode analysisMode(const U_RefPtr<C_CmdArgs> &args, C_OrphanFileHandler &handler);
  // One record per collected file, in the order first met.
  virtual std::vector<InputFileRecord> inputFiles(const U_RefPtr<C_CmdArgs> &args,
                                                  C_OrphanFileHandler &handler, P_AnalysisMode mode);
  // Receives a result file that could not be opened.
  virtual void fileOpenFailed(const P_FileOpenException &exception) = 0;
  // The work on the input file at the position; index counts from 1.
  virtual void analyseFile(SymbolTable &symbols, int index, const std::vector<InputFileRecord> &files,
                           std::size_t position);
  // The work on every input file in turn; a file whose result file cannot be
  // opened is passed to fileOpenFailed and the next one follows.
  virtual void analyseFiles(SymbolTable &symbols, std::vector<InputFileRecord> files);

protected:
  // The common end of a run: initialisation, the registration of the record
  // handlers, the work on every file and the end-of-run listeners. Returns 0.
  int analyseInputFiles(U_RefPtr<C_CmdArgs> &args, P_AnalysisMode mode,
                        const std::vector<InputFileRecord> &files);
  // Reads the record file, then the error file, of one input file.
  static void readResultFiles(SymbolTable &symbols, const InputFileRecord &record);

  InitFunction m_init;
  C_OrphanFileHandler m_orphanHandler;
};
