// The one process-wide output sink through which every final diagnostic
// leaves the system, and the choice of its kind from the "debug" words.
#pragma once

#include "foundation/Ref.h"

class C_CmdArgs;
class M_Diagnostic;

// The message output kind that the "debug" words of the argument set choose:
// "simpleoutput" 0; "textoutput" or "formatoutput" 1; "lyroutput" 2; else 3.
int messageOutputKind(const C_CmdArgs &args);
// The metric output kind: "null_metric_output" 4; "simpleoutput" 2;
// "textoutput" or "formatoutput" 1; else 0.
int metricOutputKind(const C_CmdArgs &args);

// Installs the sink of the kind, closing and removing any sink installed
// before. Until the error-file and formatted sinks exist every kind prints
// each diagnostic as its one text line on standard output.
void M_installOutput(int kind);

// Hands one final diagnostic to the installed sink. Without a sink it reports
// the misuse on standard error and throws the integer 17.
void M_sendMessage(const U_RefPtr<M_Diagnostic> &diagnostic);

// Closes and removes the installed sink; nothing when none is installed.
void M_closeOutput();

// The kind of the sink installed last (0 before any); closing leaves it.
int M_outputKind();
