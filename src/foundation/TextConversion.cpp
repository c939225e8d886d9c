#include "foundation/TextConversion.h"

#include "cmdline/Product.h"
#include "foundation/Assertion.h"
#include "foundation/Codecs.h"
#include "foundation/CountedString.h"
#include "foundation/Destination.h"
#include "foundation/JapaneseConverters.h"
#include "foundation/Language.h"
#include "foundation/Source.h"
#include "foundation/TranslateException.h"
#include "foundation/Utf8Streambuf.h"
#include "platform/TextFile.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace {

bool needsNoConversion(QL_EncodingKind kind) { return kind == eceNone || kind == eceEUC; }

bool isJis(QL_EncodingKind kind) { return kind == eceOldJIS || kind == eceNewJIS || kind == eceNECJIS; }

// Copies every byte the input gives into the output; false when the output
// could not take everything.
bool copyAll(std::streambuf &from, std::streambuf &to) {
  char block[4096];
  for (;;) {
    const std::streamsize n = from.sgetn(block, sizeof block);
    if (n <= 0)
      return true;
    if (to.sputn(block, n) != n)
      return false;
  }
}

} // namespace

std::string QL_convertString(const C_Product &product, std::string text, QL_EncodingKind from,
                             QL_EncodingKind to) {
  if (from == eceUTF || to == eceUTF) {
    std::istringstream in(text, std::ios::binary);
    std::ostringstream out(std::ios::binary);
    if (!QL_translateStream(product, out, to, in, from, false))
      throw QL_TranslateException("Cannot translate text between " + QL_encodingKindName(from) + " and " +
                                  QL_encodingKindName(to) + ".");
    return out.str();
  }
  StringSource source;
  source.setText(CountedString(text));
  StringDestination destination;
  destination.reserve(text.size());
  translateFile(source, destination, from, to);
  return destination.bytes();
}

std::string QL_fromInternal(std::string text, const C_Product &product, QL_EncodingKind kind) {
  if (needsNoConversion(kind))
    return text;
  return QL_convertString(product, std::move(text), eceEUC, kind);
}

std::string QL_fromInternal(std::string text, QL_EncodingKind kind) {
  return QL_fromInternal(std::move(text), C_requireCurrentProduct(), kind);
}

std::string QL_fromInternal(std::string text) {
  return QL_fromInternal(std::move(text), C_requireCurrentProduct(), QL_defaultEncoding());
}

void QL_writeFromInternal(std::ostream &out, std::string_view text, QL_EncodingKind kind) {
  const C_Product &product = C_requireCurrentProduct();
  if (needsNoConversion(kind))
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  else
    out << QL_fromInternal(std::string(text), product, kind);
}

std::string QL_toInternal(const C_Product &product, std::string text, QL_EncodingKind kind) {
  if (needsNoConversion(kind))
    return text;
  return QL_convertString(product, std::move(text), kind, eceEUC);
}

std::string QL_toInternal(std::string text, QL_EncodingKind kind) {
  return QL_toInternal(C_requireCurrentProduct(), std::move(text), kind);
}

std::string QL_toInternal(const C_Product &product, std::string text) {
  return QL_toInternal(product, std::move(text), QL_languageEncoding(product));
}

std::string QL_toInternal(std::string text) {
  return QL_toInternal(C_requireCurrentProduct(), std::move(text));
}

void QL_encodeFromInternal(const QL_EncodingDescriptor &descriptor, Source &source,
                           Destination &destination) {
  const QL_EncodingKind kind = encodingKindOf(descriptor);
  if (kind == eceSJIS)
    QL_eucToSjis(source, destination);
  else if (isJis(kind))
    QL_eucToJis(source, destination, kind);
  else
    throw QL_InvalidEncodingException();
}

void QL_convertFile(FileSource &source, const std::string &from, const std::string &to,
                    const std::function<void(Source &, Destination &)> &convert) {
  std::FILE *out = platform::openTextFile(to, "w");
  FileDestination destination;
  if (!destination.attach(out)) {
    source.Close();
    throw QL_TranslateFileOpenException(to);
  }
  try {
    convert(source, destination);
  } catch (...) {
    destination.Close();
    source.Close();
    throw;
  }
  // Everything is pushed out before the file is closed, so that a full disk
  // is seen here and not taken for the end of the text.
  const bool written = std::fflush(out) == 0 && !std::ferror(out);
  const bool read = !source.readFailed();
  destination.Close();
  source.Close();
  if (!read)
    throw QL_TranslateException("Cannot read file: '" + from + "'.");
  if (!written)
    throw QL_TranslateException("Cannot write file: '" + to + "'.");
}

bool QL_translateStream(const C_Product &product, std::ostream &out, QL_EncodingKind outKind,
                        std::istream &in, QL_EncodingKind inKind, bool detectBom) {
  if (outKind != eceUTF && inKind != eceUTF) {
    if (outKind == inKind) {
      if (!copyAll(*in.rdbuf(), *out.rdbuf()))
        out.setstate(std::ios::badbit);
    } else {
      StreamSource source(&in);
      StreamDestination destination(&out);
      translateFile(source, destination, inKind, outKind);
    }
    return !out.fail() && !in.bad();
  }

  if (!loadCodecPlugins(product))
    throw QL_TranslateException("Text codecs for " + std::string(QL_eucCodecName) + ", " + QL_sjisCodecName +
                                " and " + QL_utf8CodecName + " are not available.");
  {
    QL_IUTF8Streambuf input(in, QL_codecForKind(inKind), detectBom);
    // The output buffer writes what it still holds when it goes.
    QL_OUTF8Streambuf output(out, QL_codecForKind(outKind), QTextCodec::IgnoreHeader);
    if (!copyAll(input, output))
      out.setstate(std::ios::badbit);
  }
  return !out.fail() && !in.bad();
}

bool QL_translateFileToStream(const C_Product &product, std::ostream &out, QL_EncodingKind outKind,
                              const std::string &inPath, QL_EncodingKind inKind) {
  platform::InputFile in(inPath);
  if (!in.is_open())
    return false;
  if (!QL_translateStream(product, out, outKind, in, inKind, true))
    throw QL_TranslateException("Cannot translate file: '" + inPath + "'.");
  return true;
}

bool QL_translateFileToStream(std::ostream &out, QL_EncodingKind outKind, const std::string &inPath,
                              QL_EncodingKind inKind) {
  return QL_translateFileToStream(C_requireCurrentProduct(), out, outKind, inPath, inKind);
}

bool QL_translateFileToFile(const C_Product &product, const std::string &outPath, QL_EncodingKind outKind,
                            const std::string &inPath, QL_EncodingKind inKind) {
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  if (!out.is_open())
    throw QL_TranslateFileOpenException(outPath);
  const bool translated = QL_translateFileToStream(product, out, outKind, inPath, inKind);
  out.close();
  if (out.fail())
    throw QL_TranslateException("Cannot write file: '" + outPath + "'.");
  return translated;
}

bool QL_translateFileToFile(const std::string &outPath, QL_EncodingKind outKind, const std::string &inPath,
                            QL_EncodingKind inKind) {
  return QL_translateFileToFile(C_requireCurrentProduct(), outPath, outKind, inPath, inKind);
}
