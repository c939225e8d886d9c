// The sources of option words: the command line and word files, stacked so
// that a file named on the way is read before the rest of its source.
#pragma once

#include "cmdline/LineBuffer.h"
#include "cmdline/Product.h"
#include "foundation/EncodingKind.h"
#include "foundation/FileTranslator.h"
#include "foundation/Ref.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// A producer of option words in the product's encoding.
class C_ArgsSource : public U_Ref {
public:
  explicit C_ArgsSource(const C_Product &product) : m_product(product) {}
  ~C_ArgsSource() override = default;

  // The next word; nothing once the source is exhausted. The empty word is
  // a word like any other. expand: replace "$" variables (files only).
  virtual std::optional<std::string> nextWord(bool expand) = 0;

  const C_Product &product() const { return m_product; }

private:
  C_Product m_product;
};

// The command-line words, as the process received them; never expanded.
class C_ArgvSource : public C_ArgsSource {
public:
  C_ArgvSource(const C_Product &product, const std::vector<std::string> &words)
      : C_ArgsSource(product), m_words(words) {}

  std::optional<std::string> nextWord(bool expand) override;

private:
  std::vector<std::string> m_words;
  std::size_t m_position = 0;
};

// The words of a text file, read through a translator into the internal
// encoding and handed out in the file's own encoding again.
class C_FileSource : public C_ArgsSource {
public:
  // Reads on from a file that another reader opened (the handle is shared).
  C_FileSource(const C_Product &product, const QL_FileTranslatorPtr &file);
  // Opens the file at path (in the operating system's encoding) when it is a
  // readable regular file; otherwise the source has no words.
  C_FileSource(const C_Product &product, const std::string &path, QL_EncodingKind kind,
               const std::string &tempDir);
  // Closes the file (and removes a translated copy).
  ~C_FileSource() override;

  std::optional<std::string> nextWord(bool expand) override;

  bool isOpen() const { return m_file.isSet() && m_file->file() != nullptr; }

  // The name that tells files apart: the absolute form of the path, so that
  // two spellings of one name are one file. Empty for a file opened by
  // another reader.
  const std::string &fileName() const { return m_fileName; }
  static std::string fileName(const std::string &path);

private:
  QL_FileTranslatorPtr m_file;
  C_LineBuffer m_lineBuffer;
  std::string m_fileName;
};

// The sources of one parse, used as a stack: words come from the source
// pushed last, and an exhausted source is dropped.
class C_ArgsSourceStack {
public:
  explicit C_ArgsSourceStack(bool expandVariables) : m_expandVariables(expandVariables) {}

  void push(const U_RefPtr<C_ArgsSource> &source) { m_sources.push_back(source); }
  // The next word of the stack; false when every source is exhausted.
  bool nextWord(std::string &word);

  std::size_t size() const { return m_sources.size(); }
  // Whether a file source of that name (C_FileSource::fileName) is among the
  // sources still being read.
  bool isReading(const std::string &fileName) const;
  bool expandVariables() const { return m_expandVariables; }

private:
  std::deque<U_RefPtr<C_ArgsSource>> m_sources;
  bool m_expandVariables;
};
