#include "anlsrslt/model/RecordTokens.h"

#include "anlsrslt/model/EncodedName.h"
#include "foundation/QuotedToken.h"
#include "foundation/ScratchText.h"
#include "foundation/StringStore.h"
#include "platform/FileSystem.h"

#include <functional>
#include <string_view>
#include <unordered_map>

namespace {

// The text and the proxy of the last file-name token that was resolved.
struct LastFilenameToken {
  std::string text;
  U_RefPtr<FilenameProxy> proxy;
};

LastFilenameToken &lastFilenameToken() {
  static LastFilenameToken last;
  return last;
}

// The proxies of the absolute file-name texts met so far, by their exact
// text: record lines name a few files over and over (an include record names
// two), and resolving a name asks the file system several times. Files do not
// move while their record files are read; a relative name depends on the
// current directory and is not kept. Bounded: emptied when full.
// Looks a text up without making a key of it.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};
using ResolvedFilenames = std::unordered_map<std::string, U_RefPtr<FilenameProxy>, TextHash, std::equal_to<>>;

ResolvedFilenames &resolvedFilenames() {
  static ResolvedFilenames resolved;
  return resolved;
}
constexpr std::size_t kMaxResolvedFilenames = 4096;
constexpr std::size_t kMaxKeptFilenameLength = 64 * 1024;

// Two texts that name one file in the same words: equal but for letter case
// where the file system ignores it.
bool sameFilenameText(std::string_view a, std::string_view b) {
  return U_compareFilenameTexts(a, b, platform::fileNamesIgnoreCase) == 0;
}

} // namespace

void P_NameToken::assign(std::string_view encoded) {
  m_text.assign(encoded);
  P_markEncodedNameInPlace(m_text);
}

std::istream &operator>>(std::istream &in, P_NameToken &token) {
  token.m_text.clear();
  in >> token.m_text;
  P_markEncodedNameInPlace(token.m_text);
  return in;
}

void P_readFilenameProxy(std::string_view token, U_RefPtr<FilenameProxy> &out) {
  const bool quoted = token.size() > 1 && token.front() == '"' && token.back() == '"';
  // The conversions of kind 2 around the path leave it as it is; fromPath
  // turns its backslashes into "/". The token is read in place, its quotes
  // dropped by narrowing it.
  const std::string_view path = quoted ? token.substr(1, token.size() - 2) : token;
  LastFilenameToken &last = lastFilenameToken();
  if (last.proxy.isSet() && sameFilenameText(path, last.text)) {
    out = last.proxy;
    return;
  }
  // A name of a length that no file system takes is neither kept here nor
  // remembered as the last one: it would only hold its room for the run.
  const bool keep = path.size() <= kMaxKeptFilenameLength;
  U_RefPtr<FilenameProxy> proxy;
  if (keep && !path.empty() && path.front() == '/') {
    auto &resolved = resolvedFilenames();
    auto found = resolved.find(path);
    if (found == resolved.end()) {
      if (resolved.size() >= kMaxResolvedFilenames)
        resolved.clear();
      found = resolved.emplace(path, P_filenameProxyFor(QL_Filename::fromPath(path))).first;
    }
    proxy = found->second;
  } else {
    proxy = P_filenameProxyFor(QL_Filename::fromPath(path));
  }
  out = proxy;
  if (keep) {
    last.proxy = proxy;
    last.text.assign(path);
  } else {
    last.proxy.reset();
    last.text = std::string();
  }
}

std::istream &operator>>(std::istream &in, U_RefPtr<FilenameProxy> &file) {
  // One buffer for every token: reading one allocates nothing once it is
  // large enough.
  static std::string token;
  in >> U_QuotedToken(token);
  P_readFilenameProxy(token, file);
  U_releaseLongScratch(token);
  return in;
}

int P_decodeRecordChar(char c) {
  switch (c) {
  case 'N':
    return 0;
  case 'B':
    return 2;
  case 'P':
    return 3;
  case 'C':
    return 4;
  case 'T':
    return 5;
  case 'R':
    return 6;
  case 'S':
    return 7;
  case '-':
    return 8;
  default:
    return 1;
  }
}
