// Program entry of lyrsa_vokt: answers a version request at once, otherwise
// runs the analysis application over the command line.
#include "app/Driver.h"
#include "app/RunApp.h"
#include "checks/PostAnalysis.h"
#include "checks/TextHelpers.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"
#include "platform/AppendProtocol.h"
#include "platform/Signals.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

std::string bannerText() {
  return std::string("LX lyrsa_vokt Secondary Analysis 1.7_x64 build 17 May  8 2013 for ") +
         platform::buildPlatformName() +
         "\n"
         "Copyright (C) Vennacore. All rights reserved.\n";
}

// The application of this program: help, or the analysis of the input files.
class ORNApp : public P_Driver {
public:
  ORNApp(const std::string &banner, InitFunction init) : P_Driver(banner, init) {}
  ~ORNApp() override = default;

  int run() override {
    U_RefPtr<C_CmdArgs> args = cmdArgs();
    if (C_optHelp(*args->options()).value()) {
      printHelp(banner());
      usage();
      return 0;
    }
    return P_Driver::run();
  }

  void usage() override { std::cerr << "usage: \n lyrsa_vokt <product> <options> <file>\n"; }
};

} // namespace

int main(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    if (toLowerCopy(argv[i]) == "-ver") {
      std::fputs("lyrsa_vokt version 1.7_x64 build 17\n", stdout);
      std::exit(0);
    }
  }
  // What a run appends to error files is kept only as the run's last act,
  // once its exit code is known.
  platform::commitAppendsAtExit();
  U_RefPtr<QL_App> app = new ORNApp(bannerText(), initComplianceChecks);
  return finishRun(runApp(argc - 1, argv + 1, app));
}
