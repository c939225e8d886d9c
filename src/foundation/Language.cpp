#include "foundation/Language.h"

#include "cmdline/Product.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Assertion.h"
#include "foundation/Codecs.h"
#include "foundation/IniFile.h"
#include "foundation/PathText.h"
#include "foundation/PlatformName.h"
#include "platform/Environment.h"

#include <QLocale>
#include <QString>

#include <map>
#include <optional>

namespace {

// A value worked out once per process, or at every use while NO_LANG_CACHE
// is set.
struct CachedText {
  bool recompute = true;
  std::string text;
};

CachedText &languageCache() {
  static CachedText cache;
  return cache;
}

CachedText &localeNameCache() {
  static CachedText cache;
  return cache;
}

bool cachingDisabled() { return platform::environmentValue("NO_LANG_CACHE").has_value(); }

std::map<std::string, std::string> &localeTable() {
  static std::map<std::string, std::string> table = {
      {"ja", QL_eucCodecName},           {"ja_JP", QL_eucCodecName},
      {"ja_JP.EUC", QL_eucCodecName},    {"ja_JP.sdeckanji", QL_eucCodecName},
      {"japanese.euc", QL_eucCodecName}, {"ja_JP.eucJP", QL_eucCodecName},
      {"Ja_JP", QL_sjisCodecName},       {"ja_JP.SJIS", QL_sjisCodecName},
      {"japanese", QL_sjisCodecName},    {"japanese.sjis", QL_sjisCodecName},
      {"ja_JP.UTF-8", QL_utf8CodecName}, {"ja_JP.utf8", QL_utf8CodecName},
  };
  return table;
}

const std::map<std::string, QL_EncodingKind> &codecKindTable() {
  static const std::map<std::string, QL_EncodingKind> table = {
      {QL_eucCodecName, eceEUC},
      {QL_sjisCodecName, eceSJIS},
      {QL_utf8CodecName, eceUTF},
  };
  return table;
}

std::string asciiUpper(std::string text) {
  for (char &c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
      c = static_cast<char>(b - 'a' + 'A');
  }
  return text;
}

// The installation directory as the platform gives it: converting it into
// the internal encoding would need the language that is being worked out.
// When it is not set, productBinDir raises the error that says so.
std::string platformBinDir(const C_Product &product) {
  const std::optional<std::string> value = platform::environmentValue(productBinVariableName(product));
  return value ? *value : productBinDir(product);
}

// The language named by the product's ini file, "" when it names none. The
// language decides how names are converted, so the ini file is found by its
// name as the platform has it.
std::string iniLanguage(const C_Product &product) {
  QL_UnconvertedNames asTheyAre;
  const std::string iniFile =
      U_joinPath(platformBinDir(product), U_addExtension(ProductTable[product.index()].name, "ini"));
  return U_readIniValue(iniFile, "Japanese", "ZUT_LANG");
}

} // namespace

std::string QL_productLanguage(const C_Product &product) {
  CachedText &cache = languageCache();
  if (cache.recompute) {
    // Worked out completely before it is kept, so that a failure (no
    // installation directory) leaves the next call to try again.
    std::string language = iniLanguage(product);
    if (language.empty())
      language = platform::environmentValue("LANG").value_or("default");
    cache.text = language;
    cache.recompute = cachingDisabled();
  }
  return cache.text;
}

std::string QL_localeName() {
  CachedText &cache = localeNameCache();
  if (cache.recompute) {
    const std::optional<std::string> lang = platform::environmentValue("LANG");
    const QLocale locale = lang ? QLocale(QString::fromLatin1(lang->c_str())) : QLocale::system();
    cache.text = locale.name().toLocal8Bit().toStdString();
    cache.recompute = cachingDisabled();
  }
  return cache.text;
}

std::string QL_codecNameOfLocale(const std::string &name) {
  std::map<std::string, std::string> &table = localeTable();
  const auto known = table.find(name);
  if (known != table.end())
    return known->second;

  std::string codecName = name;
  const std::string upper = asciiUpper(name);
  const std::size_t dot = upper.find('.');
  const std::string encodingPart = dot == std::string::npos ? std::string() : upper.substr(dot + 1);
  if (upper.compare(0, 6, "JA_JP.") == 0 && (encodingPart == "UTF8" || encodingPart == "UTF-8"))
    codecName = QL_utf8CodecName;
  if (encodingPart == "EUC")
    codecName = QL_eucCodecName;
  table.emplace(name, codecName);
  return codecName;
}

QL_EncodingKind QL_encodingOfLanguage(const std::string &name) {
  const std::map<std::string, QL_EncodingKind> &table = codecKindTable();
  const auto found = table.find(QL_codecNameOfLocale(name));
  return found == table.end() ? eceNone : found->second;
}

QL_EncodingKind QL_languageEncoding(const C_Product &product) {
  return QL_encodingOfLanguage(QL_productLanguage(product));
}

QL_EncodingKind QL_defaultEncoding() { return QL_languageEncoding(C_requireCurrentProduct()); }

QL_EncodingKind QL_utfTargetEncoding(const C_Product &product) {
  return QL_languageEncoding(product) == eceNone ? eceUTF : eceEUC;
}

QL_EncodingKind QL_utfTargetEncoding() { return QL_utfTargetEncoding(C_requireCurrentProduct()); }

void QL_resetLanguageCaches() {
  languageCache() = CachedText();
  localeNameCache() = CachedText();
}
