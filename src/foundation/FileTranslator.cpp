#include "foundation/FileTranslator.h"

#include "foundation/CountedString.h"
#include "foundation/Destination.h"
#include "foundation/JapaneseConverters.h"
#include "foundation/Language.h"
#include "foundation/Source.h"
#include "foundation/TempFileName.h"
#include "foundation/TranslateException.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

QL_FileTranslator::QL_FileTranslator(QL_EncodingKind kind, const std::string &tempDir) : m_tempDir(tempDir) {
  m_kind.kind = kind;
}

QL_FileTranslator::~QL_FileTranslator() { close(); }

std::FILE *QL_FileTranslator::open(const std::string &path, bool binary) {
  const char *mode = binary ? "rb" : "r";
  switch (encodingKindOf(m_kind)) {
  case eceInvalid:
    throw QL_InvalidEncodingException();
  case eceNone:
  case eceEUC:
    m_file = platform::openTextFile(path, mode);
    m_path = path;
    m_isTemporary = false;
    return m_file;
  case eceUTF:
    return openUtf(path, mode);
  default:
    return openByteConverted(path, mode);
  }
}

std::FILE *QL_FileTranslator::openUtf(const std::string &path, const char *mode) {
  m_path = QL_fromInternal(makeTempFileName(m_tempDir));
  m_isTemporary = true;
  bool translated = false;
  try {
    translated = QL_translateFileToFile(m_path, QL_utfTargetEncoding(), path, eceUTF);
  } catch (...) {
    discardCopy();
    throw;
  }
  if (!translated) {
    discardCopy();
    return nullptr;
  }
  return openCopy(mode);
}

std::FILE *QL_FileTranslator::openByteConverted(const std::string &path, const char *mode) {
  FileSource source;
  if (!source.open(CountedString(path)))
    return nullptr;
  m_path = QL_fromInternal(makeTempFileName(m_tempDir));
  m_isTemporary = true;
  try {
    QL_convertFile(source, path, m_path,
                   [this](Source &in, Destination &out) { translateToInternal(in, out); });
  } catch (...) {
    discardCopy();
    throw;
  }
  return openCopy(mode);
}

std::FILE *QL_FileTranslator::openCopy(const char *mode) {
  m_file = platform::openTextFile(m_path, mode);
  if (!m_file) {
    const std::string name = m_path;
    discardCopy();
    throw QL_TranslateFileOpenException(name);
  }
  return m_file;
}

void QL_FileTranslator::discardCopy() {
  if (m_isTemporary && !m_path.empty())
    platform::removeFile(m_path);
  m_isTemporary = false;
  m_path.clear();
}

void QL_FileTranslator::close() {
  if (m_file) {
    std::fclose(m_file);
    m_file = nullptr;
  }
  if (m_isTemporary)
    discardCopy();
}

void QL_FileTranslator::translateToInternal(Source &source, Destination &destination) {
  switch (encodingKindOf(m_kind)) {
  case eceSJIS:
    QL_sjisToEuc(source, destination);
    break;
  case eceOldJIS:
  case eceNewJIS:
  case eceNECJIS:
    QL_jisToEuc(source, destination);
    break;
  default:
    throw QL_InvalidEncodingException();
  }
}

QL_FileTranslatorPtr::QL_FileTranslatorPtr(QL_FileTranslator *translator)
    : m_block(translator ? new Block{translator, 1} : nullptr) {}

QL_FileTranslatorPtr::QL_FileTranslatorPtr(const QL_FileTranslatorPtr &other) : m_block(other.m_block) {
  if (m_block)
    ++m_block->count;
}

QL_FileTranslatorPtr &QL_FileTranslatorPtr::operator=(const QL_FileTranslatorPtr &other) {
  if (other.m_block == m_block)
    return *this;
  if (other.m_block)
    ++other.m_block->count;
  release();
  m_block = other.m_block;
  return *this;
}

QL_FileTranslatorPtr::~QL_FileTranslatorPtr() { release(); }

void QL_FileTranslatorPtr::release() {
  if (m_block && --m_block->count == 0) {
    delete m_block->translator;
    delete m_block;
  }
  m_block = nullptr;
}
