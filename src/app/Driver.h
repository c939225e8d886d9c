// The driver this program runs: the base driver with the run's outputs, the
// main file of the run and the report of result files that cannot be opened.
#pragma once

#include "app/DriverBase.h"

class M_Diagnostic;
class U_Location;

class P_Driver : public P_DriverBase {
public:
  P_Driver(const std::string &banner, InitFunction init);
  // A run that did not get to closing its outputs failed: they are
  // discarded, as discardRunOutputs does.
  ~P_Driver() override;

  // Mode, current argument set, input files with the main file of the run,
  // outputs, initialisation, per-file work, end-of-run listeners, closing the
  // outputs. Returns 0; every failure leaves as an exception (an output that
  // cannot be closed whole among them), and only a run that returns has
  // added to its error file.
  int run() override;
  // Reports the file as diagnostic 1540, unless it is the main file's own
  // record file beside it.
  void fileOpenFailed(const P_FileOpenException &exception) override;
  // The base work, with the metric output flushed before the last of two or
  // more files.
  void analyseFile(SymbolTable &symbols, int index, const std::vector<InputFileRecord> &files,
                   std::size_t position) override;

  // inputFiles, with the main file and the output directory of the run set;
  // in multi-file mode the cross-module analysis file comes last.
  virtual std::vector<InputFileRecord> prepareInputFiles(const U_RefPtr<C_CmdArgs> &args,
                                                         C_OrphanFileHandler &handler, P_AnalysisMode mode);
};

// Opens the message output and the metric output of the run for its main file.
void openRunOutputs(const C_CmdArgs &args);
// Closes the metric output, then the message output; an error file that
// cannot be finished throws M_BadFileOpenException, after it was put back as
// it was.
void closeRunOutputs();
// Ends the outputs of a run that fails: the metric output is closed, the
// message output discarded (an error file stays as it was, and a missing one
// is not made). A failure to close is written to standard error.
void discardRunOutputs();

// Diagnostic 1540 at the location naming the file that could not be opened.
U_RefPtr<M_Diagnostic> makeFileOpenDiagnostic(const U_Location &location, const QL_Filename &file);
