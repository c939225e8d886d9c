#include "anlsrslt/model/FilenameProxy.h"

#include "foundation/StringStore.h"

#include <map>

namespace {

// Every proxy of the run, keyed by canonical name (in interning order).
struct ProxyMap {
  std::map<QL_Filename, U_RefPtr<FilenameProxy>> proxies;
};

} // namespace

// The canonical text passes through the conversions of kind 2, which leave it
// as it is.
FilenameProxy::FilenameProxy(const QL_Filename &file)
    : m_file(file), m_name(internString(file.canonical().c_str())) {}

U_RefPtr<FilenameProxy> P_filenameProxyFor(const QL_Filename &file) {
  auto &proxies = U_singletonAfterInternPool<ProxyMap>().proxies;
  auto found = proxies.find(file);
  if (found != proxies.end())
    return found->second;
  U_RefPtr<FilenameProxy> proxy(new FilenameProxy(file));
  proxies.emplace(file, proxy);
  return proxy;
}

const char *P_filenameTextOf(const U_RefPtr<FilenameProxy> &proxy) {
  return proxy.isSet() ? proxy->name() : internString("");
}

QL_Filename P_filenameOf(const U_RefPtr<FilenameProxy> &proxy) {
  return proxy.isSet() ? proxy->filename() : QL_Filename();
}

bool isFilenameProxyLess(const U_RefPtr<FilenameProxy> &a, const U_RefPtr<FilenameProxy> &b) {
  if (!a.isSet() || !b.isSet())
    return !a.isSet() && b.isSet();
  return U_InternedStringOrder()(a->name(), b->name());
}
