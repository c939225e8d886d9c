#include "foundation/EncodingKind.h"

std::string QL_encodingKindName(QL_EncodingKind kind) {
  static const char *const names[] = {"eceInvalid", "eceNone",   "eceEUC",    "eceSJIS",
                                      "eceOldJIS",  "eceNewJIS", "eceNECJIS", "eceUTF"};
  if (kind < eceInvalid || kind > eceUTF)
    return "Unknown Endcoding Kind";
  return names[kind];
}
