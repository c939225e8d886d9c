// The application frame: the banner, the argument set of the run and the exit
// codes, with the work of the run left to a derived application.
#pragma once

#include "foundation/Ref.h"

#include <string>

class C_CmdArgs;
class C_OrphanHandler;

class QL_App : public U_Ref {
public:
  explicit QL_App(const char *banner);
  QL_App(const QL_App &) = delete;
  QL_App &operator=(const QL_App &) = delete;
  ~QL_App() override;

  const std::string &banner() const { return m_banner; }
  // The argument set of the run; null until runApp sets it.
  U_RefPtr<C_CmdArgs> cmdArgs() const;
  // The new set gains its reference before the old one loses its own.
  void setCmdArgs(const U_RefPtr<C_CmdArgs> &args);

  // Called once before anything else; the result is not used.
  virtual bool init();
  // The work of the run; returns the exit code.
  virtual int run() = 0;
  // Receives the command-line words that are not options.
  virtual C_OrphanHandler &orphanHandler() = 0;
  virtual const char *name() const;
  // Writes the usage text; the frame has none.
  virtual void usage();

  virtual int successExitCode() const;
  virtual int systemErrorExitCode() const;
  virtual int userErrorExitCode() const;
  virtual int configurationErrorExitCode() const;
  virtual int configurationErrorExitCode2() const;
  virtual int configurationErrorExitCode3() const;
  virtual int allocationErrorExitCode() const;

private:
  std::string m_banner;
  U_RefPtr<C_CmdArgs> m_cmdArgs;
};
