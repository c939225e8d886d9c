#include "cmdline/ArgsSource.h"

#include "foundation/FileSystem.h"
#include "foundation/TextConversion.h"

std::optional<std::string> C_ArgvSource::nextWord(bool) {
  if (m_position >= m_words.size())
    return std::nullopt;
  return m_words[m_position++];
}

C_FileSource::C_FileSource(const C_Product &product, const QL_FileTranslatorPtr &file)
    : C_ArgsSource(product), m_file(file) {}

C_FileSource::C_FileSource(const C_Product &product, const std::string &path, QL_EncodingKind kind,
                           const std::string &tempDir)
    : C_ArgsSource(product), m_fileName(fileName(path)) {
  if (!U_isReadable(path) || !U_isRegularFile(path))
    return;
  m_file = QL_FileTranslatorPtr(new QL_FileTranslator(kind, tempDir));
  m_file->open(path, false);
}

C_FileSource::~C_FileSource() {
  if (m_file.isSet())
    m_file->close();
}

std::optional<std::string> C_FileSource::nextWord(bool expand) {
  if (!isOpen())
    return std::nullopt;
  std::optional<std::string> word = m_lineBuffer.readWord(m_file->file(), expand);
  if (!word || word->empty())
    return word;
  // Words reach the parser in the same encoding as command-line words.
  return QL_fromInternal(std::move(*word), product(), encodingKindOf(m_file->encoding()));
}

std::string C_FileSource::fileName(const std::string &path) { return U_absolutePath(path); }

bool C_ArgsSourceStack::isReading(const std::string &fileName) const {
  for (const U_RefPtr<C_ArgsSource> &source : m_sources) {
    const auto *file = dynamic_cast<const C_FileSource *>(source.pointer());
    if (file && !file->fileName().empty() && file->fileName() == fileName)
      return true;
  }
  return false;
}

bool C_ArgsSourceStack::nextWord(std::string &word) {
  while (!m_sources.empty()) {
    if (std::optional<std::string> next = m_sources.back()->nextWord(m_expandVariables)) {
      word = std::move(*next);
      return true;
    }
    m_sources.pop_back();
  }
  return false;
}
