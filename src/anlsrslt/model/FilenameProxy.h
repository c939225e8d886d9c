// The one model object of each file: every model record refers to its file
// through a handle of the file's proxy, whose interned name text is stable for
// the whole run.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Ref.h"

// The proxy of one file identity. Proxies are made only by
// P_filenameProxyFor, which keeps every one of them until the process ends,
// so a proxy's address and its name pointer identify the file for the run.
class FilenameProxy : public U_Ref {
public:
  // Copies the identity; the name is the interned text of its canonical name.
  explicit FilenameProxy(const QL_Filename &file);
  ~FilenameProxy() override = default;

  // The interned canonical name (absolute, forward slashes).
  const char *name() const { return m_name; }
  // The identity the proxy was made for.
  const QL_Filename &filename() const { return m_file; }

private:
  QL_Filename m_file;
  const char *m_name;
};

// The one proxy of the identity's canonical name, made on first use; never
// unset. Identities with the same canonical name share it, whatever name they
// were given.
U_RefPtr<FilenameProxy> P_filenameProxyFor(const QL_Filename &file);

// The name of the handle's proxy; the interned empty text for an unset handle.
const char *P_filenameTextOf(const U_RefPtr<FilenameProxy> &proxy);
// A copy of the identity of the handle's proxy; no identity for an unset one.
QL_Filename P_filenameOf(const U_RefPtr<FilenameProxy> &proxy);

// Orders proxies by their names in the order the names were first interned,
// the same order in every run (not the order of the texts); unset handles
// come first.
bool isFilenameProxyLess(const U_RefPtr<FilenameProxy> &a, const U_RefPtr<FilenameProxy> &b);
