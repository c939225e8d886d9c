#include "foundation/FileOutTranslator.h"

#include "foundation/Destination.h"
#include "foundation/Language.h"
#include "foundation/Source.h"
#include "foundation/TempFileName.h"
#include "foundation/TranslateException.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace {

bool needsNoConversion(QL_EncodingKind kind) { return kind == eceNone || kind == eceEUC; }

QL_TranslateException cannotWrite(const std::string &path) {
  return QL_TranslateException("Cannot write file: '" + path + "'.");
}

} // namespace

QL_FileOutTranslator::QL_FileOutTranslator(QL_EncodingKind kind, const std::string &tempDir, bool append)
    : m_append(append), m_tempDir(tempDir) {
  m_kind.kind = kind;
}

QL_FileOutTranslator::~QL_FileOutTranslator() {
  if (!m_file)
    return;
  try {
    close();
  } catch (...) {
    // A destructor cannot report; whoever wants the failure calls close.
  }
}

std::FILE *QL_FileOutTranslator::open(const std::string &path) {
  const QL_EncodingKind kind = encodingKindOf(m_kind);
  if (kind == eceInvalid)
    throw QL_InvalidEncodingException();
  m_target = CountedString(path);
  if (needsNoConversion(kind)) {
    m_temp = "";
    m_file = platform::openTextFile(path, m_append ? "a" : "w");
    return m_file;
  }
  const std::string temp = newTempFile();
  if (temp.empty())
    return nullptr;
  m_temp = CountedString(temp);
  m_file = platform::openTextFile(temp, "w");
  if (!m_file) {
    platform::removeFile(temp);
    m_temp = "";
  }
  return m_file;
}

void QL_FileOutTranslator::close() {
  // Whatever happens below, the temporary file is not taken up again.
  const std::string temp = m_temp.toStdString();
  m_temp = "";
  const std::string target = m_target.toStdString();
  if (m_file) {
    std::FILE *file = m_file;
    m_file = nullptr;
    const bool failedBefore = std::ferror(file) != 0;
    const bool closed = std::fclose(file) == 0;
    if (failedBefore || !closed)
      throw cannotWrite(temp.empty() ? target : temp);
  }
  if (temp.empty())
    return;
  if (!m_append) {
    translate(temp, target);
  } else {
    const std::string translated = newTempFile();
    if (translated.empty())
      throw QL_TranslateException("Cannot create a temporary file in: '" + m_tempDir + "'.");
    try {
      translate(temp, translated);
      appendFile(target, translated);
    } catch (...) {
      platform::removeFile(translated);
      throw;
    }
    platform::removeFile(translated);
  }
  platform::removeFile(temp);
}

void QL_FileOutTranslator::translate(const std::string &from, const std::string &to) {
  if (encodingKindOf(m_kind) == eceUTF) {
    if (!QL_translateFileToFile(to, eceUTF, from, QL_utfTargetEncoding()))
      throw QL_TranslateFileOpenException(from + " or " + to);
    return;
  }
  FileSource source;
  if (!source.open(CountedString(from)))
    throw QL_TranslateFileOpenException(from);
  QL_convertFile(source, from, to,
                 [this](Source &in, Destination &out) { QL_encodeFromInternal(m_kind, in, out); });
}

void QL_FileOutTranslator::appendFile(const std::string &target, const std::string &from) {
  std::FILE *in = platform::openTextFile(from, "rb");
  if (!in)
    throw QL_TranslateFileOpenException(from);
  std::FILE *out = platform::openTextFile(target, "a");
  if (!out) {
    std::fclose(in);
    throw QL_TranslateFileOpenException(target);
  }
  char block[1024];
  bool failed = false;
  while (!failed && !std::feof(in)) {
    const std::size_t n = std::fread(block, 1, sizeof block, in);
    if (n < sizeof block && std::ferror(in))
      failed = true;
    else if (n > 0 && std::fwrite(block, 1, n, out) != n)
      failed = true;
  }
  const bool readFailed = std::ferror(in) != 0;
  const bool closed = std::fclose(out) == 0;
  std::fclose(in);
  if (readFailed)
    throw QL_TranslateException("Cannot read file: '" + from + "'.");
  if (failed || !closed)
    throw cannotWrite(target);
}

std::string QL_FileOutTranslator::newTempFile() const {
  const std::string name = makeTempFileName(m_tempDir);
  return name.empty() ? name : QL_fromInternal(name);
}
