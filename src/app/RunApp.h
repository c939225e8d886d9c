// The driver function of the program: from the words of the command line to
// the exit code, with every failure turned into one report on standard error.
#pragma once

#include "app/App.h"
#include "foundation/Ref.h"

#include <string>

// Runs the application over the words after the program name (the first is
// the product word) and returns the exit code.
int runApp(int count, const char *const *words, U_RefPtr<QL_App> app);

// The process's last act: ends its appends to error files, each kept when the
// exit code is 0 and put back otherwise, with every signal held from now
// until the process ends, so that the exit code and the files agree. Returns
// the exit code to end with: 18, after one line on standard error, when an
// append could not be kept (its journal could not be removed, so it is taken
// back) or could not be put back. A run that ends with any other code than 0
// also removes the record file that it made, when that is still empty.
int finishRun(int exitCode);

// Writes the banner to standard output unless a banner was written already.
void printBannerOnce(const std::string &banner);
// printBannerOnce when a word after the product word begins with "-ver" in
// any letter case.
void printBannerOnVersionArg(int count, const char *const *words, const std::string &banner);
// The banner (once) and the help text on standard output.
void printHelp(const std::string &banner);

// Lets the next banner be written again; for tests.
void resetBannerWritten();
