// Shared set-up for the fuzz targets: a product with an installation
// directory of its own, and a scratch file that holds one input.
#pragma once

#include "cmdline/Product.h"
#include "foundation/EncodingKind.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>
#include <iterator>
#include <streambuf>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fuzz_support {

// A private directory under the system's temporary directory for the whole
// fuzzing process; it holds the installation and the input files. It goes,
// with all it holds, when the process exits normally (the replay ends or
// libFuzzer's run is over); a crash leaves it for a look at what the input
// wrote.
class WorkDirectory {
public:
  WorkDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyr-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      std::abort();
    m_path = std::filesystem::canonical(pattern).string();
  }
  ~WorkDirectory() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
    if (error)
      std::fprintf(stderr, "cannot remove %s: %s\n", m_path.c_str(), error.message().c_str());
  }
  WorkDirectory(const WorkDirectory &) = delete;
  WorkDirectory &operator=(const WorkDirectory &) = delete;

  const std::string &path() const { return m_path; }

private:
  std::string m_path;
};

// The work directory, made on first use. Statics made later (the product,
// the targets' own) end before it goes.
inline const std::string &workDirectory() {
  static const WorkDirectory directory;
  return directory.path();
}

// Sets LYRBIN to an empty installation directory under the work directory,
// with LANG as given, once per process.
inline void useInstallation(const char *lang = "C") {
  static const bool done = [lang] {
    const std::string install = workDirectory() + "/install";
    std::filesystem::create_directories(install);
    setenv("LYRBIN", install.c_str(), 1);
    setenv("LANG", lang, 1);
    setenv("TMP", workDirectory().c_str(), 1);
    setenv("LYRTEMPFILES", workDirectory().c_str(), 1);
    return true;
  }();
  (void)done;
}

// The languages a target may run in, one for each encoding of the product's
// text: none, EUC, Shift_JIS and UTF-8.
inline constexpr const char *languages[] = {"C", "ja_JP.eucJP", "ja_JP.SJIS", "ja_JP.UTF-8"};

// Product "lyr" (the current product) with the installation, its language
// taken afresh from LANG at every use; the selector picks the language.
inline const C_Product &useProduct(std::uint8_t selector) {
  static const C_Product &product = []() -> const C_Product & {
    useInstallation();
    setenv("NO_LANG_CACHE", "1", 1);
    static const C_Product lyr("lyr");
    return lyr;
  }();
  setenv("LANG", languages[selector % std::size(languages)], 1);
  return product;
}

// Sends standard output, where the readers report bad lines, to /dev/null,
// so that a run is not slowed down by what it prints.
inline void quietStandardOutput() {
  static const bool done = [] { return std::freopen("/dev/null", "w", stdout) != nullptr; }();
  (void)done;
}

// Keeps what the code under test writes to std::cerr (messages about bad
// option words) out of the fuzzing log while it lives.
class QuietStandardError {
public:
  QuietStandardError() : m_saved(std::cerr.rdbuf(&m_null)) {}
  ~QuietStandardError() { std::cerr.rdbuf(m_saved); }
  QuietStandardError(const QuietStandardError &) = delete;
  QuietStandardError &operator=(const QuietStandardError &) = delete;

private:
  struct NullBuffer : std::streambuf {
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  };
  NullBuffer m_null;
  std::streambuf *m_saved;
};

// Writes the input as the file of that name in the work directory and
// returns its path.
inline std::string writeInput(const std::uint8_t *data, std::size_t size, const std::string &name = "input") {
  const std::string path = workDirectory() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
  return path;
}

// A file-name token of a record line as stream reads give it, one character
// at a time: the reference for what the readers' file-name fields read.
inline std::istream &referenceFileToken(std::istream &in, std::string &target) {
  target.clear();
  while (in.peek() == ' ')
    in.get();
  char c;
  if (!in.get(c))
    return in;
  if (c == 'L') {
    target += c;
    if (!in.get(c))
      return in;
  }
  const char closing = (c == '"' || c == '\'') ? c : ' ';
  target += c;
  bool escaped = c == '\\';
  while (in.get(c)) {
    target += c;
    if (escaped) {
      escaped = false;
    } else if (c == closing) {
      if (closing == ' ')
        target.pop_back();
      break;
    } else if (c == '\\') {
      escaped = true;
    }
  }
  return in;
}

// Calls f with each line of the input (the text between line feeds, the
// last one also when empty).
template <class F> void forEachLine(const std::string &input, F f) {
  std::size_t begin = 0;
  while (begin <= input.size()) {
    std::size_t end = input.find('\n', begin);
    if (end == std::string::npos)
      end = input.size();
    f(input.substr(begin, end - begin));
    begin = end + 1;
  }
}

// Calls the function with each line of the input (split at line feeds,
// which the lines do not hold), the empty last one included.
template <class Function> void forEachLine(const std::uint8_t *data, std::size_t size, Function function) {
  forEachLine(std::string(reinterpret_cast<const char *>(data), size), function);
}

// The lines of source text as the re-scan keeps them: the text split at each
// line feed, a final line feed adding no empty line.
inline std::vector<std::string> sourceLinesOf(const std::string &text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Source text from a fuzzing input: the first byte picks one of the
// encodings of re-read source text, the rest are the lines.
struct SourceInput {
  QL_EncodingKind encoding = eceEUC;
  std::vector<std::string> lines;
};

inline SourceInput sourceInput(const std::uint8_t *data, std::size_t size) {
  static const QL_EncodingKind encodings[] = {eceEUC, eceSJIS, eceUTF, eceNone};
  if (size == 0)
    return SourceInput();
  return SourceInput{encodings[data[0] % std::size(encodings)],
                     sourceLinesOf(std::string(reinterpret_cast<const char *>(data) + 1, size - 1))};
}

// Ends the process, so that libFuzzer reports the input, when a property
// does not hold.
inline void check(bool condition) {
  if (!condition)
    std::abort();
}

} // namespace fuzz_support
