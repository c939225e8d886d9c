#include "foundation/ByteOrderMark.h"

#include "foundation/ByteSignatureTable.h"

#include <QTextCodec>

#include <string_view>

namespace {

struct ByteSignature {
  std::string_view bytes;
  const char *codecName;
};

// Rows in the order they are entered.
constexpr ByteSignature byteSignatures[] = {
    {{"\xEF\xBB\xBF", 3}, "UTF-8"},        {{"\xFE\xFF", 2}, "UTF-16BE"},
    {{"\xFF\xFE", 2}, "UTF-16LE"},         {{"\x00\x00\xFE\xFF", 4}, "UTF-32BE"},
    {{"\xFF\xFE\x00\x00", 4}, "UTF-32LE"}, {{"\x84\x31\x95\x33", 4}, "GB-18030"},
};

// Enters every row whose codec is available.
void registerByteOrderMarks(QL_ByteSignatureTable &table) {
  for (const ByteSignature &row : byteSignatures)
    if (QTextCodec *codec = QTextCodec::codecForName(row.codecName))
      table.add(row.bytes, codec);
}

// The one table of the process, built on first use.
QL_ByteSignatureTable &signatureTable() {
  struct Registered {
    Registered() { registerByteOrderMarks(table); }
    QL_ByteSignatureTable table;
  };
  static Registered registered;
  return registered.table;
}

} // namespace

QTextCodec *QL_codecForByteSignature(QTextCodec *defaultCodec, const char *bytes, std::size_t size) {
  QTextCodec *found = signatureTable().lookup(std::string_view(bytes, size));
  return found ? found : defaultCodec;
}
