// Format strings over any bytes, rendered for one fixed diagnostic with a
// message catalogue: first with the caller's value 0, then with 2 (after the
// first call may have remembered the location).
#include "FuzzSupport.h"

#include "cmdline/CmdArgs.h"
#include "foundation/FileIdentity.h"
#include "messages/FormatString.h"
#include "messages/FormatStringLimits.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const U_RefPtr<M_Diagnostic> &fixedDiagnostic() {
  static const U_RefPtr<M_Diagnostic> diagnostic = [] {
    fuzz_support::useInstallation();
    std::ofstream(fuzz_support::workDirectory() + "/install/lyr.msg")
        << "#define severe 3 Severe\n"
           "42 severe Text %s, %2s and %3s\\tend %05d 100%%@@Second\\n%1s\n";
    C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
    const QL_Filename file("/canon/src/a.c", "src/a.c");
    U_RefPtr<M_Diagnostic> d(new M_Diagnostic(42, U_Location(file, 12, 7).withHLLoc(file, 30)));
    d->addParameter("first parameter");
    d->addParameter(std::vector<std::string>{"x", "y"});
    // The catalogue is there: its level and text are found.
    if (M_formatDiagnostic("%g %s14%t", d, 0) != "3 Text first p")
      std::abort();
    return d;
  }();
  return diagnostic;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string format(reinterpret_cast<const char *>(data), size);
  const U_RefPtr<M_Diagnostic> &diagnostic = fixedDiagnostic();
  FM_forgetPreviousLocation();
  for (std::uint32_t u : {0u, 2u}) {
    const std::string text = M_formatDiagnostic(format, diagnostic, u);
    // A result stays within the bound; an error text holds at most the format
    // or its token list.
    if (text.size() > FM_maxResultLength + 4 * size + 64)
      std::abort();
  }
  return 0;
}
