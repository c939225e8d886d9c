#include "app/App.h"

#include "cmdline/CmdArgs.h"

QL_App::QL_App(const char *banner) : m_banner(banner ? banner : "") {}

QL_App::~QL_App() = default;

U_RefPtr<C_CmdArgs> QL_App::cmdArgs() const { return m_cmdArgs; }

void QL_App::setCmdArgs(const U_RefPtr<C_CmdArgs> &args) { m_cmdArgs = args; }

bool QL_App::init() { return true; }

const char *QL_App::name() const { return "NOP"; }

void QL_App::usage() {}

int QL_App::successExitCode() const { return 0; }

int QL_App::systemErrorExitCode() const { return 19; }

int QL_App::userErrorExitCode() const { return 18; }

int QL_App::configurationErrorExitCode() const { return 10; }

int QL_App::configurationErrorExitCode2() const { return 10; }

int QL_App::configurationErrorExitCode3() const { return 10; }

int QL_App::allocationErrorExitCode() const { return 19; }
