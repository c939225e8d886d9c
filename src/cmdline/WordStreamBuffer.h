// The stream buffer under the stream of option words, seen from the options
// that name settings files.
#pragma once

#include <streambuf>
#include <string>

// Presents option words one a line. A settings file pushed onto it gives its
// words next; the words that were still to come follow once it is exhausted.
class C_WordStreamBuffer : public std::streambuf {
public:
  ~C_WordStreamBuffer() override = default;
  // path: the file's name in the product's encoding.
  virtual void pushFile(const std::string &path) = 0;
};
