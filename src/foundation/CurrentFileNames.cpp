#include "foundation/CurrentFileNames.h"

#include "anlsrslt/model/CurrentFile.h"
#include "foundation/Language.h"
#include "foundation/StringStore.h"
#include "foundation/TextConversion.h"

namespace {

const char *pooledAs(const std::string &text, QL_EncodingKind kind) {
  return internString(QL_fromInternal(text, kind).c_str());
}

} // namespace

const char *P_currentCanonicalFileNameAs(QL_EncodingKind kind) {
  return pooledAs(P_currentFilenames().canonical().str(), kind);
}

const char *P_currentCanonicalFileName() { return P_currentCanonicalFileNameAs(QL_defaultEncoding()); }

const char *P_outputDirectoryNameAs(QL_EncodingKind kind) { return pooledAs(P_outputDirectory(), kind); }

const char *P_outputDirectoryName() { return P_outputDirectoryNameAs(QL_defaultEncoding()); }
