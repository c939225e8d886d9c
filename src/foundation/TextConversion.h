// Conversion of texts, streams and files between encoding kinds. All text
// inside the system is EUC (the internal encoding); what it reads, writes and
// hands to the operating system is in the product language's encoding.
#pragma once

#include "foundation/EncodingKind.h"

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

class C_Product;
class Destination;
class FileSource;
class Source;

// Describes an encoding; the kind is its first field.
struct QL_EncodingDescriptor {
  QL_EncodingKind kind = eceInvalid;
};

inline QL_EncodingKind encodingKindOf(const QL_EncodingDescriptor &descriptor) { return descriptor.kind; }
inline void copyEncodingKind(QL_EncodingDescriptor &to, const QL_EncodingDescriptor &from) {
  to.kind = from.kind;
}

// The text converted from one kind into another. Unicode goes through the
// codecs, the other kinds through the byte converters (which copy a pair of
// kinds they cannot handle after saying so on standard output). Raises
// QL_TranslateException when the codecs are not available.
std::string QL_convertString(const C_Product &product, std::string text, QL_EncodingKind from,
                             QL_EncodingKind to);

// Internal encoding into kind; unchanged for eceNone and eceEUC. The shorter
// forms use the current product, and the shortest its language's kind: every
// name handed to the operating system passes through it.
std::string QL_fromInternal(std::string text, const C_Product &product, QL_EncodingKind kind);
std::string QL_fromInternal(std::string text, QL_EncodingKind kind);
std::string QL_fromInternal(std::string text);
// QL_fromInternal(text, kind) written to the stream; a text that needs no
// conversion is written as it is, without a copy.
void QL_writeFromInternal(std::ostream &out, std::string_view text, QL_EncodingKind kind);

// Kind into the internal encoding; unchanged for eceNone and eceEUC. The forms
// without a kind use the product's language kind, the forms without a product
// the current product: every name from the operating system or the command
// line passes through them.
std::string QL_toInternal(const C_Product &product, std::string text, QL_EncodingKind kind);
std::string QL_toInternal(std::string text, QL_EncodingKind kind);
std::string QL_toInternal(const C_Product &product, std::string text);
std::string QL_toInternal(std::string text);

// Writes the internal-encoding text of the source into the destination in the
// descriptor's kind (Shift_JIS or a JIS form); raises
// QL_InvalidEncodingException for any other kind.
void QL_encodeFromInternal(const QL_EncodingDescriptor &descriptor, Source &source, Destination &destination);

// Converts what the open source gives into a new file at to (a name in the
// operating system's encoding); from names the source in messages. The source
// is closed in every case. Raises QL_TranslateFileOpenException when to
// cannot be created, QL_TranslateException when from cannot be read or to
// cannot be written, and whatever convert raises.
void QL_convertFile(FileSource &source, const std::string &from, const std::string &to,
                    const std::function<void(Source &, Destination &)> &convert);

// Copies the input into the output, converted from inKind into outKind. With
// detectBom a byte-order mark at the start of the input chooses its codec.
// False when the input could not be read to its end or the output could not
// be written; raises QL_TranslateException when a Unicode conversion finds the
// codecs unavailable.
bool QL_translateStream(const C_Product &product, std::ostream &out, QL_EncodingKind outKind,
                        std::istream &in, QL_EncodingKind inKind, bool detectBom);

// Translates the file at inPath (a name in the operating system's encoding)
// into the output stream, detecting a byte-order mark. False, with nothing
// written, when the file cannot be opened; raises QL_TranslateException when
// the translation fails after that.
bool QL_translateFileToStream(const C_Product &product, std::ostream &out, QL_EncodingKind outKind,
                              const std::string &inPath, QL_EncodingKind inKind);
bool QL_translateFileToStream(std::ostream &out, QL_EncodingKind outKind, const std::string &inPath,
                              QL_EncodingKind inKind);

// Translates the file at inPath into a new file at outPath (both names in the
// operating system's encoding). Raises QL_TranslateFileOpenException when the
// output cannot be created and QL_TranslateException when it cannot be
// written; false when the input cannot be opened.
bool QL_translateFileToFile(const C_Product &product, const std::string &outPath, QL_EncodingKind outKind,
                            const std::string &inPath, QL_EncodingKind inKind);
bool QL_translateFileToFile(const std::string &outPath, QL_EncodingKind outKind, const std::string &inPath,
                            QL_EncodingKind inKind);
