// The words of a source stack as one character stream, one word a line.
#pragma once

#include "cmdline/ArgsSource.h"
#include "cmdline/Product.h"
#include "cmdline/WordStreamBuffer.h"
#include "foundation/EncodingKind.h"

#include <array>
#include <cstddef>
#include <string>

// Hands out each word of the stack followed by a newline. The next word is
// taken from the stack only when the current one has been handed out
// completely, never ahead: a settings file pushed while a word is being
// parsed gives its words before any later word of the source that was read.
class C_CmdArgStreamBuffer : public C_WordStreamBuffer {
public:
  // Nested settings files allowed at one time; a file that names itself,
  // directly or through others, stops there.
  static constexpr std::size_t MaxNestedFiles = 64;

  // The stack is not owned and must outlive the buffer. The product, the
  // encoding kind and the temporary directory are those of the files that
  // the buffer pushes itself.
  C_CmdArgStreamBuffer(const C_Product &product, QL_EncodingKind kind, const std::string &tempDir,
                       C_ArgsSourceStack &stack);
  C_CmdArgStreamBuffer(const C_CmdArgStreamBuffer &) = delete;
  C_CmdArgStreamBuffer &operator=(const C_CmdArgStreamBuffer &) = delete;

  // Pushes the file at path (in the product's encoding) onto the stack, so
  // that its words come next. Throws C_ViaNestingException when MaxNestedFiles
  // pushed files are still being read.
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
  std::array<char, PutBackSize + GetSize> m_buffer{};
  std::string m_word;
  std::size_t m_wordPosition = 0;
};
