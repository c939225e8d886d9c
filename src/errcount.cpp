// lyrsa_errcount <product> <error file>...: reads error files back with the
// program's own reader, under the product's installation, and prints for each
// its name, the number of its messages and the number of its suppression
// records. A missing file has none of either; a file that cannot be read
// whole prints "unreadable" (the reader says why on standard error) and makes
// the exit code 1. Without the product's installation variable, which the
// reader needs for the names in the files, nothing is read: the variable is
// named and the exit code is 2. scripts/demo counts with it what a run
// appended to each error file.
#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "cmdline/ProductEnvironment.h"
#include "platform/FileSystem.h"
#include "resultfiles/ErrorFileInput.h"

#include <cstdio>
#include <iterator>

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fputs("usage: lyrsa_errcount <product> <error file>...\n", stderr);
    return 2;
  }
  if (lookupProduct(argv[1]) < 0) {
    std::fprintf(stderr, "lyrsa_errcount: unknown product '%s'\n", argv[1]);
    return 2;
  }
  // The reader takes its options from the current argument set: the
  // product's, without words of the command line.
  const C_CmdArgs args(argv[1], 0, nullptr);
  if (!hasProductBinDir(args.product()) || productBinDir(args.product()).empty()) {
    std::fprintf(stderr, "lyrsa_errcount: %s environment variable not found\n",
                 productBinVariableName(args.product()).c_str());
    return 2;
  }
  C_setCurrentCmdArgs(args);
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    if (platform::fileKind(argv[i]) == platform::FileKind::none) {
      std::printf("%s: 0 messages, 0 suppression records (no file)\n", argv[i]);
      continue;
    }
    const U_RefPtr<M_InputTamsel> input = M_InputTamsel::openPath(argv[i]);
    if (!input.isSet()) {
      std::printf("%s: unreadable\n", argv[i]);
      status = 1;
      continue;
    }
    std::printf("%s: %td messages, %td suppression records\n", argv[i],
                std::distance(input->diagnosticsBegin(), input->diagnosticsEnd()),
                std::distance(input->suppressionRecordsBegin(), input->suppressionRecordsEnd()));
  }
  return status;
}
