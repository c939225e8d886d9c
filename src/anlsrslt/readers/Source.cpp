#include "anlsrslt/readers/Source.h"

#include "anlsrslt/model/CurrentFile.h"
#include "foundation/Assertion.h"

P_Source::P_Source(std::uint32_t fileNumber, std::uint32_t fileCount, U_RefPtr<FilenameProxy> file)
    : m_fileNumber(fileNumber), m_fileCount(fileCount), m_file(std::move(file)) {}

P_Source::~P_Source() = default;

const char *P_sourceFileName(const P_Source *src) {
  U_ASSERT(0 != src && "Dont dereference 0.");
  return P_filenameTextOf(src->file());
}

bool P_sourceIsAnalysedFile(const P_Source *src) {
  U_ASSERT(0 != src && "Dont dereference 0.");
  return P_filenameOf(src->file()).canonical() == P_currentFilenames().canonical();
}
