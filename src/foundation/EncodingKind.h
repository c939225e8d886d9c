// The text encodings the system reads and writes.
#pragma once

#include <cstdint>
#include <string>

// A 32-bit value; values outside 0 to 7 can reach the translators and are
// treated there as invalid. eceNone and eceEUC need no conversion to or from
// the internal encoding, which is EUC.
enum QL_EncodingKind : std::int32_t {
  eceInvalid = 0,
  eceNone = 1,   // bytes as they are
  eceEUC = 2,    // EUC-JP, the internal encoding
  eceSJIS = 3,   // Shift_JIS
  eceOldJIS = 4, // 7-bit JIS, kanji designated by ESC "$@"
  eceNewJIS = 5, // 7-bit JIS, kanji designated by ESC "$B"
  eceNECJIS = 6, // NEC's 7-bit JIS, kanji in by ESC "K", out by ESC "H"
  eceUTF = 7,    // UTF-8
};

// The kind's name as written above; "Unknown Endcoding Kind" for any other value.
std::string QL_encodingKindName(QL_EncodingKind kind);
