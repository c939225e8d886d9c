#include "anlsrslt/model/ModelDiagnostic.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/Assertion.h"
#include "foundation/IncludeSiteMap.h"
#include "messages/DiagnosticOrder.h"

#include <functional>
#include <iostream>
#include <string_view>
#include <unordered_map>

namespace {

// The proxy of a file named by its text: the text made canonical. The text is
// in the internal encoding already (a conversion from it to itself would
// leave it as it is).
U_RefPtr<FilenameProxy> proxyOfCanonicalForm(std::string_view text) {
  return P_filenameProxyFor(QL_Filename::fromPath(text));
}

bool reportDiagnosticsWithoutLocation() {
  static C_OnceAnswer<bool> answer([] { return debugFlag("always_read_errors"); });
  return answer.get();
}

} // namespace

P_Diagnostic::P_Diagnostic(const U_RefPtr<M_Diagnostic> &diagnostic) : m_diagnostic(diagnostic) {
  const U_Location &location = m_diagnostic.isSet() ? m_diagnostic->getLocation() : U_Location();
  if (location.isSet()) {
    m_filename = proxyOfCanonicalForm(location.getFile().canonical().c_str());
    return;
  }
  // Nothing to take a file from: the empty path stands in, so that the file
  // name handed out is the empty text rather than a made-up file.
  m_filename = P_filenameProxyFor(QL_Filename("", ""));
  if (reportDiagnosticsWithoutLocation())
    std::cout << "Diagnostic without location read back: Msg="
              << (m_diagnostic.isSet() ? m_diagnostic->getNumber() : 0u) << std::endl;
}

namespace {

// Looks a text up without making a key of it.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

// The proxy of the file of a diagnostic that a check creates: that of its
// name made canonical. Made once per name: the checks report many findings in
// a few files, and files do not move during a run. Bounded: emptied when full;
// a name of a length that no file system takes is not kept.
U_RefPtr<FilenameProxy> createdDiagnosticFile(std::string_view text) {
  static std::unordered_map<std::string, U_RefPtr<FilenameProxy>, TextHash, std::equal_to<>> known;
  if (const auto found = known.find(text); found != known.end())
    return found->second;
  U_RefPtr<FilenameProxy> proxy = proxyOfCanonicalForm(text);
  if (!proxy.isSet())
    assertFailed("P_Diagnostic", __LINE__, "m_filename.isSet () && \"Null string for object.\"", true);
  if (text.size() > 64 * 1024)
    return proxy;
  if (known.size() >= 4096)
    known.clear();
  known.emplace(text, proxy);
  return proxy;
}

} // namespace

P_Diagnostic::P_Diagnostic(std::uint32_t number, const char *file, std::int32_t line, std::int32_t column) {
  const std::string_view text = file ? file : "";
  const QL_Filename identity(text, text);
  m_diagnostic = new M_Diagnostic(number, makeIncludedLocation(identity, line, column));
  m_filename = createdDiagnosticFile(text);
}

bool P_diagnosticLess(const U_RefPtr<P_Diagnostic> &a, const U_RefPtr<P_Diagnostic> &b) {
  return M_compareDiagnostics(a->m_diagnostic, b->m_diagnostic) == -1;
}
