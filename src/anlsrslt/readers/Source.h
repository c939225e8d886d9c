// One analysed input file, as the per-source listeners see it.
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Ref.h"

#include <cstdint>

class P_Source : public U_Ref {
public:
  // The file's place in the run's ordered list of input files (from 1), the
  // length of that list and the proxy of the file.
  P_Source(std::uint32_t fileNumber, std::uint32_t fileCount, U_RefPtr<FilenameProxy> file);
  // A copy shares the proxy.
  P_Source(const P_Source &other) = default;
  P_Source &operator=(const P_Source &other) = default;
  ~P_Source() override;

  std::uint32_t fileNumber() const { return m_fileNumber; }
  std::uint32_t fileCount() const { return m_fileCount; }
  U_RefPtr<FilenameProxy> file() const { return m_file; }

private:
  std::uint32_t m_fileNumber;
  std::uint32_t m_fileCount;
  U_RefPtr<FilenameProxy> m_file;
};

// The interned name of the source's file. Asserts that the source is not null.
const char *P_sourceFileName(const P_Source *src);
// Whether the source's file is the file under analysis (in multi-file mode the
// cross-module analysis file). Asserts that the source is not null.
bool P_sourceIsAnalysedFile(const P_Source *src);
