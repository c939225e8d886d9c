#include "app/RunApp.h"

#include "app/FatalSignals.h"
#include "checks/SourceRescanExit.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Exception.h"
#include "foundation/PathText.h"
#include "platform/AppendProtocol.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/MetricSink.h"

#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

bool &bannerWritten() {
  static bool written = false;
  return written;
}

const char *const helpLines[] = {
    "Return codes: ",
    "  0  No Error",
    "  10  Configuration error - LYRBIN or LYRPPBIN not set",
    "  10  Configuration error - No source files specified",
    "  10  Configuration error - Product specified is not LYR or LYRPP",
    "  18  Output error - An error file or record file cannot be written or appended to",
    "  19  Program termination - Caught an exception",
    "",
    "Options:",
    "  <product> lyr/lyrpp",
    "  [ -op <output path> ]",
    "  <path of file analysed in primary analysis>",
    "Plus typical options, e.g.:",
    "  -via <list of settings, normally -via %P or %P+ etc...>",
    "  etc.",
    "  -help",
};

// Where the reports of unexpected failures send the user.
void writeContactLines() {
  std::cerr << "Please notify Vennacore <see the README of lyrsa_vokt for where to report problems>\n"
            << "attaching a code example that causes the problem, if possible.\n";
}

// Writes the text as one line on standard error: with a newline, unless it
// ends with one of its own.
void writeLine(const std::string &text) {
  std::cerr << text;
  if (text.empty() || text.back() != '\n')
    std::cerr << '\n';
}

int guardedRun(int count, const char *const *words, QL_App &app) {
  printBannerOnVersionArg(count, words, app.banner());
  app.init();
  installSignalHandlers(onFatalSignal);
  if (count < 1)
    throw C_ConfigurationException("ERROR: No product name specified.\n");
  const std::string productWord = U_basenameNoExtension(U_toForwardSlashes(words[0]));
  U_RefPtr<C_CmdArgs> args = new C_CmdArgs(productWord.c_str(), count - 1, words + 1);
  if (!args->product().isValid())
    throw C_ConfigurationException("ERROR: Invalid product name specified.\n");
  if (productBinDir(args->product()).empty())
    throw missingBinDirError(args->product());
  args->parseSources(app.orphanHandler());
  if (C_optVersion(*args->options()).value())
    printBannerOnce(app.banner());
  app.setCmdArgs(args);
  return app.run();
}

} // namespace

int runApp(int count, const char *const *words, U_RefPtr<QL_App> app) {
  int exitCode;
  try {
    exitCode = guardedRun(count, words, *app);
  } catch (const P_SourceRescanExit &exception) {
    std::cerr << exception.what();
    exitCode = app->configurationErrorExitCode();
  } catch (const C_ConfigurationException &exception) {
    // The usage follows on a line of its own.
    writeLine(exception.what());
    std::cerr.flush();
    app->usage();
    exitCode = exception.hasExitCode() ? exception.exitCode() : app->configurationErrorExitCode();
  } catch (const U_AssertException &) {
    exitCode = app->userErrorExitCode();
  } catch (const U_UserException &exception) {
    writeLine(exception.what());
    exitCode = app->userErrorExitCode();
  } catch (const U_Exception &exception) {
    std::cerr << "An internal exception occured: " << exception.what() << "\n";
    exitCode = app->userErrorExitCode();
  } catch (const std::bad_alloc &exception) {
    std::cerr << "A system allocation exception (: " << exception.what() << ") was detected.\n";
    writeContactLines();
    exitCode = app->allocationErrorExitCode();
  } catch (const std::exception &exception) {
    std::cerr << "A system exception (" << exception.what() << ") was detected.\n";
    writeContactLines();
    exitCode = app->systemErrorExitCode();
  } catch (...) {
    std::cerr << "An unrecognised exception was detected.\n";
    writeContactLines();
    exitCode = app->systemErrorExitCode();
  }
  app.clear();
  return exitCode;
}

int finishRun(int exitCode) {
  std::cout.flush();
  std::cerr.flush();
  const bool keep = exitCode == 0;
  const std::vector<platform::AppendEnd> failures = platform::finishAppends(keep);
  int finalCode = exitCode;
  for (const platform::AppendEnd &end : failures) {
    using Result = platform::AppendEnd::Result;
    if (end.otherWriter)
      writeLine(platform::otherWriterLine(end));
    if (end.result == Result::cannotCut || end.result == Result::cannotSync) {
      writeLine(M_FilePutBackException(end.path, end.length, end.journal, false,
                                       end.result == Result::cannotSync ? end.error : 0)
                    .what());
      finalCode = 18;
    } else if (end.result == Result::cannotRemoveJournal) {
      // The findings are taken back out of the file, or stay where another
      // writer's bytes kept them in; the journal stays. A run that ends
      // with a failure keeps its exit code.
      using Kind = M_AppendJournalException::Kind;
      writeLine(M_AppendJournalException(end.otherWriter ? Kind::cannotRemove : Kind::cannotRemoveOwn,
                                         end.path, end.journal, end.error)
                    .what());
      if (keep)
        finalCode = 18;
    }
  }
  // A run that fails makes no new file: an empty record file that it made goes
  // as well.
  if (finalCode != 0)
    M_removeMadeRecordFile();
  std::cerr.flush();
  return finalCode;
}

void printBannerOnce(const std::string &banner) {
  if (bannerWritten())
    return;
  std::fputs(banner.c_str(), stdout);
  bannerWritten() = true;
}

void printBannerOnVersionArg(int count, const char *const *words, const std::string &banner) {
  for (int i = 1; i < count; ++i) {
    // A shorter word ends before "-ver" does and so never compares equal.
    if (words[i] && U_strnicmp(words[i], "-ver", 4) == 0)
      printBannerOnce(banner);
  }
}

void printHelp(const std::string &banner) {
  printBannerOnce(banner);
  for (const char *line : helpLines)
    std::printf("%s\n", line);
}

void resetBannerWritten() { bannerWritten() = false; }
