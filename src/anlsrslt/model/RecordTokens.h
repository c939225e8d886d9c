// The fields of record lines that name entities and files: the name token,
// which keeps a name in its marked form, the file-name token, which yields
// the file's proxy, and the code of a one-character field.
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Ref.h"

#include <istream>
#include <string>
#include <string_view>

// The marked form of the last name read or assigned; empty when new.
class P_NameToken {
public:
  P_NameToken() = default;

  // Stores the marked form of the encoded name.
  void assign(std::string_view encoded);

  std::string &str() { return m_text; }
  const std::string &str() const { return m_text; }

private:
  friend std::istream &operator>>(std::istream &in, P_NameToken &token);

  std::string m_text;
};

// Reads one white-space-delimited word and keeps its marked form; the token
// is empty when no word can be read.
std::istream &operator>>(std::istream &in, P_NameToken &token);

// Sets out to the proxy of the file that a file-name token names. One pair of
// surrounding double quotes is removed (single quotes and an "L" prefix stay);
// backslashes become "/". A token that names the file of the previous call in
// the same words (letter case counting as the file system counts it) reuses
// that call's proxy without resolving the path again.
void P_readFilenameProxy(std::string_view token, U_RefPtr<FilenameProxy> &out);

// Reads one quoted or blank-delimited token (U_QuotedToken) and sets the
// handle to its file's proxy. The handle is always set: a token that cannot
// be read names the empty path.
std::istream &operator>>(std::istream &in, U_RefPtr<FilenameProxy> &file);

// The code of a scope or literal character of a record: 'N' 0, 'B' 2, 'P' 3,
// 'C' 4, 'T' 5, 'R' 6, 'S' 7, '-' 8, any other 1.
int P_decodeRecordChar(char c);
