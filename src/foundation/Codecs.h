// The text codecs of the encoding kinds, and the preparation of the codec
// library before its first use.
#pragma once

#include "foundation/EncodingKind.h"

class C_Product;
class QTextCodec;

// Names of the codecs the system uses.
inline constexpr const char *QL_eucCodecName = "EUC-JP";
inline constexpr const char *QL_sjisCodecName = "Shift_JIS";
inline constexpr const char *QL_utf8CodecName = "UTF-8";

// The codec of a kind: EUC-JP for eceEUC, Shift_JIS for eceSJIS, UTF-8 for
// eceUTF; null for every other kind (bytes then pass unchanged).
QTextCodec *QL_codecForKind(QL_EncodingKind kind);

// Hands the codec library its plug-in directories (the program's directory,
// the product's installation directory, the library's own plug-in path and
// TOLV_QTDIR's "plugins") and sets UNICODEMAP_JP to "open-ms". True when the
// codecs of EUC-JP, Shift_JIS and UTF-8 are all available. Done once per
// process unless NO_LANG_CACHE is set; later calls give the first result.
bool loadCodecPlugins(const C_Product &product);

// For tests: makes the next loadCodecPlugins do its work again.
void QL_resetCodecPlugins();
