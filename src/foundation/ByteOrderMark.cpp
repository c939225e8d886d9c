#include "foundation/ByteOrderMark.h"

#include <QTextCodec>

#include <map>
#include <string>

namespace {

struct ByteSignature {
  const char *bytes;
  std::size_t size;
  const char *codecName;
};

// Rows in the order they are entered; a row whose codec is not available is
// left out.
const ByteSignature byteSignatures[] = {
    {"\xEF\xBB\xBF", 3, "UTF-8"},        {"\xFE\xFF", 2, "UTF-16BE"},
    {"\xFF\xFE", 2, "UTF-16LE"},         {"\x00\x00\xFE\xFF", 4, "UTF-32BE"},
    {"\xFF\xFE\x00\x00", 4, "UTF-32LE"}, {"\x84\x31\x95\x33", 4, "GB-18030"},
};

using SignatureTable = std::map<std::string, QTextCodec *>;

void registerByteOrderMarks(SignatureTable &table) {
  for (const ByteSignature &row : byteSignatures)
    if (QTextCodec *codec = QTextCodec::codecForName(row.codecName))
      table.emplace(std::string(row.bytes, row.size), codec);
}

const SignatureTable &signatureTable() {
  static const SignatureTable table = [] {
    SignatureTable built;
    registerByteOrderMarks(built);
    return built;
  }();
  return table;
}

} // namespace

QTextCodec *QL_codecForByteSignature(QTextCodec *defaultCodec, const char *bytes, std::size_t size) {
  const SignatureTable &table = signatureTable();
  for (std::size_t length : {4, 3, 2}) {
    if (size < length)
      continue;
    const auto found = table.find(std::string(bytes, length));
    if (found != table.end())
      return found->second;
  }
  return defaultCodec;
}
