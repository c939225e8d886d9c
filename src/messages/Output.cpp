#include "messages/Output.h"

#include "cmdline/CmdArgs.h"
#include "messages/Diagnostic.h"

#include <cstdio>
#include <iostream>

namespace {

struct OutputState {
  bool installed = false;
  int kind = 0;
};

OutputState &outputState() {
  static OutputState state;
  return state;
}

bool hasWord(const C_CmdArgs &args, const char *word) {
  return args.options() && C_Options::hasDebugFlag(*args.options(), word);
}

} // namespace

int messageOutputKind(const C_CmdArgs &args) {
  if (hasWord(args, "simpleoutput"))
    return 0;
  if (hasWord(args, "textoutput") || hasWord(args, "formatoutput"))
    return 1;
  if (hasWord(args, "lyroutput"))
    return 2;
  return 3;
}

int metricOutputKind(const C_CmdArgs &args) {
  if (hasWord(args, "null_metric_output"))
    return 4;
  if (hasWord(args, "simpleoutput"))
    return 2;
  if (hasWord(args, "textoutput") || hasWord(args, "formatoutput"))
    return 1;
  return 0;
}

void M_installOutput(int kind) {
  M_closeOutput();
  outputState().kind = kind;
  outputState().installed = true;
}

void M_sendMessage(const U_RefPtr<M_Diagnostic> &diagnostic) {
  if (!outputState().installed) {
    std::cerr << "M_Output:81: Cannot send information before open()." << std::endl;
    throw 17;
  }
  std::cout << diagnostic->dumpText() << std::endl;
}

void M_closeOutput() { outputState().installed = false; }

int M_outputKind() { return outputState().kind; }
