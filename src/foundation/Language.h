// The product's language and what it selects: the codec name and encoding
// kind of a language or locale name, and the locale name of the process.
#pragma once

#include "foundation/EncodingKind.h"

#include <string>

class C_Product;

// The language of the product: key "ZUT_LANG" in section "Japanese" of the
// product's ini file in its installation directory, else LANG, else
// "default". Worked out once per process unless NO_LANG_CACHE is set.
std::string QL_productLanguage(const C_Product &product);

// The locale name (language and country, such as ja_JP) of LANG, or of the
// system when LANG is not set; it picks language-dependent files. Cached as
// the product language is.
std::string QL_localeName();

// The codec name of a language or locale name: from the table of known names,
// else by the name's encoding part; a name the rules do not know stands for
// itself. Every name looked up joins the table.
std::string QL_codecNameOfLocale(const std::string &name);

// The encoding kind of a language or locale name; eceNone unless its codec
// name is "EUC-JP", "Shift_JIS" or "UTF-8".
QL_EncodingKind QL_encodingOfLanguage(const std::string &name);

// The encoding kind of the product's language.
QL_EncodingKind QL_languageEncoding(const C_Product &product);
// The encoding kind of the current product's language: that of record files,
// message files and of every name handed to the operating system.
QL_EncodingKind QL_defaultEncoding();
// The kind into which a UTF-8 file is translated before it is read: eceEUC,
// or eceUTF (no translation) when the product's language selects no encoding.
QL_EncodingKind QL_utfTargetEncoding(const C_Product &product);
QL_EncodingKind QL_utfTargetEncoding();

// For tests: makes the next calls work the language and the locale name out
// afresh, as at the start of the process.
void QL_resetLanguageCaches();
