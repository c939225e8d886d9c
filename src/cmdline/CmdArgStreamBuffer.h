// The words of a source stack as one character stream, one word a line.
#pragma once

#include "cmdline/ArgsSource.h"
#include "cmdline/Product.h"
#include "cmdline/WordStreamBuffer.h"
#include "foundation/EncodingKind.h"

#include <array>
#include <cstddef>
#include <set>
#include <string>

// Hands out each word of the stack followed by a newline. The next word is
// taken from the stack only when the current one has been handed out
// completely, never ahead: a settings file pushed while a word is being
// parsed gives its words before any later word of the source that was read.
class C_CmdArgStreamBuffer : public C_WordStreamBuffer {
public:
  // Nested settings files allowed at one time.
  static constexpr std::size_t MaxNestedFiles = 64;
  // Settings files read in all, so that files that name each other more than
  // once cannot multiply the work.
  static constexpr std::size_t MaxSettingsFiles = 4096;

  // The stack is not owned and must outlive the buffer. The product, the
  // encoding kind and the temporary directory are those of the files that
  // the buffer pushes itself.
  C_CmdArgStreamBuffer(const C_Product &product, QL_EncodingKind kind, const std::string &tempDir,
                       C_ArgsSourceStack &stack);
  C_CmdArgStreamBuffer(const C_CmdArgStreamBuffer &) = delete;
  C_CmdArgStreamBuffer &operator=(const C_CmdArgStreamBuffer &) = delete;

  // Pushes the file at path (in the product's encoding) onto the stack, so
  // that its words come next. A file that is being read already (one that
  // names itself, directly or through others) is not pushed, nor any file
  // while MaxNestedFiles pushed files are being read or once MaxSettingsFiles
  // were pushed: the first such refusal of a file throws
  // C_ViaNestingException, later ones of the same file are silent.
  void pushFile(const std::string &path) override;

protected:
  int_type underflow() override;

private:
  static constexpr std::size_t PutBackSize = 4;
  static constexpr std::size_t GetSize = 6;

  C_Product m_product;
  QL_EncodingKind m_encodingKind;
  std::string m_tempDir;
  C_ArgsSourceStack *m_stack;
  std::size_t m_baseSources;
  std::size_t m_pushedFiles = 0;
  std::set<std::string> m_refusedFiles; // by C_FileSource::fileName
  std::array<char, PutBackSize + GetSize> m_buffer{};
  std::string m_word;
  std::size_t m_wordPosition = 0;
};
