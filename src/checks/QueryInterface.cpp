#include "anlsrslt/include/QueryInterface.h"

#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/ModelLocation.h"
#include "anlsrslt/model/Symbol.h"
#include "anlsrslt/model/Template.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/Source.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "foundation/Assertion.h"
#include "foundation/EncodingKind.h"
#include "foundation/Language.h"
#include "foundation/StringStore.h"
#include "foundation/TextConversion.h"

#include <string>

namespace {

// The internal text converted for the encoding code and interned.
const char *convertedForCode(const std::string &text, int encoding) {
  QL_EncodingKind kind = eceEUC;
  if (encoding == 1)
    kind = QL_defaultEncoding();
  else if (encoding != 0)
    U_ASSERT(!"Illegal encoding specified");
  return internString(QL_fromInternal(text, kind).c_str());
}

} // namespace

const char *PI_getAnalysedFile(int encoding) {
  return convertedForCode(P_currentFilenames().canonical().str(), encoding);
}

const char *PI_getOutputPath(int encoding) { return convertedForCode(P_outputDirectory(), encoding); }

const char *PI_displayName(const char *encodedName) { return P_displayName(encodedName); }
const char *PI_encodedFormOf(const char *displayName) { return P_encodedFormOf(displayName); }
P_Define *PI_symbolDefine(const P_Symbol *symbol) { return P_symbolDefine(symbol); }

bool PI_symbolHasRedeclarations(const P_Symbol *symbol, P_Define *declaration) {
  return P_symbolHasRedeclarations(symbol, DefinePtr(declaration));
}

P_Symbol *PI_scopeDefineGroup(const P_Template *scope) {
  U_ASSERT(0 != scope && "Dont dereference 0.");
  return scope->m_primary.pointer();
}

const char *PI_locationFileName(const P_Location *location) {
  U_ASSERT(0 != location && "Dont dereference 0.");
  return P_filenameTextOf(location->m_file);
}

std::uint32_t PI_locationLine(const P_Location *location) {
  U_ASSERT(0 != location && "Dont dereference 0.");
  return static_cast<std::uint32_t>(location->m_line);
}

std::uint32_t PI_locationColumn(const P_Location *location) {
  U_ASSERT(0 != location && "Dont dereference 0.");
  return static_cast<std::uint32_t>(location->m_column);
}

const char *PI_sourceFileName(const P_Source *source) { return P_sourceFileName(source); }
bool PI_sourceIsAnalysedFile(const P_Source *source) { return P_sourceIsAnalysedFile(source); }

void PI_registerSourceListener(PI_SourceListener listener) { registerSourceListener(listener); }
void PI_registerRunEndListener(PI_RunEndListener listener) { registerRunEndListener(listener); }
void PI_registerDefineRunEndListener(PI_RunEndListener listener) { registerDefineRunEndListener(listener); }
void PI_registerNewSymbolListener(PI_DefineListener listener) { registerNewSymbolListener(listener); }
void PI_registerExistingSymbolListener(PI_DefineListener listener) {
  registerExistingSymbolListener(listener);
}
void PI_registerDefinitionListener(PI_DefineListener listener) { registerDefinitionListener(listener); }
